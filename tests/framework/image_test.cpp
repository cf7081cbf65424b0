#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include "form_fixture.h"
#include "image.h"
#include "ui_helpers.h"

TEST(Image, ShowsThePictureFromTheTopLeftClippedToTheControl) {
    auto main = MakeMainForm();
    main->SetClientWidth(340);
    main->SetClientHeight(221);
    // A 337 by 218 banner whose last row is red: the 217 high control cuts it off.
    QImage banner(337, 218, QImage::Format_Indexed8);
    banner.setColorCount(256);
    for (int i = 0; i < 256; ++i) {
        banner.setColor(i, qRgb(i, 255 - i, 0));
    }
    banner.fill(10);
    for (int x = 0; x < 337; ++x) {
        banner.setPixel(x, 217, 255);
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("banner.bmp");
    ASSERT_TRUE(banner.save(path, "BMP"));

    auto* image = new TImage(main.get());
    image->SetBounds(0, 0, 337, 217);
    image->LoadPicture(path);
    EXPECT_EQ(image->Picture().size(), QSize(337, 218));
    main->Show();
    FlushEvents();
    QImage shot = main->ClientArea()->grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(10, 245, 0));
    EXPECT_EQ(shot.pixel(336, 216), qRgb(10, 245, 0));
    // Row 217 and the strip at the right show the form, not the picture.
    EXPECT_NE(shot.pixel(100, 217), qRgb(255, 0, 0));
    EXPECT_NE(shot.pixel(338, 100), qRgb(10, 245, 0));

    EXPECT_THROW(image->LoadPicture(folder.filePath("missing.bmp")), EInvalidGraphic);
}
