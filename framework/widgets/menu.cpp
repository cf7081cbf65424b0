#include "menu.h"

#include <QAction>
#include <QMenuBar>
#include <algorithm>

#include "form.h"

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), action_(new QAction()) {
    QObject::connect(action_.data(), &QAction::triggered,
                     [this] { CallHandler([this] { Click(); }); });
}

TMenuItem::~TMenuItem() {
    for (TMenuItem* item : items_) {
        item->parentItem_ = nullptr;
    }
    if (parentItem_ != nullptr) {
        parentItem_->Remove(this);
    }
    delete action_.data();
}

void TMenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    action_->setText(QString::fromStdString(caption));
}

bool TMenuItem::Enabled() const {
    return action_->isEnabled();
}

void TMenuItem::SetEnabled(bool enabled) {
    action_->setEnabled(enabled);
}

bool TMenuItem::Visible() const {
    return action_->isVisible();
}

void TMenuItem::SetVisible(bool visible) {
    action_->setVisible(visible);
}

QAction* TMenuItem::Action() const {
    return action_;
}

void TMenuItem::Click() {
    if (onClick_) {
        TNotifyEvent handler = onClick_;
        handler(this);
    }
}

void TMenuItem::Add(TMenuItem* item) {
    if (menu_ == nullptr) {
        throw EMenuError("Menu items can only be added to the menu bar");
    }
    if (item->parentItem_ != nullptr) {
        item->parentItem_->Remove(item);
    }
    item->parentItem_ = this;
    items_.push_back(item);
    if (QMenuBar* bar = menu_->MenuBar()) {
        bar->addAction(item->action_);
    }
}

void TMenuItem::Remove(TMenuItem* item) {
    std::erase(items_, item);
    item->parentItem_ = nullptr;
    if (menu_ != nullptr && menu_->MenuBar() != nullptr && item->action_ != nullptr) {
        menu_->MenuBar()->removeAction(item->action_);
    }
}

TMainMenu::TMainMenu(TComponent* owner)
    : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)), bar_(new QMenuBar()) {
    items_->menu_ = this;
    bar_->setNativeMenuBar(false);
}

QMenuBar* TMainMenu::MenuBar() const {
    return bar_;
}

TMainMenu::~TMainMenu() {
    if (form_ != nullptr && form_->Menu() == this) {
        form_->MenuDestroyed();
    }
    items_.reset();
    delete bar_.data();
}

TMenuItem* AddMenuBarItem(TMainMenu* menu, TComponent* owner, const std::string& name,
                          const std::string& caption, TNotifyEvent onClick) {
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    item->SetOnClick(std::move(onClick));
    menu->Items()->Add(item);
    return item;
}
