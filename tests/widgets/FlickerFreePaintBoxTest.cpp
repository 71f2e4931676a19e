#include "widgets/FlickerFreePaintBox.h"
#include "WidgetTestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace WidgetTest;

TEST(FlickerFreePaintBox, PaintsThroughAPictureAndClicksInside) {
    TFlickerFreePaintBox box;
    box.resize(32, 32);
    box.SetColor(QColor(10, 20, 30));
    box.setFont(TestFont());
    QSize canvasSize;
    int fontPixels = 0;
    box.OnPaint = [&](QObject* sender, QPainter& canvas) {
        EXPECT_EQ(sender, &box);
        canvasSize = QSize(canvas.device()->width(), canvas.device()->height());
        fontPixels = canvas.font().pixelSize();
        canvas.fillRect(QRect(4, 4, 8, 8), Qt::red);
    };
    const QImage image = Paint(box);
    EXPECT_EQ(std::pair(canvasSize, fontPixels), std::pair(QSize(32, 32), 11));
    EXPECT_EQ(Pixels(image, {QPoint(5, 5), QPoint(20, 20)}),
              (std::vector<QColor>{Qt::red, QColor(10, 20, 30)}));
    // Nothing may erase the box before it paints.
    EXPECT_TRUE(box.testAttribute(Qt::WA_OpaquePaintEvent));

    // A click needs the press and the release inside.
    int clicks = 0;
    std::vector<QPoint> downs;
    box.OnClick = [&clicks](QObject*) { ++clicks; };
    box.OnMouseDown = [&downs](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        downs.emplace_back(x, y);
    };
    Click(box, QPoint(3, 4));
    Mouse(box, QEvent::MouseButtonPress, QPoint(3, 4));
    Mouse(box, QEvent::MouseButtonRelease, QPoint(40, 4));
    EXPECT_EQ(std::pair(clicks, downs), std::pair(1, std::vector<QPoint>{{3, 4}, {3, 4}}));
}
