#include "gradient.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <string>

#include "form.h"

namespace {

class GradientWidget : public QWidget {
public:
    explicit GradientWidget(const TGradient* gradient) : gradient_(gradient) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        gradient_->Paint(painter, rect());
    }

private:
    const TGradient* gradient_;
};

int Mix(int from, int to, double fraction) {
    return static_cast<int>(std::lround(from + (to - from) * fraction));
}

}  // namespace

void TGradient::SetGradientStyle(TGradientStyle style) {
    style_ = style;
    Changed();
}

void TGradient::SetLineDirection(TLineDirection direction) {
    direction_ = direction;
    Changed();
}

void TGradient::SetLineSize(int size) {
    if (size < 1) {
        throw EInvalidOperation("LineSize must be at least 1, not " + std::to_string(size));
    }
    lineSize_ = size;
    Changed();
}

void TGradient::SetColorCount(int count) {
    if (count < 1 || count > kMaxColorCount) {
        throw EInvalidOperation("ColorCount must be 1 to 4, not " + std::to_string(count));
    }
    colorCount_ = count;
    Changed();
}

TColor TGradient::Color(int index) const {
    return colors_[std::clamp(index, 1, 5) - 1];
}

void TGradient::SetColor(int index, TColor color) {
    if (index < 1 || index > kMaxColorCount + 1) {
        throw EInvalidOperation("There is no gradient colour " + std::to_string(index));
    }
    colors_[index - 1] = color;
    Changed();
}

void TGradient::Paint(QPainter& painter, const QRect& area) const {
    const bool horizontal = direction_ == diHorizonal;
    const int length = horizontal ? area.height() : area.width();
    if (length <= 0) {
        return;
    }
    // The first line has the first colour and the last line the last one.
    const int lines = (length + lineSize_ - 1) / lineSize_;
    for (int line = 0; line < lines; ++line) {
        const int start = line * lineSize_;
        const int size = std::min(lineSize_, length - start);
        double position = lines > 1 ? static_cast<double>(line) / (lines - 1) * colorCount_ : 0;
        int band = std::min(static_cast<int>(position), colorCount_ - 1);
        double fraction = position - band;
        QColor from = ToQColor(colors_[band]);
        QColor to = ToQColor(colors_[band + 1]);
        QColor color(Mix(from.red(), to.red(), fraction), Mix(from.green(), to.green(), fraction),
                     Mix(from.blue(), to.blue(), fraction));
        if (horizontal) {
            painter.fillRect(area.left(), area.top() + start, area.width(), size, color);
        } else {
            painter.fillRect(area.left() + start, area.top(), size, area.height(), color);
        }
    }
}

void TGradient::Changed() {
    if (onChange_) {
        onChange_();
    }
}

TDfGradient::TDfGradient(TComponent* owner) : TControl(owner, new GradientWidget(&gradient_)) {
    gradient_.SetOnChange([this] {
        if (Widget() != nullptr) {
            Widget()->update();
        }
    });
}
