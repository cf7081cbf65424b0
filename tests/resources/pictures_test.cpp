// The pictures compiled into the programs: each loads through Qt from its resource path and
// has the size, colour depth and transparency that the windows showing it rely on.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>
#include <QVector>
#include <QtEndian>

#include <algorithm>
#include <ostream>
#include <vector>

namespace {

QImage load(const QString& path) {
    QImage image(path);
    EXPECT_FALSE(image.isNull()) << path.toStdString() << " did not load";
    return image;
}

QByteArray readResource(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString() << " cannot be opened";
    return file.readAll();
}

quint16 le16(const QByteArray& data, int offset) {
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

quint32 le32(const QByteArray& data, int offset) {
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours.size();
}

TEST(Banner, Is337By218With256ColourPalette) {
    const QString path = ":/corvane/banner.bmp";
    const QImage banner = load(path);
    ASSERT_FALSE(banner.isNull());
    EXPECT_EQ(banner.size(), QSize(337, 218));
    EXPECT_EQ(banner.format(), QImage::Format_Indexed8);
    EXPECT_LE(banner.colorCount(), 256);

    // Qt loads 4-bit files as 8-bit images too, so the stored depth is read from the header.
    const QByteArray bytes = readResource(path);
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le16(bytes, 28), 8) << "bits per pixel";
    EXPECT_EQ(le32(bytes, 30), 0u) << "compression";
}

TEST(Banner, UsesManyColoursOfItsPalette) {
    // A picture, not a flat placeholder: gradients and anti-aliased shapes need many shades.
    const QImage banner = load(":/corvane/banner.bmp");
    ASSERT_FALSE(banner.isNull());
    EXPECT_GT(distinctColours(banner), 64);
}

class IconPng : public testing::TestWithParam<int> {};

TEST_P(IconPng, IsSquareWithTransparentCorners) {
    const int size = GetParam();
    const QImage icon = load(QString(":/corvane/icon-%1.png").arg(size));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(size, size));
    ASSERT_TRUE(icon.hasAlphaChannel());
    // The round clock leaves the top corners empty, so the icon sits on any panel colour.
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(size - 1, 0)), 0);
    // And the clock face in the middle is opaque.
    EXPECT_EQ(qAlpha(icon.pixel(size / 2, size * 6 / 16)), 255);
}

INSTANTIATE_TEST_SUITE_P(AllSizes, IconPng, testing::Values(16, 22, 32, 48, 64, 128, 256));

TEST(Icon16, HasAtMostSixteenColours) {
    const QImage icon = load(":/corvane/icon-16.png");
    ASSERT_FALSE(icon.isNull());
    EXPECT_LE(distinctColours(icon), 16);
}

TEST(IconFile, Holds16By16FourBitPicture) {
    const QByteArray bytes = readResource(":/corvane/corvane.ico");
    ASSERT_GE(bytes.size(), 6 + 16 + 40);
    EXPECT_EQ(le16(bytes, 0), 0) << "reserved";
    EXPECT_EQ(le16(bytes, 2), 1) << "type: icon";
    ASSERT_EQ(le16(bytes, 4), 1) << "picture count";

    const auto width = static_cast<quint8>(bytes[6]);
    const auto height = static_cast<quint8>(bytes[7]);
    const auto colours = static_cast<quint8>(bytes[8]);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(colours, 16);
    EXPECT_EQ(le16(bytes, 12), 4) << "entry bits per pixel";
    const quint32 length = le32(bytes, 14);
    const quint32 offset = le32(bytes, 18);
    ASSERT_EQ(offset + length, static_cast<quint32>(bytes.size()));

    // The picture itself: a bitmap header whose height counts the picture and its mask.
    EXPECT_EQ(le32(bytes, offset), 40u);
    EXPECT_EQ(le32(bytes, offset + 4), 16u);
    EXPECT_EQ(le32(bytes, offset + 8), 32u);
    EXPECT_EQ(le16(bytes, offset + 14), 4) << "bitmap bits per pixel";
    // 16 palette entries, 16 rows of 8 bytes of colour and 16 rows of 4 bytes of mask.
    EXPECT_EQ(length, 40u + 16 * 4 + 16 * 8 + 16 * 4);
}

TEST(IconFile, LoadsThroughQtLikeThePng) {
    const QImage fromIco = load(":/corvane/corvane.ico");
    const QImage fromPng = load(":/corvane/icon-16.png");
    ASSERT_FALSE(fromIco.isNull());
    ASSERT_FALSE(fromPng.isNull());
    ASSERT_EQ(fromIco.size(), QSize(16, 16));
    const QImage a = fromIco.convertToFormat(QImage::Format_ARGB32);
    const QImage b = fromPng.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb ico = a.pixel(x, y);
            const QRgb png = b.pixel(x, y);
            ASSERT_EQ(qAlpha(ico), qAlpha(png)) << "at " << x << "," << y;
            if (qAlpha(png) != 0) {
                ASSERT_EQ(ico, png) << "at " << x << "," << y;
            }
        }
    }
}

