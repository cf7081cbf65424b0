// The gradient background control. gsLine fills it with lines LineSize pixels thick across
// the whole control (diHorizonal: horizontal lines shading from top to bottom; diVertical:
// vertical lines shading from left to right) through ColorCount bands of equal size, band i
// going from Color(i) to Color(i + 1).
#pragma once

#include <QRect>
#include <functional>

#include "control.h"
#include "graphics.h"

class QPainter;

enum TGradientStyle { gsLine };
enum TLineDirection { diHorizonal, diVertical };

class TGradient : public TObject {
public:
    static constexpr int kMaxColorCount = 4;

    TGradientStyle GradientStyle() const { return style_; }
    void SetGradientStyle(TGradientStyle style);
    TLineDirection LineDirection() const { return direction_; }
    void SetLineDirection(TLineDirection direction);
    // At least 1; raises EInvalidOperation otherwise.
    int LineSize() const { return lineSize_; }
    void SetLineSize(int size);
    // 1 to 4 bands; raises EInvalidOperation otherwise.
    int ColorCount() const { return colorCount_; }
    void SetColorCount(int count);
    // Colours 1 to 5.
    TColor Color(int index) const;
    void SetColor(int index, TColor color);
    void SetColor1(TColor color) { SetColor(1, color); }
    void SetColor2(TColor color) { SetColor(2, color); }
    void SetColor3(TColor color) { SetColor(3, color); }
    void SetColor4(TColor color) { SetColor(4, color); }
    void SetColor5(TColor color) { SetColor(5, color); }

    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    // Paints the gradient over the rectangle.
    void Paint(QPainter& painter, const QRect& area) const;

private:
    void Changed();

    TGradientStyle style_ = gsLine;
    TLineDirection direction_ = diHorizonal;
    int lineSize_ = 2;
    int colorCount_ = 4;
    TColor colors_[kMaxColorCount + 1] = {clGray, clWhite, clGray, clWhite, clBlack};
    std::function<void()> onChange_;
};

class TDfGradient : public TControl {
public:
    explicit TDfGradient(TComponent* owner);

    TGradient* Gradient() { return &gradient_; }

private:
    TGradient gradient_;
};
