#include "control.h"

#include "form.h"

TControl::TControl(TComponent* owner, QWidget* widget) : TComponent(owner), widget_(widget) {
    if (auto* form = dynamic_cast<TForm*>(owner)) {
        TControl::SetParent(form);
    }
}

TControl::~TControl() {
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
    }
    delete widget_.data();
}

void TControl::SetParent(TForm* parent) {
    if (parent == parent_) {
        return;
    }
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (widget_ != nullptr) {
        widget_->setParent(parent != nullptr ? parent->ClientArea() : nullptr);
        widget_->setVisible(parent != nullptr && visible_);
    }
    if (parent != nullptr) {
        parent->InsertControl(this);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    AdjustBounds(width, height);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (widget_ != nullptr) {
        widget_->setGeometry(left, top, width, height);
    }
}

void TControl::AdjustBounds(int&, int&) const {}

void TControl::SetVisible(bool visible) {
    visible_ = visible;
    if (widget_ != nullptr) {
        widget_->setVisible(parent_ != nullptr && visible);
    }
}

bool TControl::Enabled() const {
    return widget_ != nullptr && widget_->isEnabled();
}

void TControl::SetEnabled(bool enabled) {
    if (widget_ != nullptr) {
        widget_->setEnabled(enabled);
    }
}

TWinControl::TWinControl(TComponent* owner, QWidget* widget) : TControl(owner, widget) {
    // The base placed the control before it was a TWinControl; now it joins the tab order.
    if (Parent() != nullptr) {
        Parent()->InsertControl(this);
    }
}

void TWinControl::SetParent(TForm* parent) {
    TControl::SetParent(parent);
    if (parent != nullptr) {
        parent->InsertControl(this);
    }
}

int TWinControl::TabOrder() const {
    return Parent() != nullptr ? Parent()->TabOrderOf(this) : -1;
}

void TWinControl::SetTabOrder(int order) {
    if (Parent() != nullptr) {
        Parent()->SetTabOrderOf(this, order);
    }
}

bool TWinControl::CanFocus() const {
    return Widget() != nullptr && Parent() != nullptr && Parent()->Visible() &&
           Widget()->isVisible() && Widget()->isEnabled();
}

void TWinControl::SetFocus() {
    if (!CanFocus()) {
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    }
    Widget()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    return Widget() != nullptr && Widget()->hasFocus();
}
