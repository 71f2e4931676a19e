#include "widgets/VarnScroller.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

using namespace WidgetTest;

namespace {

bool IsDark(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y)).value() < 40;
}

// How many dark pixels the face holds (the frame excluded), and their mean x.
std::pair<int, double> ArrowInFace(const QImage& image) {
    double sum = 0;
    int count = 0;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (IsDark(image, x, y)) {
                sum += x;
                ++count;
            }
    return {count, count ? sum / count : -1};
}

// The rows of the arrow's outermost dark column inside the frame: its tip.
int TipRows(const QImage& image, bool leftward) {
    for (int i = 2; i < 11; ++i) {
        const int x = leftward ? i : 12 - i;
        bool found = false;
        for (int y = 2; y < 10; ++y)
            found = found || IsDark(image, x, y);
        if (!found)
            continue;
        int rows = 0;
        for (int y = 1; y < 11; ++y)
            rows += IsDark(image, x, y);
        return rows;
    }
    return 0;
}

} // namespace

TEST(Scroller, FixedSizeRangeRulesAndPositionClamping) {
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
    EXPECT_EQ(scroller.Max(), 5);
    scroller.SetPosition(9);
    EXPECT_EQ(scroller.Position(), 5);
    EXPECT_EQ(clicks, 1);
    scroller.SetPosition(7); // clamps to the same value: nothing changes
    EXPECT_EQ(clicks, 1);
    scroller.SetPosition(-4);
    EXPECT_EQ(scroller.Position(), 0);
    EXPECT_EQ(clicks, 2);
    scroller.SetParams(0, 3, 2); // the owner's silent update
    EXPECT_EQ(scroller.Position(), 2);
    EXPECT_EQ(clicks, 2);
}

// At Min the left arrow is drawn disabled and takes no click.
TEST(Scroller, ClicksMoveByChangeOnlyWhereScrollingIsPossible) {
    TVarnScroller scroller;
    scroller.SetParams(0, 4, 0);
    scroller.SetChange(2);
    const QImage image = Paint(scroller);
    EXPECT_EQ(image.copy(0, 0, 13, 12),
              ScrollerArrowImage(TScrollerArrow::saLeft, TScrollerArrowState::sasDisabled)
                  .convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(image.copy(13, 0, 13, 12),
              ScrollerArrowImage(TScrollerArrow::saRight, TScrollerArrowState::sasNormal)
                  .convertToFormat(QImage::Format_RGB32));
    Click(scroller, QPoint(3, 5)); // left half at Min: disabled
    EXPECT_EQ(scroller.Position(), 0);
    Click(scroller, QPoint(20, 5));
    EXPECT_EQ(scroller.Position(), 2);
    Click(scroller, QPoint(20, 5));
    Click(scroller, QPoint(20, 5)); // clamped at Max
    EXPECT_EQ(scroller.Position(), 4);
    Click(scroller, QPoint(20, 5)); // right half at Max: disabled
    EXPECT_EQ(scroller.Position(), 4);
    Click(scroller, QPoint(0, 5));
    EXPECT_EQ(scroller.Position(), 2);
}

TEST(Scroller, PressedHalfFollowsTheMouse) {
    TVarnScroller scroller;
    scroller.SetParams(0, 4, 2);
    Mouse(scroller, QEvent::MouseButtonPress, QPoint(20, 5));
    EXPECT_TRUE(scroller.PressedRight());
    Drag(scroller, QPoint(5, 5));
    EXPECT_FALSE(scroller.PressedRight());
    Drag(scroller, QPoint(25, 11));
    EXPECT_TRUE(scroller.PressedRight());
    Mouse(scroller, QEvent::MouseButtonRelease, QPoint(25, 11));
    EXPECT_FALSE(scroller.PressedRight());
    EXPECT_EQ(scroller.Position(), 3);
}

TEST(Scroller, ArrowPicturesTellTheirStatesApart) {
    using A = TScrollerArrow;
    using S = TScrollerArrowState;
    for (A arrow : {A::saLeft, A::saRight}) {
        const QImage normal = ScrollerArrowImage(arrow, S::sasNormal);
        const QImage pressed = ScrollerArrowImage(arrow, S::sasPressed);
        const QImage disabled = ScrollerArrowImage(arrow, S::sasDisabled);
        for (const QImage* image : {&normal, &pressed, &disabled})
            EXPECT_EQ(image->size(), QSize(13, 12));
        EXPECT_NE(normal, pressed);
        EXPECT_NE(normal, disabled);
        // A disabled arrow is grey: its face holds no black triangle.
        EXPECT_EQ(ArrowInFace(disabled).first, 0);
        EXPECT_EQ(ArrowInFace(normal).first, 16); // columns of 1, 3, 5 and 7 pixels
        // A pressed arrow sits one pixel further right.
        EXPECT_NEAR(ArrowInFace(pressed).second - ArrowInFace(normal).second, 1.0, 0.01);
        // The tip points outwards, one pixel high.
        EXPECT_EQ(TipRows(normal, arrow == A::saLeft), 1);
    }
}
