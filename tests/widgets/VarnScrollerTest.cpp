#include "widgets/VarnScroller.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

using namespace WidgetTest;

// Min and Max never pass each other and a set position is clamped, reported
// only when it changes. At Min the left arrow is drawn disabled and takes no
// click, at Max the right one; a press follows the mouse between the halves.
TEST(Scroller, RangePositionAndClicksStayWithinTheLimits) {
    TVarnScroller scroller;
    scroller.resize(80, 40);
    EXPECT_EQ(scroller.size(), QSize(26, 12));
    int clicks = 0;
    scroller.OnClick = [&clicks](QObject*) { ++clicks; };
    scroller.SetMin(1); // not below Max (0)
    EXPECT_EQ(scroller.Min(), 0);
    scroller.SetMax(0);
    scroller.SetMax(-3); // not above Min
    EXPECT_EQ(scroller.Max(), 0);
    scroller.SetMax(5);
    scroller.SetPosition(9);
    EXPECT_EQ(std::pair(scroller.Position(), clicks), std::pair(5, 1));
    scroller.SetPosition(7); // clamps to the same value: nothing changes
    EXPECT_EQ(clicks, 1);
    scroller.SetPosition(-4);
    EXPECT_EQ(std::pair(scroller.Position(), clicks), std::pair(0, 2));
    scroller.SetParams(0, 3, 2); // the owner's silent update
    EXPECT_EQ(std::pair(scroller.Position(), clicks), std::pair(2, 2));

    scroller.SetParams(0, 4, 0);
    scroller.SetChange(2);
    const QImage image = Paint(scroller);
    EXPECT_EQ(image.copy(0, 0, 13, 12),
              ScrollerArrowImage(TScrollerArrow::saLeft, TScrollerArrowState::sasDisabled)
                  .convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(image.copy(13, 0, 13, 12),
              ScrollerArrowImage(TScrollerArrow::saRight, TScrollerArrowState::sasNormal)
                  .convertToFormat(QImage::Format_RGB32));
    const auto clickAt = [&](int x) {
        Click(scroller, QPoint(x, 5));
        return scroller.Position();
    };
    EXPECT_EQ(
        (std::vector{clickAt(3), clickAt(20), clickAt(20), clickAt(20), clickAt(20), clickAt(0)}),
        (std::vector{0, 2, 4, 4, 4, 2}));

    Mouse(scroller, QEvent::MouseButtonPress, QPoint(20, 5));
    EXPECT_TRUE(scroller.PressedRight());
    Drag(scroller, QPoint(5, 5));
    EXPECT_FALSE(scroller.PressedRight());
    Drag(scroller, QPoint(25, 11));
    EXPECT_TRUE(scroller.PressedRight());
    Mouse(scroller, QEvent::MouseButtonRelease, QPoint(25, 11));
    EXPECT_FALSE(scroller.PressedRight());
    EXPECT_EQ(scroller.Position(), 4);
}

// Dark pixels in each column of the 12 rows: a raised frame has a dark bottom
// row and right column, a pressed one a dark top row and left column. The
// black triangle's columns of 1, 3, 5 and 7 pixels point outwards and move one
// pixel right when pressed; a disabled arrow is grey and has none.
TEST(Scroller, ArrowPicturesTellTheirStatesApart) {
    using A = TScrollerArrow;
    using S = TScrollerArrowState;
    using V = std::vector<int>;
    const auto darkColumns = [](A arrow, S state) {
        const QImage image = ScrollerArrowImage(arrow, state);
        std::vector<int> columns(image.width());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                columns[x] += Pixel(image, x, y).value() < 40;
        return std::pair(image.height(), columns);
    };
    const std::tuple<A, S, V> cases[] = {
        {A::saLeft, S::sasNormal, {1, 1, 1, 1, 2, 4, 6, 8, 1, 1, 1, 1, 12}},
        {A::saLeft, S::sasPressed, {12, 1, 1, 1, 1, 2, 4, 6, 8, 1, 1, 1, 1}},
        {A::saLeft, S::sasDisabled, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 12}},
        {A::saRight, S::sasNormal, {1, 1, 1, 1, 1, 8, 6, 4, 2, 1, 1, 1, 12}},
        {A::saRight, S::sasPressed, {12, 1, 1, 1, 1, 1, 8, 6, 4, 2, 1, 1, 1}},
    };
    for (const auto& [arrow, state, columns] : cases)
        EXPECT_EQ(darkColumns(arrow, state), std::pair(12, columns));
    EXPECT_EQ(darkColumns(A::saRight, S::sasDisabled), darkColumns(A::saLeft, S::sasDisabled));
}
