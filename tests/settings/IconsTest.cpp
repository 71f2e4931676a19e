#include "resources/Icons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include <set>

namespace {

// Share of pixels that are not transparent.
double Coverage(const QImage& image) {
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            painted += qAlpha(image.pixel(x, y)) > 0;
    return double(painted) / (image.width() * image.height());
}

} // namespace

// Every icon renders, and differs from the others at the file lists' sizes.
TEST(IconsTest, EveryIconRendersAndDiffersAtSmallSizes) {
    const QStringList& names = VarnIcons::Names();
    ASSERT_EQ(names.size(), 18);
    EXPECT_TRUE(VarnIcons::SvgData("NOSUCHICON").isEmpty());
    EXPECT_TRUE(VarnIcons::Icon("NOSUCHICON").isNull());
    for (int size : {16, 32}) {
        std::set<QByteArray> seen;
        for (const QString& name : names) {
            EXPECT_TRUE(VarnIcons::SvgData(name).startsWith("<svg ")) << name.toStdString();
            const QImage image =
                VarnIcons::Icon(name).pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(image.width(), size) << name.toStdString();
            EXPECT_GT(Coverage(image), 0.3) << name.toStdString() << " at " << size;
            const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()),
                                    image.sizeInBytes());
            EXPECT_TRUE(seen.insert(pixels).second)
                << name.toStdString() << " looks like another icon at " << size;
        }
    }
}
