#include "widgets/VarnBevel.h"
#include "WidgetTestSupport.h"

#include <QHBoxLayout>
#include <gtest/gtest.h>

using namespace WidgetTest;

namespace {

const QColor kDark(200, 0, 0);   // the shadow colour
const QColor kLight(0, 200, 0);  // the highlight colour
const QColor kWindow(0, 0, 200); // the background

std::unique_ptr<TVarnBevel> MakeBevel(TBevelShape shape, TBevelStyle style, int l = 0, int t = 0,
                                      int r = 0, int b = 0) {
    auto bevel = std::make_unique<TVarnBevel>();
    QPalette palette = bevel->palette();
    palette.setColor(QPalette::Dark, kDark);
    palette.setColor(QPalette::Light, kLight);
    palette.setColor(QPalette::Window, kWindow);
    bevel->setPalette(palette);
    bevel->resize(20, 16);
    bevel->SetShape(shape);
    bevel->SetStyle(style);
    bevel->Margins().SetLeft(l);
    bevel->Margins().SetTop(t);
    bevel->Margins().SetRight(r);
    bevel->Margins().SetBottom(b);
    return bevel;
}

// Every pixel's colour letter: D dark, L light, . background, ? anything else.
std::vector<std::string> Rows(const QImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = Pixel(image, x, y);
            row += c == kDark ? 'D' : c == kLight ? 'L' : c == kWindow ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

int Count(const std::vector<std::string>& rows, char letter) {
    int count = 0;
    for (const auto& row : rows)
        count += static_cast<int>(std::count(row.begin(), row.end(), letter));
    return count;
}

} // namespace

TEST(Bevel, DefaultsAndNegativeMargins) {
    TVarnBevel bevel;
    EXPECT_EQ(bevel.size(), QSize(50, 50));
    EXPECT_EQ(bevel.Shape(), TBevelShape::bsBox);
    EXPECT_EQ(bevel.Style(), TBevelStyle::bsLowered);
    bevel.Margins().SetLeft(-4);
    bevel.Margins().SetTop(-1);
    bevel.Margins().SetRight(3);
    bevel.Margins().SetBottom(-7);
    EXPECT_EQ(bevel.Margins().Left(), 0);
    EXPECT_EQ(bevel.Margins().Top(), 0);
    EXPECT_EQ(bevel.Margins().Right(), 3);
    EXPECT_EQ(bevel.Margins().Bottom(), 0);
}

TEST(Bevel, LoweredBoxPutsShadowTopLeftAndLightBottomRight) {
    auto bevel = MakeBevel(TBevelShape::bsBox, TBevelStyle::bsLowered, 2, 3, 4, 1);
    const auto rows = Rows(Paint(*bevel));
    const int left = 2, top = 3, right = 20 - 1 - 4, bottom = 16 - 1 - 1;
    EXPECT_EQ(rows[top][left], 'D');
    EXPECT_EQ(rows[top][right - 1], 'D');
    EXPECT_EQ(rows[top][right], 'L'); // the light line owns the top-right corner
    EXPECT_EQ(rows[bottom][left], 'D');
    EXPECT_EQ(rows[bottom][left + 1], 'L');
    EXPECT_EQ(rows[bottom][right], 'L');
    EXPECT_EQ(rows[(top + bottom) / 2][left], 'D');
    EXPECT_EQ(rows[(top + bottom) / 2][right], 'L');
    // Inside and within the margins nothing is drawn.
    EXPECT_EQ(rows[top + 1][left + 1], '.');
    EXPECT_EQ(rows[top - 1][left], '.');
    EXPECT_EQ(rows[top][left - 1], '.');
    EXPECT_EQ(rows[top][right + 1], '.');
    EXPECT_EQ(rows[bottom + 1][left], '.');
    const int perimeter = 2 * (right - left) + 2 * (bottom - top);
    EXPECT_EQ(Count(rows, 'D') + Count(rows, 'L'), perimeter);
    EXPECT_EQ(Count(rows, '?'), 0);
}

TEST(Bevel, RaisedBoxSwapsTheColours) {
    auto bevel = MakeBevel(TBevelShape::bsBox, TBevelStyle::bsRaised);
    const auto rows = Rows(Paint(*bevel));
    EXPECT_EQ(rows[0][0], 'L');
    EXPECT_EQ(rows[15][19], 'D');
    EXPECT_EQ(rows[8][19], 'D');
}

TEST(Bevel, FrameIsEtched) {
    auto bevel = MakeBevel(TBevelShape::bsFrame, TBevelStyle::bsLowered);
    const auto rows = Rows(Paint(*bevel));
    EXPECT_EQ(rows[0][0], 'D');
    EXPECT_EQ(rows[0][18], 'D');
    EXPECT_EQ(rows[14][0], 'D');
    EXPECT_EQ(rows[1][1], 'L');
    EXPECT_EQ(rows[15][19], 'L');
    EXPECT_EQ(rows[8][19], 'L');
    EXPECT_EQ(rows[8][18], 'D'); // the dark rectangle's right side over the light one
    EXPECT_EQ(rows[8][2], '.');
}

TEST(Bevel, LinesRunAlongTheirSideWithinTheMargins) {
    {
        auto bevel = MakeBevel(TBevelShape::bsTopLine, TBevelStyle::bsLowered, 2, 1, 3, 0);
        const auto rows = Rows(Paint(*bevel));
        EXPECT_EQ(rows[1], std::string("..") + std::string(15, 'D') + "...");
        EXPECT_EQ(rows[2], std::string("..") + std::string(15, 'L') + "...");
        EXPECT_EQ(Count(rows, 'D') + Count(rows, 'L'), 30);
    }
    {
        auto bevel = MakeBevel(TBevelShape::bsBottomLine, TBevelStyle::bsRaised, 0, 0, 0, 2);
        const auto rows = Rows(Paint(*bevel));
        EXPECT_EQ(rows[12], std::string(20, 'L'));
        EXPECT_EQ(rows[13], std::string(20, 'D'));
        EXPECT_EQ(rows[14], std::string(20, '.'));
    }
    {
        auto bevel = MakeBevel(TBevelShape::bsLeftLine, TBevelStyle::bsLowered, 1, 2, 0, 3);
        const auto rows = Rows(Paint(*bevel));
        EXPECT_EQ(rows[2].substr(0, 4), ".DL.");
        EXPECT_EQ(rows[12].substr(0, 4), ".DL.");
        EXPECT_EQ(rows[13].substr(0, 4), "....");
        EXPECT_EQ(rows[1].substr(0, 4), "....");
    }
    {
        auto bevel = MakeBevel(TBevelShape::bsRightLine, TBevelStyle::bsLowered, 0, 0, 1, 0);
        const auto rows = Rows(Paint(*bevel));
        EXPECT_EQ(rows[0].substr(16), ".DL.");
        EXPECT_EQ(rows[15].substr(16), ".DL.");
    }
}

TEST(Bevel, SpacerIsInvisibleButKeepsItsRoom) {
    QWidget panel;
    auto* layout = new QHBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* spacer = new TVarnBevel(&panel);
    spacer->SetShape(TBevelShape::bsSpacer);
    spacer->setFixedWidth(8);
    QPalette palette = spacer->palette();
    palette.setColor(QPalette::Window, kWindow);
    palette.setColor(QPalette::Dark, kDark);
    palette.setColor(QPalette::Light, kLight);
    spacer->setPalette(palette);
    layout->addWidget(spacer);
    layout->addWidget(new QWidget(&panel));
    panel.resize(100, 30);
    panel.show();
    EXPECT_EQ(spacer->geometry(), QRect(0, 0, 8, 30));
    const auto rows = Rows(Paint(*spacer));
    EXPECT_EQ(Count(rows, '.'), 8 * 30);

    spacer->SetDesignMode(true); // a form editor outlines it
    EXPECT_LT(Count(Rows(Paint(*spacer)), '.'), 8 * 30);
}

TEST(Bevel, DesignModeDrawsShapesInBlack) {
    auto bevel = MakeBevel(TBevelShape::bsBox, TBevelStyle::bsLowered);
    bevel->SetDesignMode(true);
    const QImage image = Paint(*bevel);
    EXPECT_EQ(Pixel(image, 0, 0), QColor(Qt::black));
    EXPECT_EQ(Pixel(image, 19, 15), QColor(Qt::black));
}
