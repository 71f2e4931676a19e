#include "widgets/VarnTabSet.h"
#include "WidgetTestSupport.h"

#include <QFontMetrics>
#include <QShortcutEvent>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace WidgetTest;

namespace {

const QColor kBackground(0x10, 0x20, 0x30);
const QColor kFace(200, 200, 200);
const QColor kSeparator(0, 0, 255);
const QColor kUnSelected(255, 255, 0);
const QColor kLight(0, 255, 0);
const QColor kHighlight(255, 255, 255);
const QColor kShadow(255, 0, 0);
const QColor kDarkShadow(0, 0, 0);

QStringList NumberedCaptions(int count) {
    QStringList captions;
    for (int i = 0; i < count; ++i)
        captions << QStringLiteral("Tab %1").arg(i, 2, 10, QLatin1Char('0'));
    return captions;
}

int BoldAdvance(const QString& text) {
    QFont bold = TestFont();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(text);
}

// A tab set with a fixed font and colours that tell every line apart, the
// events it raises recorded from the start.
class TabSetTest : public ::testing::Test {
protected:
    TVarnTabSet& Make(int width, int height, const QStringList& captions = {}) {
        m_tabSet = std::make_unique<TVarnTabSet>();
        m_tabSet->setFont(TestFont());
        TVarnTabSetOptions& options = m_tabSet->Options();
        options.SetBackgroundColor(kBackground);
        options.SetFaceColor(kFace);
        options.SetSeparatorColor(kSeparator);
        options.SetUnSelectedColor(kUnSelected);
        options.SetLightColor(kLight);
        options.SetHighlightColor(kHighlight);
        options.SetShadowColor(kShadow);
        options.SetDarkShadowColor(kDarkShadow);
        m_tabSet->resize(width, height);
        ClearLog();
        m_tabSet->OnChange = [this](QObject*, int newTab, bool& allowChange) {
            m_asked.push_back(newTab);
            allowChange = m_allow(newTab);
        };
        m_tabSet->OnClick = [this](QObject*) { ++m_clicks; };
        m_tabSet->OnScrollClick = [this](QObject*) { ++m_scrollClicks; };
        if (!captions.isEmpty())
            m_tabSet->SetTabs(captions);
        return *m_tabSet;
    }
    void ClearLog() {
        m_allow = [](int) { return true; };
        m_asked.clear();
        m_clicks = 0;
        m_scrollClicks = 0;
    }

    std::unique_ptr<TVarnTabSet> m_tabSet;
    std::vector<int> m_asked;
    int m_clicks = 0;
    int m_scrollClicks = 0;
    std::function<bool(int)> m_allow;
};

// Tab numbers as the letters of the captions A, B, C, D.
std::string Letters(const std::vector<int>& tabs) {
    std::string letters;
    for (int tab : tabs)
        letters += static_cast<char>('A' + tab);
    return letters;
}

QStringList Captions(const char* letters) {
    QStringList captions;
    for (const char* letter = letters; *letter != '\0'; ++letter)
        captions << QString(QChar(*letter));
    return captions;
}

struct TSelectedTab {
    int left;  // outer left edge: text start - 4
    int right; // outer right edge: text end + 4
    int top;
    int freeRow;
};

TSelectedTab SelectedTabOf(const TVarnTabSet& tabSet, QPoint offset = {}) {
    const auto& tab = tabSet.TabPositions()[tabSet.TabIndex() - tabSet.FirstIndex()];
    const int top = tabSet.Margins().EdgeHeight() - 1 + offset.y();
    return {tab.Start - 4 + offset.x(), tab.Start + tab.Width + 4 + offset.x(), top,
            top + tabSet.CurrentTabHeight() - 1};
}

} // namespace

// --- selection rules ---

