// Controls: components that show a Qt widget in a form's client area at a position in pixels.
#pragma once

#include <QPointer>
#include <QWidget>

#include "component.h"

class TForm;

class TControl : public TComponent {
public:
    // Takes the widget; the control is placed on its owner when the owner is a form.
    TControl(TComponent* owner, QWidget* widget);
    ~TControl() override;

    TForm* Parent() const { return parent_; }
    virtual void SetParent(TForm* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    QWidget* Widget() const { return widget_; }

    // The parent form's window is going away, and this control's widget with it.
    void ParentDestroyed() { parent_ = nullptr; }

protected:
    // Lets a control that sizes itself correct the bounds it is given.
    virtual void AdjustBounds(int& width, int& height) const;
    // Applies the bounds again, for a control whose own size changed.
    void UpdateBounds() { SetBounds(left_, top_, width_, height_); }

private:
    QPointer<QWidget> widget_;
    TForm* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
};

// A control that can take the focus, in its form's tab order.
class TWinControl : public TControl {
public:
    TWinControl(TComponent* owner, QWidget* widget);

    void SetParent(TForm* parent) override;

    // The position in the form's tab order, 0 first; setting it moves the others along.
    int TabOrder() const;
    void SetTabOrder(int order);

    bool CanFocus() const;
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
    void SetFocus();
    bool Focused() const;
};
