#include "widgets/VarnBevel.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

using namespace WidgetTest;

namespace {

const QColor kDark(200, 0, 0);   // the shadow colour
const QColor kLight(0, 200, 0);  // the highlight colour
const QColor kWindow(0, 0, 200); // the background

void SetColours(TVarnBevel& bevel) {
    QPalette palette = bevel.palette();
    palette.setColor(QPalette::Dark, kDark);
    palette.setColor(QPalette::Light, kLight);
    palette.setColor(QPalette::Window, kWindow);
    bevel.setPalette(palette);
}

// Every pixel's colour letter, rows joined by '|': D dark, L light, .
// background, K black (the form editor's outline), ? anything else.
std::string Picture(const QImage& image) {
    std::string picture;
    for (int y = 0; y < image.height(); ++y) {
        picture += y == 0 ? "" : "|";
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = Pixel(image, x, y);
            picture += c == kDark               ? 'D'
                       : c == kLight            ? 'L'
                       : c == kWindow           ? '.'
                       : c == QColor(Qt::black) ? 'K'
                                                : '?';
        }
    }
    return picture;
}

} // namespace

// Each shape and style on a 10 x 7 bevel, pixel by pixel: which colour owns the corners, where the
// margins stop the drawing, nothing outside the lines.
TEST(Bevel, ShapesAndStylesDrawTheirLinesWithinTheMargins) {
    using Sh = TBevelShape;
    using St = TBevelStyle;
    const struct {
        const char* name;
        Sh shape;
        St style;
        int left, top, right, bottom;
        bool designMode;
        const char* picture;
    } cases[] = {
        {"lowered box", Sh::bsBox, St::bsLowered, 2, 1, 3, 1, false,
         "..........|..DDDDL...|..D...L...|..D...L...|..D...L...|..DLLLL...|.........."},
        {"raised box", Sh::bsBox, St::bsRaised, 0, 0, 0, 0, false,
         "LLLLLLLLLD|L........D|L........D|L........D|L........D|L........D|LDDDDDDDDD"},
        {"negative margins are none", Sh::bsBox, St::bsLowered, -4, -1, 3, -7, false,
         "DDDDDDL...|D.....L...|D.....L...|D.....L...|D.....L...|D.....L...|DLLLLLL..."},
        {"lowered frame", Sh::bsFrame, St::bsLowered, 0, 0, 0, 0, false,
         "DDDDDDDDD.|DLLLLLLLDL|DL......DL|DL......DL|DL......DL|DDDDDDDDDL|.LLLLLLLLL"},
        {"raised frame", Sh::bsFrame, St::bsRaised, 0, 0, 0, 0, false,
         "LLLLLLLLL.|LDDDDDDDLD|LD......LD|LD......LD|LD......LD|LLLLLLLLLD|.DDDDDDDDD"},
        {"top line", Sh::bsTopLine, St::bsLowered, 2, 1, 3, 0, false,
         "..........|..DDDDD...|..LLLLL...|..........|..........|..........|.........."},
        {"bottom line", Sh::bsBottomLine, St::bsRaised, 0, 0, 0, 2, false,
         "..........|..........|..........|LLLLLLLLLL|DDDDDDDDDD|..........|.........."},
        {"left line", Sh::bsLeftLine, St::bsLowered, 1, 2, 0, 3, false,
         "..........|..........|.DL.......|.DL.......|..........|..........|.........."},
        {"right line", Sh::bsRightLine, St::bsLowered, 0, 0, 1, 0, false,
         ".......DL.|.......DL.|.......DL.|.......DL.|.......DL.|.......DL.|.......DL."},
        {"spacer", Sh::bsSpacer, St::bsLowered, 0, 0, 0, 0, false,
         "..........|..........|..........|..........|..........|..........|.........."},
        {"box in a form editor", Sh::bsBox, St::bsLowered, 0, 0, 0, 0, true,
         "KKKKKKKKKK|K........K|K........K|K........K|K........K|K........K|KKKKKKKKKK"},
        // A form editor outlines the spacer with a dotted line drawn by XOR.
        {"spacer in a form editor", Sh::bsSpacer, St::bsLowered, 0, 0, 0, 0, true,
         ".?..?..?..|.........?|?.........|..........|.........?|?.........|..?..?..?."},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        TVarnBevel bevel;
        SetColours(bevel);
        bevel.resize(10, 7);
        bevel.SetShape(item.shape);
        bevel.SetStyle(item.style);
        bevel.Margins().SetLeft(item.left);
        bevel.Margins().SetTop(item.top);
        bevel.Margins().SetRight(item.right);
        bevel.Margins().SetBottom(item.bottom);
        bevel.SetDesignMode(item.designMode);
        EXPECT_EQ(Picture(Paint(bevel)), item.picture);
    }
}
