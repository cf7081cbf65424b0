// The about dialog of both programs: its two stored layouts, how it opens, takes the keys and
// closes, and what its link buttons do with and without a program to open the maker's pages.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "about_dialog.h"
#include "application.h"
#include "dialog_driving.h"
#include "dialog_gradient_check.h"
#include "temp_dir.h"
#include "ui_helpers.h"

namespace {

struct PlacedLabel {
    const char* name;
    int left;
    int top;
    const char* text;
};

struct PlacedButton {
    const char* name;
    QRect bounds;
    const char* caption;
    int tabOrder;
    bool isDefault;
    bool isCancel;
};

struct AboutLayoutCase {
    TAboutVariant variant;
    const char* screenshot;
    const char* caption;
    QSize clientSize;
    QRect gradient;
    std::vector<PlacedLabel> labels;
    std::vector<PlacedButton> buttons;
};

void PrintTo(const AboutLayoutCase& layout, std::ostream* out) {
    *out << layout.caption;
}

const AboutLayoutCase kClientCase{
    TAboutVariant::Client,
    "about-client.png",
    "About Corvane Client",
    {339, 459},
    {0, 224, 337, 233},
    {
        {"Label9", 144, 232, "Corvane Client V1.41w"},
        {"Label2", 8, 256, "Corvane Client connects automaticaly to a server of Corvane which"},
        {"Label3", 8, 272,
         "is locates in your local network. It automaticaly adjusts the time of the"},
        {"Label4", 8, 288, "clock in your machine to the one in the server."},
        {"Label5", 8, 304, "The interval of adjusting depends on the parameter in options."},
        {"Label7", 112, 400, "or"},
    },
    {
        {"BitBtn2", {8, 392, 97, 25}, "Visit us on-line", 1, false, false},
        {"BitBtn3", {128, 392, 89, 25}, "write to us", 2, false, false},
        {"BitBtn1", {136, 424, 75, 25}, "O.K", 0, true, true},
    },
};

const AboutLayoutCase kServerCase{
    TAboutVariant::Server,
    "about-server.png",
    "About Corvane Server",
    {341, 469},
    {0, 224, 337, 249},
    {
        {"Label12", 136, 240, "Corvane Server V1.41w"},
        {"Label2", 8, 264, "Corvane Server is your server for the date and time of the internal"},
        {"Label3", 8, 280, "clocks of the machines in your local network. The clocks of all the  "},
        {"Label4", 8, 296, "machines which have Corvane client installed  are adjusted "},
        {"Label5", 8, 312, "automaticly to the date and time of this machine"},
        {"Label8", 112, 408, "or"},
    },
    {
        {"BitBtn2", {8, 400, 97, 25}, "visit us online", 1, false, false},
        {"BitBtn3", {128, 400, 89, 25}, "write to us", 2, false, false},
        {"BitBtn1", {128, 432, 75, 25}, "O.K.", 0, true, true},
    },
};

std::map<std::string, TComponent*> ComponentsByName(TComponent* owner) {
    std::map<std::string, TComponent*> byName;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        byName[owner->Components(i)->Name()] = owner->Components(i);
    }
    return byName;
}

