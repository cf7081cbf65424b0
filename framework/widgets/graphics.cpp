#include "graphics.h"

#include <QGuiApplication>
#include <QPalette>
#include <QStringList>
#include <cmath>

namespace {

constexpr int kPixelsPerInch = 96;

// Windows' MulDiv: a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

// Sans-serif faces of about the narrow width of the classic dialog font, best first; the
// desktop's own sans-serif comes last.
const QStringList& FallbackFamilies() {
    static const QStringList families = {
        QStringLiteral("Microsoft Sans Serif"),  QStringLiteral("Liberation Sans Narrow"),
        QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
        QStringLiteral("DejaVu Sans"),
    };
    return families;
}

}  // namespace

QColor ToQColor(TColor color) {
    if ((color & 0xFF000000u) == 0x80000000u) {
        QPalette palette = QGuiApplication::palette();
        switch (color) {
            case clBtnFace:
                return palette.color(QPalette::Button);
            case clWindowText:
                return palette.color(QPalette::WindowText);
            default:
                return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

TFont::TFont() : name_("MS Sans Serif"), height_(-11), color_(clWindowText) {}

void TFont::SetName(const std::string& name) {
    if (name != name_) {
        name_ = name;
        Changed();
    }
}

void TFont::SetHeight(int height) {
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

int TFont::Size() const {
    return -MulDiv(height_, 72, kPixelsPerInch);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, kPixelsPerInch, 72));
}

void TFont::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

QFont TFont::ToQFont() const {
    QFont font;
    QStringList families{QString::fromStdString(name_)};
    families += FallbackFamilies();
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    // A positive height counts the internal leading too, which is about a fifth of the cell;
    // 0 asks for the default height.
    int pixels = 11;
    if (height_ < 0) {
        pixels = -height_;
    } else if (height_ > 0) {
        pixels = std::max(1, MulDiv(height_, 4, 5));
    }
    font.setPixelSize(pixels);
    return font;
}

void TFont::Changed() {
    if (onChange_) {
        onChange_();
    }
}
