#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "form_fixture.h"
#include "gradient.h"
#include "ui_helpers.h"

namespace {

// The stored settings of the dialogs' gradient.
void SetDialogGradient(TGradient& gradient) {
    gradient.SetGradientStyle(gsLine);
    gradient.SetLineDirection(diHorizonal);
    gradient.SetLineSize(2);
    gradient.SetColorCount(4);
    gradient.SetColor1(clGray);
    gradient.SetColor2(clWhite);
    gradient.SetColor3(clGray);
    gradient.SetColor4(clWhite);
    gradient.SetColor5(clBlack);
}

QImage Painted(const TGradient& gradient, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    gradient.Paint(painter, image.rect());
    return image;
}

int Grey(const QImage& image, int x, int y) {
    return qRed(image.pixel(x, y));
}

}  // namespace

TEST(Gradient, FourBandsOfTwoPixelLinesFromGreyToWhiteToGreyToWhiteToBlack) {
    TGradient gradient;
    SetDialogGradient(gradient);
    const int height = 144;
    QImage image = Painted(gradient, 361, height);
    for (int y = 0; y < height; ++y) {
        // Full-width lines of one grey each, two pixels high.
        for (int x : {1, 180, 360}) {
            ASSERT_EQ(image.pixel(x, y), image.pixel(0, y)) << "row " << y;
        }
        ASSERT_EQ(qRed(image.pixel(0, y)), qGreen(image.pixel(0, y)));
        ASSERT_EQ(qRed(image.pixel(0, y)), qBlue(image.pixel(0, y)));
        if (y % 2 == 1) {
            ASSERT_EQ(image.pixel(0, y), image.pixel(0, y - 1)) << "row " << y;
        }
    }
    // Band ends and the direction of shading in each band.
    EXPECT_EQ(Grey(image, 0, 0), 0x80);
    EXPECT_GE(Grey(image, 0, 35), 0xF4);
    EXPECT_GE(Grey(image, 0, 36), 0xF4);
    EXPECT_NEAR(Grey(image, 0, 71), 0x80, 5);
    EXPECT_NEAR(Grey(image, 0, 72), 0x80, 5);
    EXPECT_GE(Grey(image, 0, 107), 0xF4);
    EXPECT_GE(Grey(image, 0, 108), 0xF4);
    EXPECT_EQ(Grey(image, 0, 143), 0);
    for (int y = 2; y < 36; y += 2) {
        EXPECT_GT(Grey(image, 0, y), Grey(image, 0, y - 2)) << "band 1, row " << y;
    }
    for (int y = 38; y < 72; y += 2) {
        EXPECT_LT(Grey(image, 0, y), Grey(image, 0, y - 2)) << "band 2, row " << y;
    }
    for (int y = 110; y < 144; y += 2) {
        EXPECT_LT(Grey(image, 0, y), Grey(image, 0, y - 2)) << "band 4, row " << y;
    }
}

TEST(Gradient, VerticalLinesShadeFromLeftToRight) {
    TGradient gradient;
    gradient.SetLineDirection(diVertical);
    gradient.SetLineSize(3);
    gradient.SetColorCount(1);
    gradient.SetColor1(clBlack);
    gradient.SetColor2(clWhite);
    QImage image = Painted(gradient, 90, 20);
    for (int x = 0; x < 90; ++x) {
        ASSERT_EQ(image.pixel(x, 0), image.pixel(x, 19));
        ASSERT_EQ(image.pixel(x, 0), image.pixel(x - x % 3, 0));
    }
    EXPECT_EQ(Grey(image, 0, 0), 0);
    EXPECT_EQ(Grey(image, 89, 0), 0xFF);
}

TEST(Gradient, SettingsOutsideTheirRangeAreRefused) {
    TGradient gradient;
    EXPECT_THROW(gradient.SetColorCount(0), EInvalidOperation);
    EXPECT_THROW(gradient.SetColorCount(5), EInvalidOperation);
    EXPECT_THROW(gradient.SetLineSize(0), EInvalidOperation);
    EXPECT_THROW(gradient.SetColor(6, clBlack), EInvalidOperation);
    EXPECT_EQ(gradient.ColorCount(), 4);
    EXPECT_EQ(gradient.LineSize(), 2);
}

TEST(Gradient, TheControlPaintsItsGradientUnderTheControlsAfterIt) {
    auto main = MakeMainForm();
    main->SetClientWidth(339);
    main->SetClientHeight(459);
    auto* background = new TDfGradient(main.get());
    background->SetBounds(0, 224, 337, 233);
    SetDialogGradient(*background->Gradient());
    main->Show();
    FlushEvents();
    QImage shot = main->ClientArea()->grab().toImage();
    QImage expected = Painted(*background->Gradient(), 337, 233);
    for (int y : {0, 57, 58, 116, 175, 232}) {
        EXPECT_EQ(shot.pixel(100, 224 + y), expected.pixel(100, y)) << "row " << y;
    }
    // Beside the control, the form's own colour.
    EXPECT_NE(shot.pixel(338, 300), expected.pixel(0, 76));
}