enum class Hue { Red, Green, Blue, Neutral };

struct GlyphCase {
    const char* file;
    Hue hue;
};

void PrintTo(const GlyphCase& c, std::ostream* os) {
    *os << c.file;
}

class Glyph : public testing::TestWithParam<GlyphCase> {
protected:
    void SetUp() override {
        image_ = load(QString(":/corvane/") + GetParam().file);
        ASSERT_FALSE(image_.isNull());
        ASSERT_EQ(image_.size(), QSize(32, 16));
        key_ = image_.pixel(0, 15);
    }

    // The 16x16 picture: 0 is the normal one, 1 the disabled one.
    QRect half(int index) const { return QRect(index * 16, 0, 16, 16); }

    bool isKey(QPoint p) const { return image_.pixel(p) == key_; }

    QImage image_;
    QRgb key_ = 0;
};

TEST_P(Glyph, BottomLeftColourIsOnlyBackground) {
    for (int index = 0; index < 2; ++index) {
        const QRect area = half(index);
        EXPECT_TRUE(isKey(area.bottomLeft())) << "picture " << index;

        // Every transparent pixel must reach the picture's edge through transparent pixels;
        // one enclosed by the drawing would punch a hole into it.
        std::vector<bool> seen(256, false);
        auto slot = [&](QPoint p) { return (p.y() - area.top()) * 16 + (p.x() - area.left()); };
        QVector<QPoint> pending;
        int keyPixels = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QPoint p(x, y);
                if (!isKey(p)) {
                    continue;
                }
                ++keyPixels;
                const bool onEdge =
                    x == area.left() || x == area.right() || y == area.top() || y == area.bottom();
                if (onEdge) {
                    seen[slot(p)] = true;
                    pending.append(p);
                }
            }
        }
        int reached = 0;
        while (!pending.isEmpty()) {
            const QPoint p = pending.takeLast();
            ++reached;
            for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                const QPoint n = p + step;
                if (area.contains(n) && !seen[slot(n)] && isKey(n)) {
                    seen[slot(n)] = true;
                    pending.append(n);
                }
            }
        }
        EXPECT_EQ(reached, keyPixels) << "picture " << index << " encloses transparent pixels";
        EXPECT_LT(keyPixels, 256 * 3 / 4) << "picture " << index << " is nearly empty";
    }
}

TEST_P(Glyph, DisabledPictureIsTheSameShapeInGrey) {
    int coloured = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QPoint normal(x, y);
            const QPoint disabled(x + 16, y);
            ASSERT_EQ(isKey(normal), isKey(disabled)) << "at " << x << "," << y;
            if (isKey(disabled)) {
                continue;
            }
            const QRgb grey = image_.pixel(disabled);
            EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey))
                << "disabled pixel " << x << "," << y << " is not grey";
            const QRgb c = image_.pixel(normal);
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)) {
                ++coloured;
            }
        }
    }
    if (GetParam().hue != Hue::Neutral) {
        EXPECT_GT(coloured, 0) << "the normal picture is grey too";
    }
}

TEST_P(Glyph, NormalPictureHasItsColour) {
    int red = 0;
    int green = 0;
    int blue = 0;
    int neutral = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QPoint p(x, y);
            if (isKey(p)) {
                continue;
            }
            const QColor c = QColor::fromRgb(image_.pixel(p));
            if (c.hsvSaturation() < 64) {
                ++neutral;
            } else if (c.hsvHue() < 30 || c.hsvHue() >= 330) {
                ++red;
            } else if (c.hsvHue() >= 90 && c.hsvHue() < 160) {
                ++green;
            } else if (c.hsvHue() >= 190 && c.hsvHue() < 260) {
                ++blue;
            }
        }
    }
    const int strongest = std::max({red, green, blue, neutral});
    switch (GetParam().hue) {
        case Hue::Red:
            EXPECT_EQ(red, strongest);
            break;
        case Hue::Green:
            EXPECT_EQ(green, strongest);
            break;
        case Hue::Blue:
            EXPECT_EQ(blue, strongest);
            break;
        case Hue::Neutral:
            EXPECT_EQ(neutral, strongest);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(AllGlyphs, Glyph,
                         testing::Values(GlyphCase{"glyph-globe.bmp", Hue::Blue},
                                         GlyphCase{"glyph-envelope.bmp", Hue::Neutral},
                                         GlyphCase{"glyph-check.bmp", Hue::Red},
                                         GlyphCase{"glyph-ok.bmp", Hue::Green},
                                         GlyphCase{"glyph-cancel.bmp", Hue::Red}));

}  // namespace
