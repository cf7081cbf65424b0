#include "application.h"

#include <cxxabi.h>
#include <QCoreApplication>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "error_report.h"
#include "exceptions.h"
#include "form.h"
#include "graphics.h"
#include "main_thread.h"
#include "message_box.h"
#include "text_conversion.h"

TApplication* Application = nullptr;

namespace {

std::string Demangle(const char* name) {
    if (name == nullptr) {
        return "unknown";
    }
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(name);
}

struct ExceptionFacts {
    std::string className;
    std::string message;
};

ExceptionFacts FactsOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return {e.ClassName(), e.Message()};
    } catch (const std::exception& e) {
        return {Demangle(typeid(e).name()), e.what()};
    } catch (...) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        std::string name = Demangle(type != nullptr ? type->name() : nullptr);
        return {name, "Unknown exception (" + name + ")"};
    }
}

// The executable's name up to its first ".", with every character after the first in lower case.
std::string DefaultTitle() {
    std::string name = program_invocation_short_name;
    name = name.substr(0, name.find('.'));
    for (std::size_t i = 1; i < name.size(); ++i) {
        name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    }
    return name;
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

bool FrameworkApplication::notify(QObject* receiver, QEvent* event) {
    std::exception_ptr error;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        error = std::current_exception();
    }
    HandleLoopException(error);
    return false;
}

void HandleLoopException(std::exception_ptr error) {
    if (Application != nullptr) {
        Application->HandleException(error);
    } else {
        ReportError(MessageWithPeriod(FactsOf(error).message));
    }
}

std::string MessageWithPeriod(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

std::string LastChanceText(std::exception_ptr error) {
    ExceptionFacts facts = FactsOf(error);
    return "Exception " + facts.className + " in module " + program_invocation_short_name + ".\n" +
           MessageWithPeriod(facts.message);
}

TApplication::TApplication() : TComponent(nullptr), title_(DefaultTitle()) {
    if (QApplication::instance() == nullptr) {
        throw Exception("The application object needs a running Qt application");
    }
    Application = this;
    MainThread::Register();
    // Hiding the last window (into the notification area) must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(TFont().ToQFont());
}

TApplication::~TApplication() {
    // Forms go while the application object is whole: they unregister themselves here.
    while (ComponentCount() > 0) {
        delete Components(ComponentCount() - 1);
    }
    if (Application == this) {
        Application = nullptr;
    }
}

void TApplication::Initialize() {
    MainThread::Register();
    ReadLocaleSettings();
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
}

QIcon TApplication::Icon() const {
    return QApplication::windowIcon();
}

void TApplication::SetIcon(const QIcon& icon) {
    QApplication::setWindowIcon(icon);
}

void TApplication::Run() {
    if (mainForm_ == nullptr) {
        return;
    }
    mainForm_->Show();
    while (!terminated_) {
        QCoreApplication::exec();
    }
}

void TApplication::Terminate() {
    terminated_ = true;
    // Ends the main loop and every modal loop running inside it.
    QCoreApplication::exit(0);
}

void TApplication::HandleException(std::exception_ptr error) {
    ShowException(FactsOf(error).message);
}

void TApplication::ShowException(const std::string& message) {
    std::string text = MessageWithPeriod(message);
    ReportError(OneLine(text));
    ShowMessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return ShowMessageBox(text, caption, flags);
}

void TApplication::FormCreated(TForm* form) {
    forms_.push_back(form);
}

void TApplication::FormDestroyed(TForm* form) {
    std::erase(forms_, form);
    if (mainForm_ == form) {
        mainForm_ = nullptr;
    }
    if (activeForm_ == form) {
        activeForm_ = nullptr;
    }
}

void TApplication::SetActiveForm(TForm* form) {
    activeForm_ = form;
}

bool TApplication::FormExists(const TForm* form) const {
    return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}

bool PlatformShowsWindows() {
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

int ProgramMain(int& argc, char** argv, const std::function<void()>& body) {
    FrameworkApplication qtApplication(argc, argv);
    int exitCode = 0;
    std::exception_ptr error;
    {
        TApplication application;
        try {
            body();
        } catch (...) {
            error = std::current_exception();
        }
        if (error) {
            std::string text = LastChanceText(error);
            ReportError(OneLine(text));
            // On a platform that shows nothing to anyone, a box would wait for ever for its OK
            // and the program would never end: the line on standard error has said it all.
            if (PlatformShowsWindows()) {
                ShowMessageBox(text, "Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
            }
            exitCode = 1;
        }
    }
    return exitCode;
}
