// Driving the programs' modal dialogs from a test: finding a dialog among its owner's
// components, pressing keys as the keyboard would, logging which windows were shown, and a
// safety net that ends every modal run when a test goes wrong instead of leaving it hanging.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <filesystem>
#include <string>

#include "component.h"

class QWidget;

// The first component of owner that is a T, or nullptr.
template <class T>
T* FindOwned(TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        if (auto* found = dynamic_cast<T*>(owner->Components(i))) {
            return found;
        }
    }
    return nullptr;
}

// Presses and releases key on the window's focused widget, or on the window when nothing in it
// has the focus.
void PressKey(QWidget* window, int key);

// The titles of the top-level windows shown while it lives, in order.
class WindowLog : public QObject {
public:
    WindowLog();
    ~WindowLog() override;

    const QStringList& Shown() const { return shown_; }
    int Count(const QString& title) const { return static_cast<int>(shown_.count(title)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList shown_;
};

// Fails the test and closes the modal windows, one after the other, when a modal run is still
// going after timeoutMs, so that a wrong turn ends the test instead of blocking it.
class ModalDeadline {
public:
    explicit ModalDeadline(int timeoutMs = 30000);

private:
    void CloseTopModal();

    QTimer timer_;
    bool failed_ = false;
};

// Points PATH at one directory while it lives, so that the programs started through PATH are
// those the test puts there.
class ScopedSearchPath {
public:
    explicit ScopedSearchPath(const std::filesystem::path& directory);
    ~ScopedSearchPath();
    ScopedSearchPath(const ScopedSearchPath&) = delete;
    ScopedSearchPath& operator=(const ScopedSearchPath&) = delete;

private:
    std::string previous_;
    bool hadPrevious_;
};

// Saves a picture of the widget as it is drawn now into the build's screenshots folder and
// returns the file's path.
std::filesystem::path SaveScreenshot(QWidget* widget, const std::string& fileName);