// Adding captions selects the first without asking; a new list selects its
// first through the change test. Whatever is inserted or deleted, the
// selected caption stays selected; when it is the one deleted, the selection
// moves down, not below 0. An accelerator selects its tab.
TEST_F(TabSetTest, SelectionFollowsItsCaptionAndRefusesOutOfBounds) {
    auto& tabSet = Make(300, 21);
    EXPECT_EQ(tabSet.TabIndex(), -1);
    tabSet.Tabs().AddStrings(NumberedCaptions(4));
    EXPECT_EQ(tabSet.TabIndex(), 0);
    EXPECT_TRUE(tabSet.updatesEnabled()); // a bulk add turns them back on
    tabSet.Tabs().Clear();
    tabSet.Tabs().Add(QStringLiteral("A"));
    tabSet.Tabs().Add(QStringLiteral("B"));
    EXPECT_EQ(tabSet.TabIndex(), 0);
    EXPECT_TRUE(m_asked.empty());
    EXPECT_EQ(m_clicks, 0);
    tabSet.SetTabs({"A", "B", "C"});
    EXPECT_EQ(m_asked, std::vector<int>{0});
    EXPECT_EQ(m_clicks, 1);

    tabSet.SetTabIndex(1);
    ClearLog();
    for (int bad : {3, -2, 100})
        EXPECT_THROW(tabSet.SetTabIndex(bad), std::out_of_range) << bad;
    EXPECT_EQ(tabSet.TabIndex(), 1);
    EXPECT_TRUE(m_asked.empty());
    EXPECT_EQ(m_clicks, 0);
    EXPECT_THROW(tabSet.Tabs().Put(3, QStringLiteral("x")), std::out_of_range);
    EXPECT_THROW(tabSet.Tabs().Insert(4, QStringLiteral("x")), std::out_of_range);
    const auto selected = [&] { return tabSet.Tabs().Strings(tabSet.TabIndex()); };
    tabSet.Tabs().Insert(0, QStringLiteral("Z"));
    EXPECT_EQ(tabSet.TabIndex(), 2);
    tabSet.Tabs().Insert(2, QStringLiteral("Y")); // at the selected index
    EXPECT_EQ(selected(), QStringLiteral("B"));
    tabSet.Tabs().Insert(tabSet.Tabs().Count(), QStringLiteral("E"));
    EXPECT_EQ(selected(), QStringLiteral("B"));
    tabSet.Tabs().Delete(0);
    EXPECT_EQ(selected(), QStringLiteral("B"));
    tabSet.Tabs().Delete(tabSet.Tabs().Count() - 1); // after the selection
    EXPECT_EQ(selected(), QStringLiteral("B"));

    tabSet.SetTabs({"A", "B", "C"});
    tabSet.SetTabIndex(2);
    tabSet.Tabs().Delete(2);
    EXPECT_EQ(tabSet.TabIndex(), 1);
    tabSet.SetTabIndex(0);
    tabSet.Tabs().Delete(0); // not below 0
    EXPECT_EQ(tabSet.TabIndex(), 0);
    tabSet.Tabs().Delete(0);
    EXPECT_EQ(tabSet.TabIndex(), -1);
    EXPECT_EQ(tabSet.Tabs().Count(), 0);
    EXPECT_THROW(tabSet.Tabs().Delete(0), std::out_of_range);

    tabSet.SetTabs({"&Alpha", "&Beta", "Gamma"});
    tabSet.SetTabIndex(-1); // no selection passes the range check
    EXPECT_EQ(tabSet.TabIndex(), -1);
    EXPECT_TRUE(tabSet.SelectByAccelerator(QKeySequence(Qt::ALT | Qt::Key_B)));
    EXPECT_EQ(tabSet.TabIndex(), 1);
    EXPECT_FALSE(tabSet.SelectByAccelerator(QKeySequence(Qt::ALT | Qt::Key_G)));
    QShortcutEvent event(QKeySequence(Qt::ALT | Qt::Key_A), 0);
    QApplication::sendEvent(&tabSet, &event);
    EXPECT_EQ(tabSet.TabIndex(), 0);
    tabSet.Tabs().Clear();
    EXPECT_EQ(tabSet.TabIndex(), -1);
}

