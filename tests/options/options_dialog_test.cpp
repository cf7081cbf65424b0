// The options dialog: its stored layout, the interval it shows, and what each input does to the
// synchronisation timer and the settings file, with the range dialog where the input is out of
// range.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QRect>
#include <QSize>
#include <QTest>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "application.h"
#include "dialog_driving.h"
#include "dialog_gradient_check.h"
#include "file_rights.h"
#include "options_dialog.h"
#include "temp_dir.h"
#include "text_conversion.h"
#include "ui_helpers.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kOptionsTitle = "Options of Corvane Client";
constexpr const char* kRangeTitle = "Value not valid!";
constexpr std::uint32_t kOneMinute = 60000;

Bytes ReadSettingsBytes() {
    std::ifstream in("Velnaro.inf", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteSettingsBytes(const Bytes& bytes) {
    std::ofstream("Velnaro.inf", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

QRect BoundsOf(const TControl* control) {
    return {control->Left(), control->Top(), control->Width(), control->Height()};
}

void Click(TBitBtn* button) {
    static_cast<QAbstractButton*>(button->Widget())->click();
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousTitle_ = Application->Title();
        previousSeparator_ = DecimalSeparator();
        Application->SetTitle("Corvane Client");
        SetDecimalSeparator('.');
        owner_.SetCaption("Corvane Client");
        owner_.Show();
        timer_->SetInterval(kOneMinute);
    }

    void TearDown() override {
        SetDecimalSeparator(previousSeparator_);
        Application->SetTitle(previousTitle_);
    }

    // Opens the dialog as the "Options" menu item does and runs action with it once it shows
    // the interval, selected and focused.
    void WithDialogShown(const std::function<void(TForm3*)>& action) {
        ModalDeadline deadline;
        OnNextModal([this, action](QWidget* modal) {
            TForm3* dialog = FindOwned<TForm3>(&owner_);
            ASSERT_NE(dialog, nullptr);
            ASSERT_EQ(modal, dialog->Window());
            ASSERT_TRUE(PumpUntil([dialog] { return dialog->Edit1->Focused(); }));
            action(dialog);
        });
        ShowOptionsDialog(&owner_, timer_);
        EXPECT_EQ(FindOwned<TForm3>(&owner_), nullptr) << "the dialog outlived its modal run";
    }

    // The dialog after an input it refused: open, showing the current interval again.
    static void ExpectShowsAgain(TForm3* dialog, const std::string& text) {
        EXPECT_TRUE(dialog->Visible());
        EXPECT_EQ(QApplication::activeModalWidget(), dialog->Window());
        EXPECT_EQ(dialog->Edit1->Text(), text);
        EXPECT_EQ(dialog->Edit1->SelText(), text);
        EXPECT_TRUE(PumpUntil([dialog] { return dialog->Edit1->Focused(); }));
    }

    TForm owner_{Application};
    TTimer* timer_ = new TTimer(&owner_);
    test_support::TemporaryDirectory directory_;
    test_support::ScopedWorkingDirectory workingDirectory_{directory_.Path()};

private:
    std::string previousTitle_;
    char previousSeparator_ = '.';
};

TEST_F(OptionsDialogTest, LayoutIsTheStoredOne) {
    TForm3 dialog(&owner_, timer_);

    EXPECT_EQ(dialog.Name(), "Form3");
    EXPECT_EQ(dialog.Caption(), kOptionsTitle);
    EXPECT_EQ(dialog.ClientArea()->size(), QSize(360, 121));
    EXPECT_EQ(dialog.BorderStyle(), bsDialog);
    EXPECT_EQ(dialog.BorderIcons(), 0u);
    EXPECT_FALSE(dialog.Window()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.Position(), poScreenCenter);
    EXPECT_EQ(dialog.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(dialog.Font()->Height(), -11);
    EXPECT_TRUE(dialog.OnActivate());

    EXPECT_EQ(BoundsOf(dialog.DfGradient1), QRect(0, 0, 361, 144));
    ExpectDialogGradient(dialog.DfGradient1->Gradient());

    struct PlacedLabel {
        TLabel* label;
        const char* name;
        int left;
        int top;
        const char* text;
    };
    const PlacedLabel labels[] = {
        {dialog.Label1, "Label1", 8, 16,
         "In which time interval you want to synchronize your clock with the server?"},
        {dialog.Label2, "Label2", 88, 40, "Minute(s)"},
        {dialog.Label3, "Label3", 8, 64, "The actual value is:"},
        {dialog.Label4, "Label4", 112, 64, "Label4"},
        {dialog.Label5, "Label5", 152, 64, "Minute(s)"},
    };
    for (const PlacedLabel& placed : labels) {
        SCOPED_TRACE(placed.name);
        EXPECT_EQ(placed.label->Name(), placed.name);
        EXPECT_EQ(placed.label->Caption(), placed.text);
        EXPECT_EQ(placed.label->Left(), placed.left);
        EXPECT_EQ(placed.label->Top(), placed.top);
        EXPECT_TRUE(placed.label->Transparent());
        EXPECT_LE(placed.label->Left() + placed.label->Width(), 360) << "the text is cut";
    }

    EXPECT_EQ(dialog.Edit1->Name(), "Edit1");
    EXPECT_EQ(BoundsOf(dialog.Edit1), QRect(8, 40, 73, 21));
    EXPECT_EQ(dialog.Edit1->Text(), "Edit1");

    struct PlacedButton {
        TBitBtn* button;
        const char* name;
        QRect bounds;
        const char* caption;
        bool isDefault;
        bool isCancel;
    };
    const PlacedButton buttons[] = {
        {dialog.BitBtn1, "BitBtn1", {8, 88, 75, 25}, "O.K.", true, false},
        {dialog.BitBtn2, "BitBtn2", {232, 88, 75, 25}, "Cancel", false, true},
    };
    for (const PlacedButton& placed : buttons) {
        SCOPED_TRACE(placed.name);
        EXPECT_EQ(placed.button->Name(), placed.name);
        EXPECT_EQ(BoundsOf(placed.button), placed.bounds);
        EXPECT_EQ(placed.button->Widget()->geometry(), placed.bounds);
        EXPECT_EQ(placed.button->Caption(), placed.caption);
        EXPECT_EQ(placed.button->Default(), placed.isDefault);
        EXPECT_EQ(placed.button->Cancel(), placed.isCancel);
        EXPECT_EQ(placed.button->Glyph().size(), QSize(32, 16));
        EXPECT_EQ(placed.button->NumGlyphs(), 2);
    }

    EXPECT_EQ(dialog.BitBtn1->TabOrder(), 0);
    EXPECT_EQ(dialog.BitBtn2->TabOrder(), 1);
    EXPECT_EQ(dialog.Edit1->TabOrder(), 2);
}

TEST_F(OptionsDialogTest, ShowsTheTimersIntervalInMinutesSelectedAndFocused) {
    struct Shown {
        std::uint32_t interval;
        char separator;
        const char* text;
    };
    const Shown cases[] = {
        {kOneMinute, '.', "  1.00"},
        {kOneMinute, ',', "  1,00"},
        {999 * kOneMinute, '.', "999.00"},
        {90000, '.', "  1.50"},
        {481799, '.', "  8.03"},
        // Halves round away from zero: 0.005 minutes.
        {300, '.', "  0.01"},
        {0, '.', "  0.00"},
        {1000 * kOneMinute, '.', "1000.00"},
        // The interval is read as a signed 32-bit number.
        {3000000000u, '.', "-21582.79"},
    };
    for (const Shown& shown : cases) {
        SCOPED_TRACE(shown.text);
        SetDecimalSeparator(shown.separator);
        timer_->SetInterval(shown.interval);
        WithDialogShown([&shown](TForm3* dialog) {
            EXPECT_EQ(dialog->Label4->Caption(), shown.text);
            EXPECT_EQ(dialog->Edit1->Text(), shown.text);
            EXPECT_EQ(dialog->Edit1->SelText(), shown.text);
            if (shown.interval == kOneMinute && shown.separator == '.') {
                SaveScreenshot(dialog->Window(), "options.png");
            }
            Click(dialog->BitBtn2);
        });
        EXPECT_EQ(timer_->Interval(), shown.interval);
    }
    EXPECT_FALSE(std::filesystem::exists("Velnaro.inf"));
}

struct InputCase {
    const char* input;
    char separator;
    // The interval applied and stored, or none when the input is refused.
    std::optional<std::uint32_t> interval;
    Bytes file;
    int rangeDialogs;
};

void PrintTo(const InputCase& input, std::ostream* out) {
    *out << "\"" << input.input << "\" with '" << input.separator << "'";
}

class OptionsInputTest : public OptionsDialogTest,
                         public ::testing::WithParamInterface<InputCase> {};

TEST_P(OptionsInputTest, OkAppliesAndStoresAValidIntervalAndRefusesOthers) {
    const InputCase& input = GetParam();
    SetDecimalSeparator(input.separator);
    WindowLog log;
    WithDialogShown([&input](TForm3* dialog) {
        dialog->Edit1->SetText(input.input);
        if (input.rangeDialogs > 0) {
            OnNextModal([](QWidget* range) { PressKey(range, Qt::Key_Return); });
        }
        Click(dialog->BitBtn1);
        if (!input.interval) {
            ExpectShowsAgain(dialog, input.separator == '.' ? "  1.00" : "  1,00");
            Click(dialog->BitBtn2);
        }
    });
    EXPECT_EQ(timer_->Interval(), input.interval.value_or(kOneMinute));
    if (input.interval) {
        EXPECT_EQ(ReadSettingsBytes(), input.file);
    } else {
        EXPECT_FALSE(std::filesystem::exists("Velnaro.inf"));
    }
    EXPECT_EQ(log.Count(kRangeTitle), input.rangeDialogs);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, OptionsInputTest,
    ::testing::Values(
        InputCase{"2", '.', 120000, {0, 0, 0, 0, 0xC0, 0xD4, 0x01, 0x00}, 0},
        InputCase{"1", '.', 60000, {0, 0, 0, 0, 0x60, 0xEA, 0x00, 0x00}, 0},
        InputCase{"999", '.', 59940000, {0, 0, 0, 0, 0xA0, 0x9C, 0x92, 0x03}, 0},
        InputCase{" 2.5 ", '.', 150000, {0, 0, 0, 0, 0xF0, 0x49, 0x02, 0x00}, 0},
        InputCase{"1e2", '.', 6000000, {0, 0, 0, 0, 0x80, 0x8D, 0x5B, 0x00}, 0},
        // One millisecond less than 8.03 x 60000.
        InputCase{"8.03", '.', 481799, {0, 0, 0, 0, 0x07, 0x5A, 0x07, 0x00}, 0},
        InputCase{"2,5", ',', 150000, {0, 0, 0, 0, 0xF0, 0x49, 0x02, 0x00}, 0},
        InputCase{"0.99", '.', std::nullopt, {}, 1}, InputCase{"999.01", '.', std::nullopt, {}, 1},
        InputCase{"1000", '.', std::nullopt, {}, 1}, InputCase{"-5", '.', std::nullopt, {}, 1},
        InputCase{"2,5", '.', std::nullopt, {}, 0}, InputCase{"2.5", ',', std::nullopt, {}, 0},
        InputCase{"two", '.', std::nullopt, {}, 0}, InputCase{"", '.', std::nullopt, {}, 0}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::to_string(info.index); });

TEST_F(OptionsDialogTest, TheRangeDialogClosesWithEnterOrEscAndComesOncePerPress) {
    WindowLog log;
    WithDialogShown([](TForm3* dialog) {
        for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
            SCOPED_TRACE(key == Qt::Key_Return ? "Enter" : "Esc");
            dialog->Edit1->SetText("1000");
            OnNextModal([key](QWidget* range) {
                EXPECT_EQ(range->windowTitle(), kRangeTitle);
                if (key == Qt::Key_Return) {
                    SaveScreenshot(range, "range.png");
                }
                PressKey(range, key);
            });
            Click(dialog->BitBtn1);
            ExpectShowsAgain(dialog, "  1.00");
        }
        Click(dialog->BitBtn2);
    });
    EXPECT_EQ(log.Count(kRangeTitle), 2);
    EXPECT_EQ(timer_->Interval(), kOneMinute);
}

TEST_F(OptionsDialogTest, EnterPressesOkAndEscPressesCancel) {
    WithDialogShown([](TForm3* dialog) {
        // Typing replaces the selected interval.
        QTest::keyClicks(dialog->Edit1->Widget(), "2");
        PressKey(dialog->Window(), Qt::Key_Return);
    });
    EXPECT_EQ(timer_->Interval(), 2 * kOneMinute);
    EXPECT_EQ(ReadSettingsBytes(), (Bytes{0, 0, 0, 0, 0xC0, 0xD4, 0x01, 0x00}));

    WithDialogShown([](TForm3* dialog) {
        EXPECT_EQ(dialog->Edit1->Text(), "  2.00");
        QTest::keyClicks(dialog->Edit1->Widget(), "5");
        PressKey(dialog->Window(), Qt::Key_Escape);
    });
    EXPECT_EQ(timer_->Interval(), 2 * kOneMinute);
    EXPECT_EQ(ReadSettingsBytes(), (Bytes{0, 0, 0, 0, 0xC0, 0xD4, 0x01, 0x00}));
}

TEST_F(OptionsDialogTest, CancelAfterTypingChangesNothing) {
    WriteSettingsBytes({0, 0, 0, 0, 0x60, 0xEA, 0x00, 0x00});
    WithDialogShown([](TForm3* dialog) {
        dialog->Edit1->SetText("7");
        Click(dialog->BitBtn2);
    });
    EXPECT_EQ(timer_->Interval(), kOneMinute);
    EXPECT_EQ(ReadSettingsBytes(), (Bytes{0, 0, 0, 0, 0x60, 0xEA, 0x00, 0x00}));
}

TEST_F(OptionsDialogTest, AnIntervalShownAgainGivesTheSameIntervalAgain) {
    timer_->SetInterval(481799);
    WithDialogShown([](TForm3* dialog) {
        EXPECT_EQ(dialog->Edit1->Text(), "  8.03");
        Click(dialog->BitBtn1);
    });
    EXPECT_EQ(timer_->Interval(), 481799u);
    EXPECT_EQ(ReadSettingsBytes(), (Bytes{0, 0, 0, 0, 0x07, 0x5A, 0x07, 0x00}));
}

TEST_F(OptionsDialogTest, AFileErrorIsShownByTheDefaultHandlerAndTheDialogStaysOpen) {
    struct Obstacle {
        const char* what;
        std::function<void()> make;
        std::function<void()> check;
    };
    const Bytes oldFile = {0, 0, 0, 0, 0x60, 0xEA, 0x00, 0x00};
    const Obstacle obstacles[] = {
        {"a directory of the file's name", [] { std::filesystem::create_directory("Velnaro.inf"); },
         [] { EXPECT_TRUE(std::filesystem::is_directory("Velnaro.inf")); }},
        {"a read-only file",
         [&oldFile] {
             WriteSettingsBytes(oldFile);
             ASSERT_EQ(chmod("Velnaro.inf", 0444), 0);
         },
         [&oldFile] { EXPECT_EQ(ReadSettingsBytes(), oldFile); }},
    };
    for (const Obstacle& obstacle : obstacles) {
        SCOPED_TRACE(obstacle.what);
        test_support::TemporaryDirectory directory;
        test_support::ScopedWorkingDirectory inside(directory.Path());
        obstacle.make();
        timer_->SetInterval(kOneMinute);
        // Root would write over the permission bits.
        test_support::ScopedFileRightsDrop asOrdinaryUser;
        WithDialogShown([this](TForm3* dialog) {
            dialog->Edit1->SetText("3");
            BoxFacts box;
            OnNextModal([&box](QWidget* modal) {
                box = ReadBox(modal);
                PressOk(modal);
            });
            Click(dialog->BitBtn1);
            EXPECT_EQ(box.text, "File access denied.");
            EXPECT_EQ(box.title, "Corvane Client");
            EXPECT_EQ(box.icon, QMessageBox::Critical);
            EXPECT_EQ(box.buttonCount, 1);
            EXPECT_TRUE(dialog->Visible());
            EXPECT_EQ(QApplication::activeModalWidget(), dialog->Window());
            // The new interval runs although it could not be stored.
            EXPECT_EQ(timer_->Interval(), 3 * kOneMinute);
            Click(dialog->BitBtn2);
        });
        EXPECT_EQ(timer_->Interval(), 3 * kOneMinute);
        obstacle.check();
    }
}

}  // namespace
