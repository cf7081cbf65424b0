#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "application.h"
#include "exceptions.h"
#include "form.h"
#include "text_conversion.h"
#include "ui_helpers.h"

namespace {

const std::string kProgram = program_invocation_short_name;

// A main form whose constructor fails, as one does when its mailslot is taken.
class FailingForm : public TForm {
public:
    explicit FailingForm(TComponent* owner) : TForm(owner) {
        SetCaption("Corvane Client");
        StrToFloat("abc");
    }
};

// A main form that closes itself at its first activation.
class ClosingForm : public TForm {
public:
    explicit ClosingForm(TComponent* owner) : TForm(owner) {
        SetOnActivate([this](TObject*) {
            ++activations;
            Close();
        });
    }
    int activations = 0;
};

int RunProgram(const std::function<void()>& body) {
    static char name[] = "corvane-test";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    return ProgramMain(argc, argv, body);
}

class ProgramBlock : public testing::Test {
protected:
    void SetUp() override { setenv("QT_QPA_PLATFORM", "offscreen", 0); }
};

}  // namespace

TEST_F(ProgramBlock, StartUpErrorIsReportedAndGivesExitCode1WithoutABoxNobodySees) {
    // A box here would wait for an OK that never comes: the run would not return.
    FailingForm* form = nullptr;
    StderrCapture capture;
    int exitCode = RunProgram([&] {
        Application->Initialize();
        Application->SetTitle("Corvane Client");
        Application->CreateForm(form);
        Application->Run();
    });
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(capture.Reports(), kProgram + ": Exception EConvertError in module " + kProgram +
                                     ". 'abc' is not a valid floating point value.\n");
}

TEST(LastChanceText, NamesTheExceptionTheModuleAndTheMessageWithItsPeriod) {
    std::exception_ptr convert;
    try {
        StrToFloat("abc");
    } catch (...) {
        convert = std::current_exception();
    }
    EXPECT_EQ(LastChanceText(convert), "Exception EConvertError in module " + kProgram +
                                           ".\n'abc' is not a valid floating point value.");
    EXPECT_EQ(LastChanceText(std::make_exception_ptr(std::out_of_range("index 7"))),
              "Exception std::out_of_range in module " + kProgram + ".\nindex 7.");
}

TEST_F(ProgramBlock, ClosingTheMainFormEndsTheRunWithExitCode0) {
    ClosingForm* form = nullptr;
    int activations = -1;
    int exitCode = RunProgram([&] {
        Application->Initialize();
        Application->CreateForm(form);
        EXPECT_EQ(Application->MainForm(), form);
        Application->Run();
        activations = form->activations;
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(activations, 1);
}

TEST(ProgramBlockDeathTest, TheProcessEndsWithExitCode1AfterTheLastChanceReport) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EXPECT_EXIT(std::exit(RunProgram([] { throw EInOutError("File access denied", 5); })),
                testing::ExitedWithCode(1),
                "Exception EInOutError in module .*\\. File access denied\\.");
}