// A refused tab passes the choice on to the next shown tab, wrapping round,
// once; hidden tabs are passed over without asking. Tabs are named A to D.
TEST_F(TabSetTest, ARefusedOrHiddenTabPassesTheChoiceOnOnce) {
    const struct {
        const char* name;
        const char* hidden;
        int from;
        const char* refused;
        int to;
        int selected;
        const char* asked;
        int clicks;
    } cases[] = {
        {"a refusal wraps round to the first", "", 1, "D", 3, 0, "DA", 1},
        {"a second refusal keeps the selection", "", 0, "ABCD", 2, 0, "CD", 0},
        {"hidden tabs are passed over", "CD", 1, "", 2, 0, "A", 1},
        {"with every tab hidden nobody is asked", "ABCD", 0, "", 3, 0, "", 0},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        auto& tabSet = Make(300, 21, {"A", "B", "C", "D"});
        tabSet.SetTabIndex(item.from);
        tabSet.SetDisabledTabs(Captions(item.hidden));
        ClearLog();
        const QStringList refused = Captions(item.refused);
        m_allow = [&](int tab) { return !refused.contains(tabSet.Tabs().Strings(tab)); };
        tabSet.SetTabIndex(item.to);
        EXPECT_EQ(tabSet.TabIndex(), item.selected);
        EXPECT_EQ(Letters(m_asked), item.asked);
        EXPECT_EQ(m_clicks, item.clicks);
    }
}

// --- layout ---

// Twenty tabs in 220 pixels: the scroller shows at the right end, the tab
// area stops before it, the arrows scroll by one tab without selecting, and
// the first shown tab follows the selection. With ScrollChangeTab the arrows
// select instead, and show however few tabs there are.
TEST_F(TabSetTest, ManyTabsShowTheScrollerAndScrollByOneTab) {
    const int width = 220;
    auto& tabSet = Make(width, 24, NumberedCaptions(20));
    tabSet.show();
    Paint(tabSet);
    TVarnScroller& scroller = tabSet.Scroller();
    EXPECT_FALSE(scroller.isHidden());
    ASSERT_GT(tabSet.VisibleTabs(), 1);
    ASSERT_LT(tabSet.VisibleTabs(), 20);
    // The tab area ends at Width - EndMargin - (scroller width - 4).
    const int stop = width - 5 - (TVarnScroller::ScrollerWidth - 4);
    const auto& last = tabSet.TabPositions().back();
    const int afterLast = last.Start + last.Width + TVarnTabSet::TabSpacing;
    EXPECT_LE(afterLast, stop);
    const int next = tabSet.FirstIndex() + tabSet.VisibleTabs();
    EXPECT_GT(afterLast + BoldAdvance(tabSet.Tabs().Strings(next)) + 2 + TVarnTabSet::TabSpacing,
              stop);
    // Placed at the right end (no border: 2 pixels in), centred below the edge.
    EXPECT_EQ(scroller.geometry(),
              QRect(width - TVarnScroller::ScrollerWidth - 2, (24 - 2 - 12) / 2 + 2, 26, 12));
    EXPECT_EQ(scroller.Max(), 20 - tabSet.VisibleTabs());

    ClearLog();
    Click(scroller, QPoint(20, 6)); // right half
    EXPECT_EQ(tabSet.FirstIndex(), 1);
    Paint(tabSet);
    EXPECT_EQ(tabSet.TabPositions().front().Start, 5 + TVarnTabSet::TabSpacing);
    Click(scroller, QPoint(20, 6));
    Click(scroller, QPoint(3, 6)); // left half
    EXPECT_EQ(tabSet.FirstIndex(), 1);
    EXPECT_EQ(tabSet.TabIndex(), 0);
    EXPECT_EQ(m_scrollClicks, 3);
    // A press in one half released in the other does nothing.
    Mouse(scroller, QEvent::MouseButtonPress, QPoint(20, 6));
    Drag(scroller, QPoint(3, 6));
    Mouse(scroller, QEvent::MouseButtonRelease, QPoint(3, 6));
    EXPECT_EQ(tabSet.FirstIndex(), 1);

    tabSet.SetTabIndex(15);
    Paint(tabSet);
    EXPECT_LE(tabSet.FirstIndex(), 15);
    EXPECT_GT(tabSet.FirstIndex() + tabSet.VisibleTabs(), 15);
    EXPECT_GT(tabSet.FirstIndex(), 1);
    tabSet.SetTabIndex(0);
    EXPECT_EQ(tabSet.FirstIndex(), 0);

    // Values outside the tabs are ignored; deleting the shown tabs brings the
    // first shown one back into the list.
    tabSet.SetTabs(NumberedCaptions(5));
    tabSet.SetFirstIndex(4);
    tabSet.SetFirstIndex(5);
    tabSet.SetFirstIndex(-1);
    EXPECT_EQ(tabSet.FirstIndex(), 4);
    tabSet.Tabs().Delete(4);
    EXPECT_EQ(tabSet.FirstIndex(), 3);

    tabSet.SetTabs({"A", "B", "C"});
    tabSet.SetScrollChangeTab(true);
    Paint(tabSet);
    EXPECT_FALSE(scroller.isHidden());
    EXPECT_EQ(scroller.Max(), 2);
    Click(scroller, QPoint(20, 6));
    EXPECT_EQ(tabSet.TabIndex(), 1);
    Click(scroller, QPoint(20, 6));
    EXPECT_EQ(tabSet.TabIndex(), 2);
}

