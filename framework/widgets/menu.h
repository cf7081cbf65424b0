// The main menu: a menu bar whose items act directly, without drop-down menus.
#pragma once

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "component.h"
#include "events.h"
#include "exceptions.h"

class QAction;
class QMenuBar;
class TForm;
class TMainMenu;

CORVANE_EXCEPTION_CLASS(EMenuError, Exception);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    const TNotifyEvent& OnClick() const { return onClick_; }
    void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }

    // Runs OnClick; an exception goes to the caller. A click on the menu bar goes to the
    // default handler instead.
    void Click();

    // Adds an item to the menu bar; only the items of a main menu's bar can hold items.
    void Add(TMenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(index); }

    QAction* Action() const;

private:
    friend class TMainMenu;
    void Remove(TMenuItem* item);

    std::string caption_;
    TNotifyEvent onClick_;
    QPointer<QAction> action_;
    TMenuItem* parentItem_ = nullptr;
    std::vector<TMenuItem*> items_;
    TMainMenu* menu_ = nullptr;
};

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

    // The items on the bar.
    TMenuItem* Items() const { return items_.get(); }
    QMenuBar* MenuBar() const;

    // For TForm::SetMenu.
    void AttachTo(TForm* form) { form_ = form; }

private:
    std::unique_ptr<TMenuItem> items_;
    QPointer<QMenuBar> bar_;
    TForm* form_ = nullptr;
};

// Creates an item owned by owner, named and captioned, with its click handler, and puts it on
// the menu's bar: one line of a stored layout.
TMenuItem* AddMenuBarItem(TMainMenu* menu, TComponent* owner, const std::string& name,
                          const std::string& caption, TNotifyEvent onClick);