QRect BoundsOf(const TControl* control) {
    return {control->Left(), control->Top(), control->Width(), control->Height()};
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class AboutDialogTest : public ::testing::TestWithParam<AboutLayoutCase> {
protected:
    void SetUp() override {
        owner_.SetCaption("Main window");
        owner_.SetOnActivate([this](TObject*) { ++ownerActivations_; });
        owner_.Show();
        ASSERT_TRUE(PumpUntil([this] { return ownerActivations_ == 1; }));
        // No test may start the desktop's real browser or mail program.
        searchPath_ = std::make_unique<ScopedSearchPath>(programs_.Path());
    }

    // Opens the dialog as the "Help" handlers do and runs action with it while it is shown.
    void WithDialogShown(const std::function<void(TForm2*)>& action) {
        ModalDeadline deadline;
        OnNextModal([this, action](QWidget* modal) {
            TForm2* dialog = FindOwned<TForm2>(&owner_);
            ASSERT_NE(dialog, nullptr);
            ASSERT_EQ(modal, dialog->Window());
            action(dialog);
        });
        ShowAboutDialog(&owner_, GetParam().variant);
    }

    // A stand-in for the desktop's launcher that writes each address it is given to a file.
    std::filesystem::path InstallRecordingLauncher() {
        const std::filesystem::path calls = programs_.Path() / "calls.txt";
        const std::filesystem::path launcher = programs_.Path() / "xdg-open";
        std::ofstream(launcher) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << calls.string()
                                << "'\n";
        std::filesystem::permissions(launcher, std::filesystem::perms::owner_all);
        return calls;
    }

    TForm owner_{Application};
    int ownerActivations_ = 0;
    test_support::TemporaryDirectory programs_;
    std::unique_ptr<ScopedSearchPath> searchPath_;
};

TEST_P(AboutDialogTest, LayoutIsTheStoredOne) {
    const AboutLayoutCase& expected = GetParam();
    TForm2 dialog(&owner_, expected.variant);

    EXPECT_EQ(dialog.Name(), "Form2");
    EXPECT_EQ(dialog.Caption(), expected.caption);
    EXPECT_EQ(QSize(dialog.ClientWidth(), dialog.ClientHeight()), expected.clientSize);
    EXPECT_EQ(dialog.ClientArea()->size(), expected.clientSize);
    EXPECT_EQ(dialog.BorderStyle(), bsDialog);
    EXPECT_EQ(dialog.BorderIcons(), 0u);
    EXPECT_FALSE(dialog.Window()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.Position(), poScreenCenter);
    EXPECT_EQ(dialog.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(dialog.Font()->Height(), -11);
    EXPECT_EQ(dialog.Font()->Color(), clWindowText);

    std::map<std::string, TComponent*> byName = ComponentsByName(&dialog);
    std::vector<std::string> names;
    for (const auto& [name, component] : byName) {
        names.push_back(name);
    }
    std::vector<std::string> expectedNames = {"BitBtn1",     "BitBtn2",  "BitBtn3",
                                              "DfGradient1", "GoToWeb1", "Image1"};
    for (const PlacedLabel& label : expected.labels) {
        expectedNames.push_back(label.name);
    }
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(names, expectedNames);

    auto* gradient = dynamic_cast<TDfGradient*>(byName["DfGradient1"]);
    ASSERT_NE(gradient, nullptr);
    EXPECT_EQ(BoundsOf(gradient), expected.gradient);
    EXPECT_EQ(gradient->Widget()->geometry(), expected.gradient);
    ExpectDialogGradient(gradient->Gradient());

    auto* image = dynamic_cast<TImage*>(byName["Image1"]);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(BoundsOf(image), QRect(0, 8, 337, 217));
    EXPECT_EQ(image->Picture().size(), QSize(337, 218));

    for (const PlacedLabel& placed : expected.labels) {
        SCOPED_TRACE(placed.name);
        auto* label = dynamic_cast<TLabel*>(byName[placed.name]);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->Caption(), placed.text);
        EXPECT_EQ(label->Left(), placed.left);
        EXPECT_EQ(label->Top(), placed.top);
        EXPECT_TRUE(label->Transparent());
        EXPECT_TRUE(label->AutoSize());
        // Sized to its text, which the dialog shows whole.
        EXPECT_GT(label->Width(), 0);
        EXPECT_GT(label->Height(), 0);
        EXPECT_LE(label->Left() + label->Width(), expected.clientSize.width());
    }

    for (const PlacedButton& placed : expected.buttons) {
        SCOPED_TRACE(placed.name);
        auto* button = dynamic_cast<TBitBtn*>(byName[placed.name]);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(BoundsOf(button), placed.bounds);
        EXPECT_EQ(button->Widget()->geometry(), placed.bounds);
        EXPECT_EQ(button->Caption(), placed.caption);
        EXPECT_EQ(button->TabOrder(), placed.tabOrder);
        EXPECT_EQ(button->Default(), placed.isDefault);
        EXPECT_EQ(button->Cancel(), placed.isCancel);
        EXPECT_EQ(button->Glyph().size(), QSize(32, 16));
        EXPECT_EQ(button->NumGlyphs(), 2);
    }

    auto* link = dynamic_cast<TGoToWeb*>(byName["GoToWeb1"]);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->BrowserState(), gwMaximized);
    EXPECT_EQ(link->EMailSubject(), "");
}

TEST_P(AboutDialogTest, OpensCentredWithTheCloseButtonFocusedAndTabsInOrder) {
    WithDialogShown([this](TForm2* dialog) {
        ASSERT_TRUE(PumpUntil([dialog] { return dialog->BitBtn1->Focused(); }));
        SaveScreenshot(dialog->Window(), GetParam().screenshot);

        // Within a few pixels: the window frame is not known before the window is first shown.
        const QRect screen = dialog->Window()->screen()->availableGeometry();
        const QRect frame = dialog->Window()->frameGeometry();
        EXPECT_LE((frame.center() - screen.center()).manhattanLength(), 6)
            << "not centred on the screen: " << frame.x() << "," << frame.y() << " "
            << frame.width() << "x" << frame.height() << " on " << screen.width() << "x"
            << screen.height();

        const std::vector<TBitBtn*> tabCycle = {dialog->BitBtn2, dialog->BitBtn3, dialog->BitBtn1};
        for (TBitBtn* next : tabCycle) {
            PressKey(dialog->Window(), Qt::Key_Tab);
            EXPECT_TRUE(PumpUntil([next] { return next->Focused(); })) << next->Name();
        }
        dialog->BitBtn1->Click();
    });
    EXPECT_EQ(FindOwned<TForm2>(&owner_), nullptr);
}

