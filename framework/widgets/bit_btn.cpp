#include "bit_btn.h"

#include <QIcon>
#include <QImage>
#include <QPushButton>

#include "image.h"

TBitBtn::TBitBtn(TComponent* owner) : TWinControl(owner, new QPushButton()) {
    // Enter on a focused button presses that button, as on Windows.
    Button()->setAutoDefault(true);
    QObject::connect(Button(), &QPushButton::clicked, [this] { CallHandler([this] { Click(); }); });
}

void TBitBtn::SetCaption(const std::string& caption) {
    caption_ = caption;
    Button()->setText(QString::fromStdString(caption));
}

void TBitBtn::SetGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    int images = 1;
    if (!glyph.isNull() && glyph.width() % glyph.height() == 0) {
        images = glyph.width() / glyph.height();
        if (images > 4) {
            images = 1;
        }
    }
    numGlyphs_ = images;
    ApplyGlyph();
}

void TBitBtn::LoadGlyph(const QString& path) {
    SetGlyph(ReadPicture(path));
}

void TBitBtn::SetNumGlyphs(int numGlyphs) {
    numGlyphs_ = std::clamp(numGlyphs, 1, 4);
    ApplyGlyph();
}

void TBitBtn::SetDefault(bool value) {
    default_ = value;
    Button()->setDefault(value);
}

void TBitBtn::Click() {
    if (modalResult_ != mrNone && Parent() != nullptr) {
        Parent()->SetModalResult(modalResult_);
    }
    if (onClick_) {
        TNotifyEvent handler = onClick_;
        handler(this);
    }
}

QPushButton* TBitBtn::Button() const {
    return static_cast<QPushButton*>(Widget());
}

void TBitBtn::ApplyGlyph() {
    if (glyph_.isNull()) {
        Button()->setIcon(QIcon());
        return;
    }
    QImage image = glyph_.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == transparent) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    const int width = image.width() / numGlyphs_;
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, width, image.height())), QIcon::Normal);
    if (numGlyphs_ >= 2) {
        icon.addPixmap(QPixmap::fromImage(image.copy(width, 0, width, image.height())),
                       QIcon::Disabled);
    }
    Button()->setIcon(icon);
    Button()->setIconSize(QSize(width, image.height()));
}
