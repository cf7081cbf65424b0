// A form: a top-level window with a client area for controls and an optional menu bar. Its
// stored layout is code that sets the properties below after construction, in stored order.
#pragma once

#include <QIcon>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "component.h"
#include "events.h"
#include "exceptions.h"
#include "graphics.h"
#include "window_messages.h"

class QEventLoop;
class QWidget;
class FormWindow;
class TControl;
class TMainMenu;
class TWinControl;

CORVANE_EXCEPTION_CLASS(EInvalidOperation, Exception);

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };

// A set of TBorderIcon values, or-ed together.
using TBorderIcons = unsigned;
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };

enum TPosition { poDesigned, poScreenCenter };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

class TForm : public TComponent {
public:
    // How long Show waits for the window system to put a new window on the screen.
    static constexpr int kOnScreenWaitMs = 2000;

    // The application object must exist.
    explicit TForm(TComponent* owner);
    // Sends WM_DESTROY through WindowProc, then frees the owned components, then the window.
    ~TForm() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int ClientWidth() const { return clientWidth_; }
    void SetClientWidth(int width);
    int ClientHeight() const { return clientHeight_; }
    void SetClientHeight(int height);
    int Left() const;
    void SetLeft(int left);
    int Top() const;
    void SetTop(int top);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    // Without biSystemMenu the title bar has no buttons at all, as on Windows.
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    // poScreenCenter centres the window on the screen when it is shown the first time.
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    // "MS Sans Serif", height -11 (8 point) unless set otherwise; controls use the form's font.
    TFont* Font() { return &font_; }
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    // For the menu: it is going away.
    void MenuDestroyed() { menu_ = nullptr; }
    // The form's own icon; without one the window and the tray show the application's icon.
    QIcon Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);

    // Runs when the form becomes the application's active form, which Show makes it: for the
    // main form once, at its first showing; for a dialog each time it is shown, not when a
    // dialog it opened closes (the opener becomes the active form again without activation).
    const TNotifyEvent& OnActivate() const { return onActivate_; }
    void SetOnActivate(TNotifyEvent handler) { onActivate_ = std::move(handler); }

    // The control that has, or last had, the focus in this form.
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* control);

    bool Visible() const;
    void Show();
    void Hide();
    // A modal form ends its modal run with mrCancel; the main form ends the program; any other
    // form is hidden.
    void Close();

    // Shows the form modal to the whole program and handles events (timer ticks, hand-overs)
    // until ModalResult is set, then hides it and returns the result.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result);

    // Sends a message through WindowProc and returns its result. A component may take
    // WindowProc over and give it back when it goes or at WM_DESTROY; a form class that takes
    // over its own gives it back in its destructor, since ~TForm sends WM_DESTROY through it.
    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
    const TWndMethod& WindowProc() const { return windowProc_; }
    void SetWindowProc(TWndMethod windowProc) { windowProc_ = std::move(windowProc); }

    QWidget* Window() const;
    QWidget* ClientArea() const;

    // For controls placed on this form.
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void SetTabOrderOf(TWinControl* control, int order);
    int TabOrderOf(const TWinControl* control) const;

    // For the form's window.
    void KeyEnter();
    void KeyEscape();
    void CloseRequested();
    void MinimizedByUser();

protected:
    // The form's own handling of messages: WM_SYSCOMMAND minimises, maximises, restores or
    // closes; WM_CLOSE closes.
    virtual void WndProc(TMessage& message);

private:
    void ApplyWindowFlags();
    void ApplyClientSize();
    void ApplyFont();
    void ApplyTabOrder();
    void CenterOnScreen();
    void WaitUntilOnScreen();
    void FocusFirstControl();
    void Activate();
    void ClickButton(bool defaultButton);

    QPointer<FormWindow> window_;
    std::string caption_;
    int clientWidth_ = 320;
    int clientHeight_ = 240;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    TFont font_;
    TMainMenu* menu_ = nullptr;
    QIcon icon_;
    TNotifyEvent onActivate_;
    TWndMethod windowProc_;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool shownBefore_ = false;
    bool minimizingByCommand_ = false;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    QEventLoop* modalLoop_ = nullptr;
};
