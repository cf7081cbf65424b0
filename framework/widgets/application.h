// The application object: title, icon, forms, the message loop, and the boxes that show an
// exception escaping a handler (the default handler) or the start-up (the last-chance handler).
#pragma once

#include <QApplication>
#include <QIcon>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "component.h"

class TForm;

// The Qt application of a program on this framework: an exception that escapes a Qt event
// handler goes to the default handler instead of ending the event loop.
class FrameworkApplication : public QApplication {
public:
    FrameworkApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

class TApplication : public TComponent {
public:
    // Needs the Qt application; becomes the global Application.
    TApplication();
    // Frees the forms, the main form last.
    ~TApplication() override;

    // Marks this thread as the main thread and takes the number settings of the system locale.
    void Initialize();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    QIcon Icon() const;
    void SetIcon(const QIcon& icon);

    // Creates a form owned by the application; the first one created becomes the main form.
    // The reference stays empty when the form's constructor fails.
    template <class T>
    void CreateForm(T*& reference) {
        reference = nullptr;
        T* form = new T(this);
        reference = form;
        if (mainForm_ == nullptr) {
            mainForm_ = form;
        }
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and handles events until Terminate; returns at once without one.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The default handler: shows the exception's message with a final "." added unless it ends
    // in a character up to "." (ordinal), captioned with the title, with the error icon and an
    // OK button, and writes the same text as one line to standard error.
    void HandleException(std::exception_ptr error);
    void ShowException(const std::string& message);

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

    // The form activated last; a form's OnActivate runs when it becomes this form.
    TForm* ActiveForm() const { return activeForm_; }

    // For TForm.
    void FormCreated(TForm* form);
    void FormDestroyed(TForm* form);
    void SetActiveForm(TForm* form);
    bool FormExists(const TForm* form) const;

private:
    std::string title_;
    TForm* mainForm_ = nullptr;
    TForm* activeForm_ = nullptr;
    std::vector<TForm*> forms_;
    bool terminated_ = false;
};

extern TApplication* Application;

// The text of the default handler's box: the message, with "." added as described above.
std::string MessageWithPeriod(const std::string& message);

// The last-chance handler's text: "Exception <class> in module <program>." and on a second line
// the message with its period.
std::string LastChanceText(std::exception_ptr error);

// Whether windows of this platform reach a person's screen; not on "offscreen" or "minimal".
bool PlatformShowsWindows();

// The program block: creates the Qt application and the application object, runs body (which
// initialises, sets the title, creates the forms and runs), frees the forms, and returns the
// exit code: 0, or 1 after an exception escaped body and the last-chance handler showed it in
// a box titled "Application Error" (and on standard error; only there on a platform that shows
// no windows).
int ProgramMain(int& argc, char** argv, const std::function<void()>& body);
