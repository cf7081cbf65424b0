// Driving the framework's event loops from a test: waiting for conditions, answering modal
// boxes and dialogs from inside their own loops, and reading what went to standard error.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>

class QWidget;

// Handles events until condition() holds or timeoutMs have passed; returns condition().
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 20000);

// Runs action, from inside the event loop then running, with the first modal window (dialog or
// message box) that opens after this call. Fails the test if none opens within timeoutMs.
void OnNextModal(std::function<void(QWidget* modal)> action, int timeoutMs = 20000);

// What a message box shows.
struct BoxFacts {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    bool hasOk = false;
};
BoxFacts ReadBox(QWidget* modal);
// Presses the box's OK button.
void PressOk(QWidget* modal);

// Collects what is written to file descriptor 2 while it lives.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // The lines written so far that begin with "<program>: ", as the framework's reports do;
    // Qt's own notes are left out.
    std::string Reports() const;

private:
    int savedFd_;
    std::string path_;
};
