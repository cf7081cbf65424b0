#include "form_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "form.h"

FormWindow::FormWindow(TForm* form)
    : form_(form), client_(new QWidget(this)), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addWidget(client_);
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    // Keys reach the form when the focused control leaves them: Enter and Esc then press the
    // default and the cancel button.
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (form_ != nullptr && modifiers == Qt::NoModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            form_->KeyEnter();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            form_->KeyEscape();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The window system asks; the form decides whether and how the window goes.
    event->ignore();
    if (form_ != nullptr) {
        form_->CloseRequested();
    }
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && form_ != nullptr) {
        auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
            form_->MinimizedByUser();
        }
    }
    QWidget::changeEvent(event);
}
