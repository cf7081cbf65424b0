#include <gtest/gtest.h>

#include <QPainter>
#include <QPushButton>

#include "bit_btn.h"
#include "form_fixture.h"
#include "image.h"

namespace {

// A two-state glyph: a red square (normal) and a grey square (disabled) on olive, the colour
// of the bottom-left pixel.
QPixmap TwoStateGlyph() {
    QPixmap glyph(32, 16);
    glyph.fill(QColor(0x80, 0x80, 0x00));
    QPainter painter(&glyph);
    painter.fillRect(4, 4, 8, 8, Qt::red);
    painter.fillRect(20, 4, 8, 8, Qt::gray);
    return glyph;
}

}  // namespace

TEST(BitBtn, GlyphHalvesBecomeNormalAndDisabledImagesWithTheCornerColourTransparent) {
    auto main = MakeMainForm();
    TBitBtn button(main.get());
    button.SetCaption("O.K.");
    button.SetGlyph(TwoStateGlyph());
    EXPECT_EQ(button.NumGlyphs(), 2);
    auto* push = static_cast<QPushButton*>(button.Widget());
    EXPECT_EQ(push->text(), "O.K.");
    EXPECT_EQ(push->iconSize(), QSize(16, 16));

    QImage normal = push->icon().pixmap(16, 16, QIcon::Normal).toImage();
    QImage disabled = push->icon().pixmap(16, 16, QIcon::Disabled).toImage();
    ASSERT_EQ(normal.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(normal.pixel(0, 15)), 0);
    EXPECT_EQ(qAlpha(normal.pixel(0, 0)), 0);
    EXPECT_EQ(QColor(normal.pixel(8, 8)), QColor(Qt::red));
    EXPECT_EQ(qAlpha(disabled.pixel(1, 1)), 0);
    EXPECT_EQ(QColor(disabled.pixel(8, 8)), QColor(Qt::gray));
}

TEST(BitBtn, NumberOfGlyphsFollowsTheBitmapsShape) {
    auto main = MakeMainForm();
    TBitBtn button(main.get());
    const std::pair<QSize, int> cases[] = {
        {{16, 16}, 1}, {{32, 16}, 2}, {{64, 16}, 4}, {{80, 16}, 1}, {{20, 16}, 1}};
    for (const auto& [size, count] : cases) {
        QPixmap glyph(size);
        glyph.fill(Qt::white);
        button.SetGlyph(glyph);
        EXPECT_EQ(button.NumGlyphs(), count) << size.width();
    }
}

TEST(BitBtn, UnreadableGlyphIsAnError) {
    auto main = MakeMainForm();
    TBitBtn button(main.get());
    try {
        button.LoadGlyph(":/no/such/glyph.bmp");
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Cannot read the picture :/no/such/glyph.bmp");
    }
}
