// The tray component: the minimise command sent to its form hides the form into an icon in the
// desktop's notification area, and a left double-click on the icon brings it back.
#pragma once

#include <QIcon>
#include <memory>
#include <string>

#include "component.h"
#include "window_messages.h"

class QSystemTrayIcon;
class TForm;

class TDCMinTray : public TComponent {
public:
    // The icon's identifier and the message it reports mouse actions to the form with.
    static constexpr WPARAM kIconId = 1;
    static constexpr UINT kCallbackMessage = WM_USER + 1;
    static constexpr std::size_t kMaxTipLength = 63;

    // Takes over the window procedure of its owner form when that form is the main form or no
    // main form exists yet (as while the main form is being created).
    explicit TDCMinTray(TComponent* owner);
    ~TDCMinTray() override;

    const std::string& Hint() const { return hint_; }
    // Replaces the tip at once while the icon is shown.
    void SetHint(const std::string& hint);

    // Hint, else the form's caption, cut to 63 characters.
    std::string Tip() const;
    bool IconShown() const;
    // The icon while it exists (from the first minimise command until the form goes).
    QSystemTrayIcon* TrayIcon() const { return icon_.get(); }

protected:
    // Whether the desktop has a notification area now. Without one the minimise command
    // minimises the window as usual, since a hidden window could not be brought back.
    virtual bool NotificationAreaAvailable() const;

private:
    void WindowProc(TMessage& message);
    void HideToTray();
    void RestoreFromTray();
    void RemoveIcon();
    void Unhook();
    QIcon IconPicture() const;

    TForm* form_ = nullptr;
    TWndMethod oldWindowProc_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::string hint_;
    bool toldNoNotificationArea_ = false;
};