TEST_P(AboutDialogTest, EnterEscAndTheCloseButtonEachEndItAndFreeIt) {
    const std::vector<std::pair<const char*, std::function<void(TForm2*)>>> closers = {
        {"Enter", [](TForm2* dialog) { PressKey(dialog->Window(), Qt::Key_Return); }},
        {"Esc", [](TForm2* dialog) { PressKey(dialog->Window(), Qt::Key_Escape); }},
        {"click",
         [](TForm2* dialog) { static_cast<QAbstractButton*>(dialog->BitBtn1->Widget())->click(); }},
    };
    for (const auto& [how, close] : closers) {
        SCOPED_TRACE(how);
        QPointer<QWidget> window;
        WithDialogShown([&window, close = close](TForm2* dialog) {
            window = dialog->Window();
            ASSERT_TRUE(PumpUntil([dialog] { return dialog->BitBtn1->Focused(); }));
            close(dialog);
        });
        EXPECT_EQ(FindOwned<TForm2>(&owner_), nullptr);
        EXPECT_TRUE(window.isNull()) << "the dialog's window outlived its modal run";
        // The window that opened it is shown as before and not activated anew: the main
        // windows would go back to the notification area.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        EXPECT_TRUE(owner_.Visible());
        EXPECT_EQ(ownerActivations_, 1);
    }
}

TEST_P(AboutDialogTest, EveryOpeningIsAFreshDialog) {
    QPointer<QWidget> firstWindow;
    WithDialogShown([&firstWindow](TForm2* dialog) {
        firstWindow = dialog->Window();
        ASSERT_TRUE(PumpUntil([dialog] { return dialog->BitBtn1->Focused(); }));
        // Leave it with the focus elsewhere and a link address set.
        PressKey(dialog->Window(), Qt::Key_Tab);
        PressKey(dialog->Window(), Qt::Key_Tab);
        ASSERT_TRUE(PumpUntil([dialog] { return dialog->BitBtn3->Focused(); }));
        dialog->GoToWeb1->SetUrl("https://elsewhere.example/");
        PressKey(dialog->Window(), Qt::Key_Escape);
    });
    EXPECT_TRUE(firstWindow.isNull());

    WithDialogShown([&firstWindow](TForm2* dialog) {
        EXPECT_NE(dialog->Window(), firstWindow.data());
        EXPECT_TRUE(PumpUntil([dialog] { return dialog->BitBtn1->Focused(); }));
        EXPECT_EQ(dialog->GoToWeb1->Url(), "");
        dialog->BitBtn1->Click();
    });
    EXPECT_EQ(FindOwned<TForm2>(&owner_), nullptr);
}

TEST_P(AboutDialogTest, LinkButtonsWithoutABrowserShowTheErrorBoxAndTheDialogStays) {
    // The search path holds no launcher: the system names no program for the addresses.
    WindowLog log;
    WithDialogShown([](TForm2* dialog) {
        for (TBitBtn* button : {dialog->BitBtn2, dialog->BitBtn3}) {
            SCOPED_TRACE(button->Name());
            BoxFacts box;
            OnNextModal([&box](QWidget* modal) {
                box = ReadBox(modal);
                PressOk(modal);
            });
            static_cast<QAbstractButton*>(button->Widget())->click();
            EXPECT_EQ(box.text, "Impossible to connect...");
            EXPECT_EQ(box.title, "Error");
            EXPECT_EQ(box.icon, QMessageBox::Critical);
            EXPECT_EQ(box.buttonCount, 1);
            EXPECT_TRUE(box.hasOk);
            EXPECT_TRUE(dialog->Visible());
            EXPECT_EQ(QApplication::activeModalWidget(), dialog->Window());
        }
        dialog->BitBtn1->Click();
    });
    EXPECT_EQ(log.Count("Error"), 2);
}

TEST_P(AboutDialogTest, LinkButtonsOpenTheMakersPagesAndTheDialogStays) {
    const std::filesystem::path calls = InstallRecordingLauncher();
    WindowLog log;
    WithDialogShown([&calls](TForm2* dialog) {
        ASSERT_TRUE(PumpUntil([dialog] { return dialog->BitBtn1->Focused(); }));
        // Enter presses the button that has the focus.
        PressKey(dialog->Window(), Qt::Key_Tab);
        ASSERT_TRUE(PumpUntil([dialog] { return dialog->BitBtn2->Focused(); }));
        PressKey(dialog->Window(), Qt::Key_Return);
        ASSERT_TRUE(PumpUntil([&calls] { return ReadLines(calls).size() == 1; }));
        EXPECT_TRUE(dialog->Visible());

        static_cast<QAbstractButton*>(dialog->BitBtn3->Widget())->click();
        ASSERT_TRUE(PumpUntil([&calls] { return ReadLines(calls).size() == 2; }));
        EXPECT_TRUE(dialog->Visible());
        dialog->BitBtn1->Click();
    });
    EXPECT_EQ(ReadLines(calls), (std::vector<std::string>{"https://www.corvane.example/",
                                                          "mailto:info@corvane.example"}));
    EXPECT_EQ(log.Count("Error"), 0);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, AboutDialogTest, ::testing::Values(kClientCase, kServerCase),
                         [](const ::testing::TestParamInfo<AboutLayoutCase>& info) {
                             return info.param.variant == TAboutVariant::Client ? "Client"
                                                                                : "Server";
                         });

}  // namespace
