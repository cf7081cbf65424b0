#include "min_tray.h"

#include <QApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

#include "application.h"
#include "error_report.h"
#include "form.h"

namespace {

// The mouse message the icon reports for each of Qt's activation reasons.
LPARAM MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            return WM_LBUTTONDBLCLK;
        case QSystemTrayIcon::Trigger:
            return WM_LBUTTONUP;
        case QSystemTrayIcon::Context:
            return WM_RBUTTONUP;
        case QSystemTrayIcon::MiddleClick:
            return WM_MBUTTONUP;
        default:
            return WM_MOUSEMOVE;
    }
}

}  // namespace

TDCMinTray::TDCMinTray(TComponent* owner) : TComponent(owner) {
    auto* form = dynamic_cast<TForm*>(owner);
    if (form == nullptr || Application == nullptr ||
        (Application->MainForm() != nullptr && Application->MainForm() != form)) {
        return;
    }
    form_ = form;
    oldWindowProc_ = form->WindowProc();
    form->SetWindowProc([this](TMessage& message) { WindowProc(message); });
}

TDCMinTray::~TDCMinTray() {
    RemoveIcon();
    Unhook();
}

void TDCMinTray::SetHint(const std::string& hint) {
    hint_ = hint;
    if (IconShown()) {
        icon_->setToolTip(QString::fromStdString(Tip()));
    }
}

std::string TDCMinTray::Tip() const {
    QString tip = QString::fromStdString(hint_);
    if (tip.isEmpty() && form_ != nullptr) {
        tip = QString::fromStdString(form_->Caption());
    }
    return tip.left(static_cast<qsizetype>(kMaxTipLength)).toStdString();
}

bool TDCMinTray::IconShown() const {
    return icon_ != nullptr && icon_->isVisible();
}

bool TDCMinTray::NotificationAreaAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TDCMinTray::WindowProc(TMessage& message) {
    switch (message.Msg) {
        case WM_SYSCOMMAND:
            if (message.WParam == SC_MINIMIZE) {
                if (NotificationAreaAvailable()) {
                    HideToTray();
                    return;
                }
                if (!toldNoNotificationArea_) {
                    toldNoNotificationArea_ = true;
                    ReportError(
                        "the desktop has no notification area; the window is minimised instead of "
                        "hidden there");
                }
            }
            break;
        case kCallbackMessage:
            if (message.LParam == WM_LBUTTONDBLCLK) {
                RestoreFromTray();
            }
            return;
        case WM_DESTROY: {
            RemoveIcon();
            TWndMethod old = oldWindowProc_;
            Unhook();
            old(message);
            return;
        }
        default:
            break;
    }
    oldWindowProc_(message);
}

void TDCMinTray::HideToTray() {
    QWidget* window = form_->Window();
    // Hidden, not minimised: the window comes back as it was.
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    }
    form_->Hide();
    if (icon_ == nullptr) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             CallHandler([this, reason] {
                                 form_->Perform(kCallbackMessage, kIconId, MouseMessageOf(reason));
                             });
                         });
    }
    icon_->setIcon(IconPicture());
    icon_->setToolTip(QString::fromStdString(Tip()));
    icon_->show();
}

void TDCMinTray::RestoreFromTray() {
    if (!IconShown()) {
        return;
    }
    // Only hidden here: the icon object may be the one reporting this double-click.
    icon_->hide();
    form_->Show();
}

void TDCMinTray::RemoveIcon() {
    if (icon_ != nullptr) {
        icon_->hide();
        icon_.reset();
    }
}

void TDCMinTray::Unhook() {
    if (form_ != nullptr) {
        form_->SetWindowProc(oldWindowProc_);
        form_ = nullptr;
    }
}

QIcon TDCMinTray::IconPicture() const {
    if (!form_->Icon().isNull()) {
        return form_->Icon();
    }
    if (Application != nullptr && !Application->Icon().isNull()) {
        return Application->Icon();
    }
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}
