#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <stdexcept>

#include "bit_btn.h"
#include "exceptions.h"
#include "form_fixture.h"
#include "menu.h"
#include "message_box.h"
#include "timer.h"
#include "ui_helpers.h"

namespace {

const std::string kProgram = program_invocation_short_name;

// Raises an exception out of a Qt event handler.
class ThrowingObject : public QObject {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw EInOutError("File access denied", 5);
        }
        return QObject::event(event);
    }
};

}  // namespace

TEST(ExceptionBox, MessageGetsAPeriodUnlessItEndsInACharacterUpToThePeriod) {
    const std::pair<std::string, std::string> cases[] = {
        {"Read beyond end of file", "Read beyond end of file."},
        {"'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
        {"I/O error 42", "I/O error 42."},
        {"Why?", "Why?."},
        {"path:", "path:."},
        {"dir/", "dir/."},
        {"Impossible to connect...", "Impossible to connect..."},
        {"Value not valid!", "Value not valid!"},
        {"(code 5)", "(code 5)"},
        {"a-", "a-"},
        {"a,", "a,"},
        {"say \"x\"", "say \"x\""},
        {"it's 'x'", "it's 'x'"},
        {"trailing blank ", "trailing blank "},
        {"", ""},
    };
    for (const auto& [message, shown] : cases) {
        EXPECT_EQ(MessageWithPeriod(message), shown) << message;
    }
}

TEST(ExceptionBox, TimerHandlerErrorIsShownWithTitleAndErrorIconAndTheProgramGoesOn) {
    StderrCapture capture;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.SetOnTimer([&](TObject*) {
        ++ticks;
        if (ticks == 1) {
            throw EConvertError("'x' is not a valid floating point value");
        }
    });
    BoxFacts facts;
    bool answered = false;
    OnNextModal([&](QWidget* box) {
        facts = ReadBox(box);
        PressOk(box);
        answered = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return answered && ticks >= 3; }));
    EXPECT_EQ(facts.text, "'x' is not a valid floating point value.");
    EXPECT_EQ(facts.title, "Widgets Test");
    EXPECT_EQ(facts.icon, QMessageBox::Critical);
    EXPECT_EQ(facts.buttonCount, 1);
    EXPECT_TRUE(facts.hasOk);
    EXPECT_EQ(capture.Reports(), kProgram + ": 'x' is not a valid floating point value.\n");
}

TEST(ExceptionBox, ATimerThatFailsEveryTickStacksOneBoxPerTick) {
    StderrCapture capture;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.SetOnTimer([](TObject*) { throw Exception("Send failed"); });
    int open = 0;
    bool done = false;
    OnNextModal([&](QWidget*) {
        // A second box opens over the first while nobody answers it.
        OnNextModal([&](QWidget*) {
            timer.SetEnabled(false);
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (qobject_cast<QMessageBox*>(window) != nullptr && window->isVisible()) {
                    ++open;
                    PressOk(window);
                }
            }
            done = true;
        });
    });
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    FlushEvents();
    EXPECT_GE(open, 2);
    std::string expected;
    for (int i = 0; i < open; ++i) {
        expected += kProgram + ": Send failed.\n";
    }
    EXPECT_EQ(capture.Reports(), expected);
}

TEST(ExceptionBox, MenuButtonActivationAndEventErrorsAllReachTheDefaultHandler) {
    auto main = MakeMainForm();
    auto* menu = new TMainMenu(main.get());
    auto* item = new TMenuItem(main.get());
    menu->Items()->Add(item);
    main->SetMenu(menu);
    item->SetOnClick([](TObject*) { throw std::runtime_error("menu failed"); });
    auto* button = new TBitBtn(main.get());
    button->SetOnClick([](TObject*) { throw Exception("button failed"); });
    main->SetOnActivate([](TObject*) { throw EInOutError("Read beyond end of file", 100); });
    ThrowingObject thrower;

    std::vector<std::string> shown;
    std::function<void(QWidget*)> answer = [&](QWidget* box) {
        shown.push_back(ReadBox(box).text.toStdString());
        PressOk(box);
    };
    StderrCapture capture;
    OnNextModal(answer);
    main->Show();
    ASSERT_TRUE(PumpUntil([&] { return shown.size() == 1; }));
    OnNextModal(answer);
    item->Action()->trigger();
    OnNextModal(answer);
    static_cast<QPushButton*>(button->Widget())->click();
    OnNextModal(answer);
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    ASSERT_TRUE(PumpUntil([&] { return shown.size() == 4; }));

    const std::vector<std::string> expected = {"Read beyond end of file.", "menu failed.",
                                               "button failed.", "File access denied."};
    EXPECT_EQ(shown, expected);
    // The form stays as it was.
    EXPECT_TRUE(main->Visible());
    EXPECT_EQ(capture.Reports(), kProgram + ": Read beyond end of file.\n" + kProgram +
                                     ": menu failed.\n" + kProgram + ": button failed.\n" +
                                     kProgram + ": File access denied.\n");
}

TEST(ExceptionBox, DirectCallsOfClickLeaveTheExceptionToTheCaller) {
    auto main = MakeMainForm();
    TMenuItem item(main.get());
    item.SetOnClick([](TObject*) { throw Exception("to the caller"); });
    EXPECT_THROW(item.Click(), Exception);
    TBitBtn button(main.get());
    button.SetOnClick([](TObject*) { throw Exception("to the caller"); });
    EXPECT_THROW(button.Click(), Exception);
}

TEST(MessageBoxes, ApplicationMessageBoxShowsTextCaptionIconAndReturnsTheButton) {
    struct Case {
        unsigned flags;
        QMessageBox::Icon icon;
        int buttons;
        QMessageBox::StandardButton press;
        int result;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONSTOP, QMessageBox::Critical, 1, QMessageBox::Ok, IDOK},
        {MB_OKCANCEL | MB_ICONWARNING, QMessageBox::Warning, 2, QMessageBox::Cancel, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, 2, QMessageBox::No, IDNO},
        {MB_YESNO | MB_ICONINFORMATION, QMessageBox::Information, 2, QMessageBox::Yes, IDYES},
    };
    for (const auto& c : cases) {
        BoxFacts facts;
        OnNextModal([&](QWidget* modal) {
            facts = ReadBox(modal);
            static_cast<QMessageBox*>(modal)->button(c.press)->click();
        });
        EXPECT_EQ(Application->MessageBox("Impossible to connect...", "Error", c.flags), c.result);
        EXPECT_EQ(facts.text, "Impossible to connect...");
        EXPECT_EQ(facts.title, "Error");
        EXPECT_EQ(facts.icon, c.icon);
        EXPECT_EQ(facts.buttonCount, c.buttons);
    }
}
