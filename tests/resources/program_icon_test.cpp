// ProgramIcon() offers every drawn size, each from its own picture rather than scaled.

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

#include "program_icon.h"

namespace {

const QList<int> kSizes = {16, 22, 32, 48, 64, 128, 256};

TEST(ProgramIcon, OffersEveryDrawnSize) {
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    QList<QSize> expected;
    for (int size : kSizes) {
        expected.append(QSize(size, size));
    }
    EXPECT_EQ(icon.availableSizes(), expected);
}

TEST(ProgramIcon, EachSizeIsItsOwnPicture) {
    const QIcon icon = ProgramIcon();
    for (int size : kSizes) {
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        const QImage drawn(QString(":/corvane/icon-%1.png").arg(size));
        ASSERT_FALSE(drawn.isNull()) << size;
        // Pixmaps keep premultiplied pixels; compare in that form so rounding cannot differ.
        EXPECT_TRUE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
                    drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << "size " << size << " is not shown from its own picture";
    }
}

}  // namespace
