#include "resources/Icons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <set>

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
            // At least 30% of the pixels are painted.
            const QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
            const auto painted =
                std::count_if(alpha.constBits(), alpha.constBits() + alpha.sizeInBytes(),
                              [](uchar value) { return value > 0; });
            EXPECT_GT(painted, 0.3 * size * size) << name.toStdString() << " at " << size;
            const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()),
                                    image.sizeInBytes());
            EXPECT_TRUE(seen.insert(pixels).second)
                << name.toStdString() << " looks like another icon at " << size;
        }
    }
}
