#include "form.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "application.h"
#include "bit_btn.h"
#include "control.h"
#include "form_window.h"
#include "menu.h"

TForm::TForm(TComponent* owner) : TComponent(owner) {
    if (Application == nullptr) {
        throw EInvalidOperation("A form needs the application object");
    }
    window_ = new FormWindow(this);
    // A form owned by another form stands over it and has no task-bar entry of its own.
    if (auto* ownerForm = dynamic_cast<TForm*>(owner)) {
        window_->setParent(ownerForm->Window(), Qt::Window);
    }
    windowProc_ = [this](TMessage& message) { WndProc(message); };
    font_.SetOnChange([this] { ApplyFont(); });
    ApplyWindowFlags();
    ApplyClientSize();
    ApplyFont();
    Application->FormCreated(this);
}

TForm::~TForm() {
    Perform(WM_DESTROY, 0, 0);
    if (window_ != nullptr) {
        window_->Detach();
    }
    // The components go while this is still a whole form: controls leave its lists, the menu
    // leaves its window.
    while (ComponentCount() > 0) {
        delete Components(ComponentCount() - 1);
    }
    for (TControl* control : controls_) {
        control->ParentDestroyed();
    }
    if (menu_ != nullptr) {
        menu_->AttachTo(nullptr);
    }
    if (Application != nullptr) {
        Application->FormDestroyed(this);
    }
    delete window_.data();
}

void TForm::SetCaption(const std::string& caption) {
    caption_ = caption;
    window_->setWindowTitle(QString::fromStdString(caption));
}

void TForm::SetClientWidth(int width) {
    clientWidth_ = width;
    ApplyClientSize();
}

void TForm::SetClientHeight(int height) {
    clientHeight_ = height;
    ApplyClientSize();
}

int TForm::Left() const {
    return window_->x();
}

void TForm::SetLeft(int left) {
    window_->move(left, window_->y());
}

int TForm::Top() const {
    return window_->y();
}

void TForm::SetTop(int top) {
    window_->move(window_->x(), top);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    ApplyWindowFlags();
    ApplyClientSize();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    borderIcons_ = icons;
    ApplyWindowFlags();
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu_ == menu) {
        return;
    }
    if (menu_ != nullptr) {
        if (QMenuBar* bar = menu_->MenuBar()) {
            window_->Layout()->setMenuBar(nullptr);
            bar->setParent(nullptr);
        }
        menu_->AttachTo(nullptr);
    }
    menu_ = menu;
    if (menu != nullptr) {
        menu->AttachTo(this);
        if (QMenuBar* bar = menu->MenuBar()) {
            window_->Layout()->setMenuBar(bar);
            bar->show();
        }
    }
    ApplyClientSize();
}

void TForm::SetIcon(const QIcon& icon) {
    icon_ = icon;
    window_->setWindowIcon(icon);
}

TWinControl* TForm::ActiveControl() const {
    QWidget* focus = window_->focusWidget();
    for (TWinControl* control : tabList_) {
        QWidget* widget = control->Widget();
        if (widget != nullptr && focus != nullptr &&
            (widget == focus || widget->isAncestorOf(focus))) {
            return control;
        }
    }
    return nullptr;
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control == nullptr) {
        if (QWidget* focus = window_->focusWidget()) {
            focus->clearFocus();
        }
        return;
    }
    control->SetFocus();
}

bool TForm::Visible() const {
    return window_->isVisible();
}

void TForm::Show() {
    if (!shownBefore_ && position_ == poScreenCenter) {
        CenterOnScreen();
    }
    shownBefore_ = true;
    if (window_->isMinimized()) {
        window_->showNormal();
    } else {
        window_->show();
    }
    // Chosen before the window becomes active: activating a window without a focus widget
    // focuses whatever comes first in Qt's focus chain, which need not be the first control in
    // this form's tab order.
    if (window_->focusWidget() == nullptr) {
        FocusFirstControl();
    }
    WaitUntilOnScreen();
    window_->raise();
    window_->activateWindow();
    // The program's own idea of the active window follows at once, as on Windows, so that the
    // activation handler can give a control the focus.
    QApplication::setActiveWindow(window_);
    // Activated here rather than when the window system says so, which differs between
    // desktops and never happens on the offscreen platform; Windows, too, activates a window
    // while showing it.
    Activate();
}

