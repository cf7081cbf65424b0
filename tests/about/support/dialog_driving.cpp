#include "dialog_driving.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <cstdlib>

void PressKey(QWidget* window, int key) {
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    QTest::keyClick(target, static_cast<Qt::Key>(key));
}

WindowLog::WindowLog() {
    qApp->installEventFilter(this);
}

WindowLog::~WindowLog() {
    qApp->removeEventFilter(this);
}

bool WindowLog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow()) {
            shown_.append(widget->windowTitle());
        }
    }
    return false;
}

ModalDeadline::ModalDeadline(int timeoutMs) {
    timer_.setSingleShot(false);
    QObject::connect(&timer_, &QTimer::timeout, [this] { CloseTopModal(); });
    timer_.start(timeoutMs);
}

void ModalDeadline::CloseTopModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
        return;
    }
    if (!failed_) {
        failed_ = true;
        ADD_FAILURE() << "a modal window was still open at the deadline: "
                      << modal->windowTitle().toStdString();
    }
    // Again soon for the windows below it.
    timer_.start(500);
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

ScopedSearchPath::ScopedSearchPath(const std::filesystem::path& directory)
    : hadPrevious_(std::getenv("PATH") != nullptr) {
    if (hadPrevious_) {
        previous_ = std::getenv("PATH");
    }
    setenv("PATH", directory.c_str(), 1);
}

ScopedSearchPath::~ScopedSearchPath() {
    if (hadPrevious_) {
        setenv("PATH", previous_.c_str(), 1);
    } else {
        unsetenv("PATH");
    }
}

std::filesystem::path SaveScreenshot(QWidget* widget, const std::string& fileName) {
    const std::filesystem::path folder = CORVANE_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / fileName;
    const QPixmap picture = widget->grab();
    EXPECT_FALSE(picture.isNull()) << "nothing to grab for " << fileName;
    EXPECT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG"))
        << "cannot write " << path;
    return path;
}