TEST_F(TabSetTest, WithoutAutoScrollTheScrollerStaysHiddenAndTheTabsKeepTheirRoom) {
    // Four tabs fit exactly into the full width, but not beside the scroller.
    const int advance = BoldAdvance(QStringLiteral("Tab 00")) + 2 + TVarnTabSet::TabSpacing;
    const int width = 5 + TVarnTabSet::TabSpacing + 4 * advance + 5;
    for (bool autoScroll : {false, true}) {
        auto& tabSet = Make(width, 24, NumberedCaptions(20));
        tabSet.SetAutoScroll(autoScroll);
        tabSet.show();
        Paint(tabSet);
        SCOPED_TRACE(autoScroll);
        EXPECT_EQ(tabSet.Scroller().isHidden(), !autoScroll);
        EXPECT_EQ(tabSet.VisibleTabs(), autoScroll ? 3 : 4);
    }
}

// Every tab has room for its bold caption, so that selecting moves nothing;
// a hidden tab takes no room; an owner-drawn set takes widths and height from
// its owner; an image adds its width and the gap after it.
TEST_F(TabSetTest, TabWidthsComeFromBoldCaptionsTheOwnerOrImages) {
    auto& tabSet = Make(400, 40, {"Wide caption", "ii", "Mmm"});
    Paint(tabSet);
    const auto before = tabSet.TabPositions();
    ASSERT_EQ(before.size(), 3u);
    tabSet.SetTabIndex(2);
    Paint(tabSet);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(before[i].Width, BoldAdvance(tabSet.Tabs().Strings(i)) + 2) << i;
        EXPECT_EQ(tabSet.TabPositions()[i].Start, before[i].Start) << i;
        EXPECT_EQ(tabSet.TabPositions()[i].Width, before[i].Width) << i;
    }
    tabSet.SetDisabledTabs({QStringLiteral("ii")});
    Paint(tabSet);
    const auto& positions = tabSet.TabPositions();
    EXPECT_TRUE(positions[1].Hidden);
    EXPECT_EQ(positions[2].Start,
              positions[0].Start + positions[0].Width + TVarnTabSet::TabSpacing);

    tabSet.SetStyle(TVarnTabStyle::tsOwnerDraw);
    tabSet.SetDisabledTabs({});
    tabSet.SetTabHeight(30);
    tabSet.OnMeasureTab = [](QObject*, int index, int& tabWidth) { tabWidth = 20 + 10 * index; };
    Paint(tabSet);
    EXPECT_EQ(tabSet.CurrentTabHeight(), 30);
    EXPECT_EQ(positions[0].Width, 20);
    EXPECT_EQ(positions[2].Width, 40);
    EXPECT_EQ(positions[2].Start, 5 + 9 + 20 + 9 + 30 + 9);
    tabSet.SetStyle(TVarnTabStyle::tsStandard);
    Paint(tabSet);
    EXPECT_EQ(tabSet.CurrentTabHeight(), 3 + 3 + QFontMetrics(TestFont()).height() + 3);

    // Images come from the indexes, the hot one for the selected tab (2).
    auto images = std::make_unique<TVarnImageList>(8, 8);
    QPixmap red(8, 8);
    red.fill(Qt::red);
    images->Add(red);
    TVarnImageList hotImages(8, 8);
    QPixmap green(8, 8);
    green.fill(Qt::green);
    hotImages.Add(green);
    tabSet.SetImages(images.get());
    tabSet.SetHotImages(&hotImages);
    tabSet.SetIndexes({QStringLiteral("0"), QStringLiteral("x"), QStringLiteral("0")});
    const QImage image = Paint(tabSet);
    EXPECT_EQ(positions[0].Width, before[0].Width + 8 + 4);
    const int imageTop = 0 + 5; // tab top (edge - 1) + ImgTopMargin
    auto imagePixel = [&](int tab) {
        return Pixel(image, positions[tab].Start + 1 + 3, imageTop + 3);
    };
    EXPECT_EQ(imagePixel(0), QColor(Qt::red));
    EXPECT_NE(imagePixel(1), QColor(Qt::red)); // "x" is no index
    EXPECT_EQ(imagePixel(2), QColor(Qt::green));
    images.reset(); // the tab set forgets a list that goes away
    Paint(tabSet);
    EXPECT_EQ(positions[0].Width, before[0].Width);
}