// A window manager maps a new window some time after the program asked for it. A window hidden
// before that, as the main forms hide themselves at their first activation, would be mapped by
// the window manager all the same and stay on the screen without a frame, so activation waits.
void TForm::WaitUntilOnScreen() {
    // Without a window system there is nothing to wait for, and handling events here would let
    // other handlers run inside Show.
    if (!PlatformShowsWindows()) {
        return;
    }
    QWindow* handle = window_->windowHandle();
    const QDeadlineTimer deadline(kOnScreenWaitMs);
    while (handle != nullptr && !handle->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(
            QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 50);
    }
}

void TForm::Hide() {
    window_->hide();
}

void TForm::Close() {
    if (modal_) {
        SetModalResult(mrCancel);
    } else if (Application->MainForm() == this) {
        Application->Terminate();
    } else {
        Hide();
    }
}

TModalResult TForm::ShowModal() {
    if (modal_ || Visible()) {
        throw EInvalidOperation("Cannot make a visible window modal");
    }
    TForm* previous = Application->ActiveForm();
    modal_ = true;
    modalResult_ = mrNone;
    window_->setWindowModality(Qt::ApplicationModal);
    Show();
    QEventLoop loop;
    modalLoop_ = &loop;
    while (modalResult_ == mrNone) {
        if (Application->Terminated()) {
            modalResult_ = mrCancel;
            break;
        }
        loop.exec(QEventLoop::DialogExec);
    }
    modalLoop_ = nullptr;
    Hide();
    window_->setWindowModality(Qt::NonModal);
    modal_ = false;
    // The opener becomes the active form again without being activated anew.
    if (previous != nullptr && Application->FormExists(previous)) {
        Application->SetActiveForm(previous);
        if (previous->Visible()) {
            previous->Window()->activateWindow();
        }
    } else {
        Application->SetActiveForm(nullptr);
    }
    return modalResult_;
}

void TForm::SetModalResult(TModalResult result) {
    modalResult_ = result;
    if (modalLoop_ != nullptr && result != mrNone) {
        modalLoop_->quit();
    }
}

LRESULT TForm::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    TWndMethod windowProc = windowProc_;
    windowProc(message);
    return message.Result;
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_SYSCOMMAND:
            // The low four bits of the command are the system's own.
            switch (message.WParam & 0xFFF0) {
                case SC_MINIMIZE:
                    minimizingByCommand_ = true;
                    window_->showMinimized();
                    minimizingByCommand_ = false;
                    break;
                case SC_MAXIMIZE:
                    window_->showMaximized();
                    break;
                case SC_RESTORE:
                    window_->showNormal();
                    break;
                case SC_CLOSE:
                    Close();
                    break;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            Close();
            break;
        default:
            break;
    }
}

QWidget* TForm::Window() const {
    return window_;
}

QWidget* TForm::ClientArea() const {
    return window_->Client();
}

void TForm::InsertControl(TControl* control) {
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) {
        controls_.push_back(control);
    }
    auto* winControl = dynamic_cast<TWinControl*>(control);
    if (winControl != nullptr &&
        std::find(tabList_.begin(), tabList_.end(), winControl) == tabList_.end()) {
        tabList_.push_back(winControl);
        ApplyTabOrder();
    }
}

void TForm::RemoveControl(TControl* control) {
    std::erase(controls_, control);
    std::erase_if(tabList_,
                  [control](TWinControl* c) { return static_cast<TControl*>(c) == control; });
}

void TForm::SetTabOrderOf(TWinControl* control, int order) {
    auto it = std::find(tabList_.begin(), tabList_.end(), control);
    if (it == tabList_.end()) {
        return;
    }
    tabList_.erase(it);
    order = std::clamp(order, 0, static_cast<int>(tabList_.size()));
    tabList_.insert(tabList_.begin() + order, control);
    ApplyTabOrder();
}

