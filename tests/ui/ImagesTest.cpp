#include "ui/Images.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {
int opaquePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}
} // namespace

TEST(Images, EveryNamedImageDrawsAtOneAndTwoTimesScale)
{
    QStringList names = Images::names();
    names << QStringLiteral("sweepling");
    for (const QString &name : names) {
        const QIcon icon = Images::named(name);
        ASSERT_FALSE(icon.isNull()) << qPrintable(name);
        const QImage one = icon.pixmap(QSize(32, 32), 1.0).toImage();
        const QImage two = icon.pixmap(QSize(32, 32), 2.0).toImage();
        EXPECT_EQ(two.width(), 2 * one.width()) << qPrintable(name);
        EXPECT_GT(opaquePixels(one), 0) << qPrintable(name);
        // Drawn from the vector at each scale, not enlarged.
        EXPECT_GT(opaquePixels(two), 3 * opaquePixels(one)) << qPrintable(name);
    }
}

TEST(Images, TheStoredTiffNamesFindTheirImages)
{
    EXPECT_EQ(Images::resourcePath(QStringLiteral("btn_open.tiff")), Images::resourcePath(QStringLiteral("btn_open")));
    EXPECT_FALSE(Images::named(QStringLiteral("btn_trash.tiff")).isNull());
    EXPECT_TRUE(Images::named(QStringLiteral("no_such_image")).isNull());
}