// --- mouse and painting ---

// A click hits a tab within three pixels of it, or four in the lower half; the
// hint follows the tab under the mouse, also beyond x = 255.
TEST_F(TabSetTest, ClicksAndHintsFindTheTabUnderTheMouseAcrossTheWholeWidth) {
    auto& tabSet = Make(700, 30, NumberedCaptions(12));
    tabSet.SetHint(QStringLiteral("own hint"));
    tabSet.SetTabHints({QStringLiteral("  first  "), QStringLiteral("second")});
    Paint(tabSet);
    const int height = tabSet.CurrentTabHeight();
    const auto& positions = tabSet.TabPositions();
    ASSERT_GE(positions.size(), 10u);
    const int start = positions[1].Start;
    const int end = positions[1].Start + positions[1].Width;
    const int upper = 1;
    const int lower = height - 1;
    auto clickFrom2 = [&](int x, int y) {
        tabSet.SetTabIndex(2);
        Click(tabSet, QPoint(x, y));
        return tabSet.TabIndex();
    };
    EXPECT_EQ(clickFrom2(start - 3, upper), 1);
    EXPECT_EQ(clickFrom2(start - 4, upper), 2); // in the gap
    EXPECT_EQ(clickFrom2(start - 4, lower), 1);
    EXPECT_EQ(clickFrom2(start - 5, lower), 0); // the previous tab's right tolerance
    EXPECT_EQ(clickFrom2(end + 3, upper), 1);
    EXPECT_EQ(clickFrom2(end + 4, lower), 1);
    EXPECT_EQ(clickFrom2(start + 2, height + 1), 2); // below the tab band

    Mouse(tabSet, QEvent::MouseMove, QPoint(positions[0].Start + 1, 5));
    EXPECT_EQ(tabSet.toolTip(), QStringLiteral("first"));
    Mouse(tabSet, QEvent::MouseMove, QPoint(positions[1].Start + 1, 5));
    EXPECT_EQ(tabSet.toolTip(), QStringLiteral("second"));
    // Tab 9 has no line of its own, so the own hint shows.
    ASSERT_GT(positions[9].Start, 255);
    EXPECT_EQ(tabSet.TabAtPoint(QPoint(positions[9].Start + 1, 5)), 9);
    Mouse(tabSet, QEvent::MouseMove, QPoint(positions[9].Start + 1, 5));
    EXPECT_EQ(tabSet.toolTip(), QStringLiteral("own hint"));
    Mouse(tabSet, QEvent::MouseMove, QPoint(positions[0].Start + 1, height + 1));
    EXPECT_EQ(tabSet.toolTip(), QString());
}