int TForm::TabOrderOf(const TWinControl* control) const {
    auto it = std::find(tabList_.begin(), tabList_.end(), control);
    return it == tabList_.end() ? -1 : static_cast<int>(it - tabList_.begin());
}

void TForm::KeyEnter() {
    ClickButton(true);
}

void TForm::KeyEscape() {
    ClickButton(false);
}

void TForm::CloseRequested() {
    CallHandler([this] { Close(); });
}

void TForm::MinimizedByUser() {
    if (minimizingByCommand_) {
        return;
    }
    // Minimising from the title bar or the task bar is the minimise command, as on Windows,
    // so that a component that takes the command over sees it too.
    QMetaObject::invokeMethod(
        window_.data(), [this] { CallHandler([this] { Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0); }); },
        Qt::QueuedConnection);
}

void TForm::ApplyWindowFlags() {
    Qt::WindowFlags flags = borderStyle_ == bsDialog ? Qt::Dialog : Qt::Window;
    if (borderStyle_ == bsNone) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (borderIcons_ & biSystemMenu) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if ((borderIcons_ & biMinimize) && borderStyle_ != bsDialog) {
                flags |= Qt::WindowMinimizeButtonHint;
            }
            if ((borderIcons_ & biMaximize) && borderStyle_ != bsDialog) {
                flags |= Qt::WindowMaximizeButtonHint;
            }
            if ((borderIcons_ & biHelp) && borderStyle_ == bsDialog) {
                flags |= Qt::WindowContextHelpButtonHint;
            }
        }
    }
    const bool wasVisible = window_->isVisible();
    window_->setWindowFlags(flags);
    if (wasVisible) {
        window_->show();
    }
}

void TForm::ApplyClientSize() {
    QWidget* client = window_->Client();
    if (borderStyle_ == bsSizeable) {
        client->setMinimumSize(0, 0);
        client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_->Layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
        int menuHeight = menu_ != nullptr && menu_->MenuBar() != nullptr
                             ? menu_->MenuBar()->sizeHint().height()
                             : 0;
        window_->resize(clientWidth_, clientHeight_ + menuHeight);
    } else {
        client->setFixedSize(clientWidth_, clientHeight_);
        window_->Layout()->setSizeConstraint(QLayout::SetFixedSize);
    }
    // A new menu bar alone does not make the layout count again.
    window_->Layout()->invalidate();
    window_->Layout()->activate();
}

void TForm::ApplyFont() {
    window_->setFont(font_.ToQFont());
    QPalette palette = window_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(font_.Color()));
    window_->setPalette(palette);
}

void TForm::ApplyTabOrder() {
    for (std::size_t i = 1; i < tabList_.size(); ++i) {
        QWidget* before = tabList_[i - 1]->Widget();
        QWidget* after = tabList_[i]->Widget();
        if (before != nullptr && after != nullptr) {
            QWidget::setTabOrder(before, after);
        }
    }
}

void TForm::CenterOnScreen() {
    QScreen* screen = window_->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    QRect area = screen->availableGeometry();
    QSize size = window_->size();
    window_->move(area.x() + (area.width() - size.width()) / 2,
                  area.y() + (area.height() - size.height()) / 2);
}

void TForm::FocusFirstControl() {
    for (TWinControl* control : tabList_) {
        if (control->CanFocus()) {
            control->SetFocus();
            return;
        }
    }
}

void TForm::Activate() {
    if (!Visible() || Application->ActiveForm() == this) {
        return;
    }
    Application->SetActiveForm(this);
    if (onActivate_) {
        TNotifyEvent handler = onActivate_;
        CallHandler([&] { handler(this); });
    }
}

void TForm::ClickButton(bool defaultButton) {
    for (TControl* control : controls_) {
        auto* button = dynamic_cast<TBitBtn*>(control);
        if (button != nullptr && (defaultButton ? button->Default() : button->Cancel()) &&
            button->Widget() != nullptr && button->Widget()->isVisible() &&
            button->Widget()->isEnabled()) {
            CallHandler([button] { button->Click(); });
            return;
        }
    }
}
