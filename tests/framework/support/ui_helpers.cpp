#include "ui_helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return condition();
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::sendPostedEvents();
        usleep(1000);
    }
    return true;
}

void OnNextModal(std::function<void(QWidget*)> action, int timeoutMs) {
    auto* poll = new QTimer();
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, before, clock, action, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != before && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        } else if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal window opened";
        }
    });
    poll->start(5);
}

BoxFacts ReadBox(QWidget* modal) {
    BoxFacts facts;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) {
        ADD_FAILURE() << "the modal window is no message box";
        return facts;
    }
    facts.title = box->windowTitle();
    facts.text = box->text();
    facts.icon = box->icon();
    facts.buttonCount = static_cast<int>(box->buttons().size());
    facts.hasOk = box->button(QMessageBox::Ok) != nullptr;
    return facts;
}

void PressOk(QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->button(QMessageBox::Ok), nullptr);
    box->button(QMessageBox::Ok)->click();
}

StderrCapture::StderrCapture() {
    char name[] = "/tmp/corvane-stderr-XXXXXX";
    int fd = mkstemp(name);
    path_ = name;
    std::fflush(stderr);
    savedFd_ = dup(2);
    dup2(fd, 2);
    close(fd);
}

StderrCapture::~StderrCapture() {
    std::fflush(stderr);
    dup2(savedFd_, 2);
    close(savedFd_);
    std::remove(path_.c_str());
}

std::string StderrCapture::Reports() const {
    std::fflush(stderr);
    std::ifstream in(path_);
    const std::string prefix = std::string(program_invocation_short_name) + ": ";
    std::string reports;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0) {
            reports += line + "\n";
        }
    }
    return reports;
}