// The selected tab opens into the band; the flat style decides the inner
// lines, rounded corners leave the corner pixel out, and separators stand on
// the sides only when asked.
TEST_F(TabSetTest, SelectedTabOpensIntoTheBandInEveryStyle) {
    using F = TVarnTabSetFlatStyle;
    const struct {
        F flat;
        bool rounded;
        bool onSide;
    } cases[] = {
        {F::fsMiddleFlat, true, true}, {F::fsFullFlat, false, false}, {F::fsNoFlat, true, false}};
    for (const auto& item : cases) {
        SCOPED_TRACE(static_cast<int>(item.flat));
        auto& tabSet = Make(300, 30, {"Alpha", "Beta", "Gamma"});
        tabSet.Options().SetFlatStyle(item.flat);
        tabSet.Options().SetRoundedCorners(item.rounded);
        tabSet.Options().SetSeparatorOnSide(item.onSide);
        tabSet.SetTabIndex(1);
        const QImage image = Paint(tabSet);
        const auto& positions = tabSet.TabPositions();
        const TSelectedTab tab = SelectedTabOf(tabSet);
        const bool noFlat = item.flat == F::fsNoFlat;
        const int edgeY = 1;
        // fsNoFlat draws a second line along the band.
        EXPECT_EQ(Pixel(image, 2, 0), noFlat ? kShadow : kFace);
        EXPECT_EQ(Pixel(image, 2, edgeY), kDarkShadow);
        EXPECT_EQ(Pixel(image, 2, edgeY + 1), kBackground);
        EXPECT_EQ(Pixel(image, positions[0].Start + 1, edgeY), kDarkShadow);
        EXPECT_EQ(Pixel(image, positions[1].Start + 1, edgeY), kFace);
        EXPECT_EQ(Pixel(image, positions[1].Start + 1, edgeY + 1), kFace);

        const int row = tab.top + 3;
        const int middle = (tab.left + tab.right) / 2;
        EXPECT_EQ(Pixel(image, tab.left, row), kHighlight);
        EXPECT_EQ(Pixel(image, tab.right, row), kDarkShadow);
        EXPECT_EQ(Pixel(image, middle, tab.freeRow), kDarkShadow);
        EXPECT_EQ(Pixel(image, tab.left + 1, row), noFlat ? kLight : kFace);
        EXPECT_EQ(Pixel(image, tab.right - 1, row), noFlat ? kShadow : kFace);
        EXPECT_EQ(Pixel(image, middle, tab.freeRow - 1),
                  item.flat == F::fsFullFlat ? kFace : kShadow);

        EXPECT_EQ(Pixel(image, tab.left, tab.freeRow), item.rounded ? kFace : kDarkShadow);
        EXPECT_EQ(Pixel(image, tab.right, tab.freeRow), item.rounded ? kFace : kDarkShadow);
        EXPECT_EQ(Pixel(image, tab.left, tab.freeRow - 1), kHighlight);

        const int sepRow = edgeY + 4;
        const QColor side = item.onSide ? kSeparator : kBackground;
        EXPECT_EQ(Pixel(image, positions[0].Start - 5, sepRow), side);
        const auto& last = positions[2];
        EXPECT_EQ(Pixel(image, last.Start + last.Width + 5, sepRow), side);
    }
}

