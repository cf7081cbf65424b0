#include "label.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

namespace {

class LabelWidget : public QLabel {
public:
    LabelWidget() {
        setTextFormat(Qt::PlainText);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setAutoFillBackground(true);
    }

protected:
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange && owner_ != nullptr) {
            owner_->FontChanged();
        }
    }

public:
    // Set once the label is whole; font changes before that are taken up by its constructor.
    void SetOwner(TLabel* owner) { owner_ = owner; }

private:
    TLabel* owner_ = nullptr;
};

}  // namespace

TLabel::TLabel(TComponent* owner) : TControl(owner, new LabelWidget()) {
    static_cast<LabelWidget*>(Widget())->SetOwner(this);
    UpdateBounds();
}

void TLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    Label()->setText(QString::fromStdString(caption));
    UpdateBounds();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Label()->setAutoFillBackground(!transparent);
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    UpdateBounds();
}

void TLabel::AdjustBounds(int& width, int& height) const {
    if (autoSize_ && Widget() != nullptr) {
        QFontMetrics metrics(Widget()->font());
        width = metrics.horizontalAdvance(QString::fromStdString(caption_));
        height = metrics.height();
    }
}

QLabel* TLabel::Label() const {
    return static_cast<QLabel*>(Widget());
}