// The main window's strip: three tabs fit without scroller at their plain
// widths; a lowered border frames the strip, drawn one pixel to the right,
// with the hit area moved along.
TEST_F(TabSetTest, MainWindowStripFitsItsTabsInsideALoweredBorder) {
    const QStringList captions = {QStringLiteral("&Параметри"), QStringLiteral("&Коментар"),
                                  QStringLiteral("&Опції")};
    const int w = 251;
    const int h = 23;
    auto& tabSet = Make(w, h);
    tabSet.Options().SetBorderStyle(TBevelCut::bvLowered);
    tabSet.Options().SetBoldSelectedTab(false);
    tabSet.Margins().SetStartMargin(0);
    tabSet.Margins().SetEndMargin(0);
    tabSet.Margins().SetTextLeftMargin(0);
    tabSet.Margins().SetTextRightMargin(1);
    tabSet.SetTabs(captions);
    const QImage image = Paint(tabSet);
    ASSERT_EQ(tabSet.VisibleTabs(), 3);
    EXPECT_TRUE(tabSet.Scroller().isHidden());
    const QFontMetrics metrics(TestFont());
    const auto& positions = tabSet.TabPositions();
    int expectedStart = 0 + TVarnTabSet::TabSpacing; // StartMargin 0
    for (int i = 0; i < 3; ++i) {
        const QString shown = QString(captions[i]).remove(QLatin1Char('&'));
        EXPECT_EQ(positions[i].Start, expectedStart) << i;
        EXPECT_EQ(positions[i].Width, metrics.horizontalAdvance(shown) + 1) << i; // right margin 1
        expectedStart += positions[i].Width + TVarnTabSet::TabSpacing;
    }
    EXPECT_LE(expectedStart, w);

    EXPECT_EQ(Pixel(image, 0, h / 2), kDarkShadow);
    EXPECT_EQ(Pixel(image, w - 1, h / 2), kHighlight);
    EXPECT_EQ(Pixel(image, w / 2, h - 1), kHighlight);
    EXPECT_EQ(Pixel(image, 0, 0), kFace); // the band runs through to the ends
    EXPECT_EQ(tabSet.StripOffset(), QPoint(1, 0));
    const TSelectedTab tab = SelectedTabOf(tabSet, tabSet.StripOffset());
    EXPECT_EQ(Pixel(image, tab.left, tab.top + 3), kHighlight);
    EXPECT_EQ(Pixel(image, tab.left - 1, tab.top + 3), kBackground);

    const auto& second = positions[1];
    EXPECT_EQ(tabSet.TabAtPoint(QPoint(second.Start, 5)), -1);
    EXPECT_EQ(tabSet.TabAtPoint(QPoint(second.Start + 1, 5)), 1);
    EXPECT_EQ(tabSet.TabAtPoint(QPoint(second.Start + second.Width + 1, 5)), 1);
    Click(tabSet, QPoint(second.Start + second.Width + 1 + 3, 2));
    EXPECT_EQ(tabSet.TabIndex(), 1);

    tabSet.Options().SetBorderStyle(TBevelCut::bvRaised);
    const QImage raised = Paint(tabSet);
    EXPECT_EQ(Pixel(raised, 0, h / 2), kHighlight);
    EXPECT_EQ(Pixel(raised, w - 1, h / 2), kDarkShadow);
}

// Tabs on top stand on a bottom band, and only that band's rows hit.
TEST_F(TabSetTest, TopOrientationStandsTheTabsOnABottomBand) {
    auto& tabSet = Make(300, 30, {"Alpha", "Beta"});
    tabSet.SetOrientation(TVarnTabSetOrientation::toTop);
    tabSet.SetTabIndex(1);
    const QImage image = Paint(tabSet);
    const auto& positions = tabSet.TabPositions();
    const int edgeY = 30 - 1;
    EXPECT_EQ(Pixel(image, 2, edgeY), kHighlight);
    EXPECT_EQ(Pixel(image, positions[0].Start + 1, edgeY), kHighlight);
    EXPECT_EQ(Pixel(image, positions[1].Start + 1, edgeY), kFace);
    const int freeRow = edgeY + 1 - tabSet.CurrentTabHeight();
    EXPECT_EQ(Pixel(image, positions[1].Start + 1, freeRow), kHighlight);
    EXPECT_EQ(Pixel(image, positions[1].Start + 1, freeRow + 1), kLight); // fsMiddleFlat
    EXPECT_EQ(Pixel(image, positions[1].Start + 1, freeRow - 1), kBackground);

    tabSet.SetTabIndex(0);
    const int x = positions[1].Start + 2;
    Click(tabSet, QPoint(x, 2));
    EXPECT_EQ(tabSet.TabIndex(), 0);
    Click(tabSet, QPoint(x, 28));
    EXPECT_EQ(tabSet.TabIndex(), 1);
}
