#include "widgets/VarnTabSet.h"
#include "WidgetTestSupport.h"

#include <QFontMetrics>
#include <QShortcutEvent>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <tuple>

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

// A tab set with a fixed font and colours that tell every line apart, logging
// an asked tab as its letter (A for 0), a click as '!', a scroller click as '>'.
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
            m_log += static_cast<char>('A' + newTab);
            allowChange = m_allow(newTab);
        };
        m_tabSet->OnClick = [this](QObject*) { m_log += '!'; };
        m_tabSet->OnScrollClick = [this](QObject*) { m_log += '>'; };
        if (!captions.isEmpty())
            m_tabSet->SetTabs(captions);
        return *m_tabSet;
    }
    void ClearLog() {
        m_allow = [](int) { return true; };
        m_log.clear();
    }
    int ClickedTab(QWidget& target, const QPoint& pos) {
        Click(target, pos);
        return m_tabSet->TabIndex();
    }
    std::tuple<int, int, std::string> State() const {
        return {m_tabSet->TabIndex(), m_tabSet->FirstIndex(), m_log};
    }

    std::unique_ptr<TVarnTabSet> m_tabSet;
    std::string m_log;
    std::function<bool(int)> m_allow;
};

// The selected tab's outer edges: 4 pixels beyond its text, band to free side.
QRect SelectedTabOf(const TVarnTabSet& tabSet) {
    const auto& tab = tabSet.TabPositions()[tabSet.TabIndex() - tabSet.FirstIndex()];
    const int top = tabSet.Margins().EdgeHeight() - 1;
    return QRect(QPoint(tab.Start - 4, top),
                 QPoint(tab.Start + tab.Width + 4, top + tabSet.CurrentTabHeight() - 1))
        .translated(tabSet.StripOffset());
}

} // namespace

// Added captions select the first without asking, a new list through the change
// test; the selected caption stays selected, or when deleted, the one below.
TEST_F(TabSetTest, SelectionFollowsItsCaptionAndRefusesOutOfBounds) {
    auto& tabSet = Make(300, 21);
    TVarnTabList& tabs = tabSet.Tabs();
    EXPECT_EQ(tabSet.TabIndex(), -1);
    tabs.AddStrings(NumberedCaptions(4));
    EXPECT_EQ(tabSet.TabIndex(), 0);
    EXPECT_TRUE(tabSet.updatesEnabled()); // a bulk add turns them back on
    tabs.Clear();
    tabs.Add(QStringLiteral("A"));
    tabs.Add(QStringLiteral("B"));
    EXPECT_EQ(State(), std::tuple(0, 0, ""));
    tabSet.SetTabs({"A", "B", "C"});
    EXPECT_EQ(m_log, "A!");

    tabSet.SetTabIndex(1);
    ClearLog();
    for (int bad : {3, -2, 100})
        EXPECT_THROW(tabSet.SetTabIndex(bad), std::out_of_range) << bad;
    EXPECT_THROW(tabs.Put(3, QStringLiteral("x")), std::out_of_range);
    EXPECT_THROW(tabs.Insert(4, QStringLiteral("x")), std::out_of_range);
    EXPECT_EQ(State(), std::tuple(1, 0, ""));
    tabs.Insert(0, QStringLiteral("Z"));
    tabs.Insert(2, QStringLiteral("Y")); // at the selected index
    tabs.Insert(tabs.Count(), QStringLiteral("E"));
    tabs.Delete(0);
    tabs.Delete(tabs.Count() - 1); // after the selection
    EXPECT_EQ(tabs.Strings(tabSet.TabIndex()), QStringLiteral("B"));

    tabSet.SetTabs({"A", "B", "C"});
    tabSet.SetTabIndex(2);
    tabs.Delete(2);
    EXPECT_EQ(tabSet.TabIndex(), 1);
    tabSet.SetTabIndex(0);
    tabs.Delete(0); // not below 0
    EXPECT_EQ(tabSet.TabIndex(), 0);
    tabs.Delete(0);
    EXPECT_EQ(tabSet.TabIndex(), -1);
    EXPECT_THROW(tabs.Delete(0), std::out_of_range);

    tabSet.SetTabs({"&Alpha", "&Beta", "Gamma"});
    tabSet.SetTabIndex(-1); // no selection passes the range check
    EXPECT_TRUE(tabSet.SelectByAccelerator(QKeySequence(Qt::ALT | Qt::Key_B)));
    EXPECT_EQ(tabSet.TabIndex(), 1);
    EXPECT_FALSE(tabSet.SelectByAccelerator(QKeySequence(Qt::ALT | Qt::Key_G)));
    QShortcutEvent event(QKeySequence(Qt::ALT | Qt::Key_A), 0);
    QApplication::sendEvent(&tabSet, &event);
    EXPECT_EQ(tabSet.TabIndex(), 0);
    tabs.Clear();
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
        const char* log;
    } cases[] = {
        {"a refusal wraps round to the first", "", 1, "D", 3, 0, "DA!"},
        {"a second refusal keeps the selection", "", 0, "ABCD", 2, 0, "CD"},
        {"hidden tabs are passed over", "CD", 1, "", 2, 0, "A!"},
        {"with every tab hidden nobody is asked", "ABCD", 0, "", 3, 0, ""},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        auto& tabSet = Make(300, 21, {"A", "B", "C", "D"});
        tabSet.SetTabIndex(item.from);
        tabSet.SetDisabledTabs(QString(item.hidden).split("", Qt::SkipEmptyParts));
        ClearLog();
        const QStringList refused = QString(item.refused).split("", Qt::SkipEmptyParts);
        m_allow = [&](int tab) { return !refused.contains(tabSet.Tabs().Strings(tab)); };
        tabSet.SetTabIndex(item.to);
        EXPECT_EQ(State(), std::tuple(item.selected, 0, item.log));
    }
}

// The scroller takes the right end, scrolls by one tab without selecting, and
// the first shown tab follows the selection; with ScrollChangeTab it selects.
TEST_F(TabSetTest, ManyTabsShowTheScrollerAndScrollByOneTab) {
    const int width = 220;
    auto& tabSet = Make(width, 24, NumberedCaptions(20));
    tabSet.show();
    Paint(tabSet);
    TVarnScroller& scroller = tabSet.Scroller();
    ASSERT_GT(tabSet.VisibleTabs(), 1);
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
    // A press in one half released in the other does nothing.
    Mouse(scroller, QEvent::MouseButtonPress, QPoint(20, 6));
    Drag(scroller, QPoint(3, 6));
    Mouse(scroller, QEvent::MouseButtonRelease, QPoint(3, 6));
    EXPECT_EQ(State(), std::tuple(0, 1, ">>>"));

    tabSet.SetTabIndex(15);
    Paint(tabSet);
    const int first = tabSet.FirstIndex();
    EXPECT_TRUE(first > 1 && first <= 15 && 15 < first + tabSet.VisibleTabs()) << first;
    tabSet.SetTabIndex(0);
    EXPECT_EQ(tabSet.FirstIndex(), 0);

    // Values outside the tabs are ignored; a deleted first shown tab moves it down.
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
    EXPECT_EQ(std::pair(scroller.isHidden(), scroller.Max()), std::pair(false, 2));
    EXPECT_EQ((std::vector{ClickedTab(scroller, {20, 6}), ClickedTab(scroller, {20, 6})}),
              (std::vector{1, 2}));
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

// Room for the bold caption (selecting moves nothing), none for a hidden tab,
// the owner's widths when owner-drawn, an image's width and gap.
TEST_F(TabSetTest, TabWidthsComeFromBoldCaptionsTheOwnerOrImages) {
    auto& tabSet = Make(400, 40, {"Wide caption", "ii", "Mmm"});
    const auto& positions = tabSet.TabPositions();
    const auto spans = [&] {
        std::vector<std::pair<int, int>> starts;
        for (const auto& tab : positions)
            starts.emplace_back(tab.Start, tab.Width);
        return starts;
    };
    Paint(tabSet);
    const auto before = spans();
    ASSERT_EQ(before.size(), 3u);
    tabSet.SetTabIndex(2);
    Paint(tabSet);
    EXPECT_EQ(spans(), before);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(before[i].second, BoldAdvance(tabSet.Tabs().Strings(i)) + 2) << i;
    tabSet.SetDisabledTabs({QStringLiteral("ii")});
    Paint(tabSet);
    EXPECT_EQ(std::pair(positions[1].Hidden, positions[2].Start),
              std::pair(true, positions[0].Start + positions[0].Width + TVarnTabSet::TabSpacing));

    tabSet.SetStyle(TVarnTabStyle::tsOwnerDraw);
    tabSet.SetDisabledTabs({});
    tabSet.SetTabHeight(30);
    tabSet.OnMeasureTab = [](QObject*, int index, int& tabWidth) { tabWidth = 20 + 10 * index; };
    Paint(tabSet);
    EXPECT_EQ(std::tuple(tabSet.CurrentTabHeight(), spans()[0].second, spans()[2]),
              std::tuple(30, 20, std::pair(5 + 9 + 20 + 9 + 30 + 9, 40)));
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
    EXPECT_EQ(positions[0].Width, before[0].second + 8 + 4);
    // Inside each tab's image: tab top (edge - 1) + ImgTopMargin + 3.
    const int y = 0 + 5 + 3;
    EXPECT_EQ(Pixels(image, {{positions[0].Start + 4, y}, {positions[2].Start + 4, y}}),
              (std::vector<QColor>{Qt::red, Qt::green}));
    EXPECT_NE(Pixel(image, positions[1].Start + 4, y), QColor(Qt::red)); // "x" is no index
    images.reset(); // the tab set forgets a list that goes away
    Paint(tabSet);
    EXPECT_EQ(spans(), before);
}

// A click hits a tab within 3 pixels, 4 in the lower half; hints follow the
// mouse, also beyond x = 255.
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
    const int lower = height - 1;
    const auto clickFrom2 = [&](int x, int y) {
        tabSet.SetTabIndex(2);
        return ClickedTab(tabSet, {x, y});
    };
    // Tab 1's edges above and below, the gap, tab 0's tolerance, below the band.
    EXPECT_EQ((std::vector{clickFrom2(start - 3, 1), clickFrom2(start - 4, 1),
                           clickFrom2(start - 4, lower), clickFrom2(start - 5, lower),
                           clickFrom2(end + 3, 1), clickFrom2(end + 4, lower),
                           clickFrom2(start + 2, height + 1)}),
              (std::vector{1, 2, 1, 0, 1, 1, 2}));

    const auto hintAt = [&](int tab, int y) {
        Mouse(tabSet, QEvent::MouseMove, QPoint(positions[tab].Start + 1, y));
        return tabSet.toolTip();
    };
    // Tab 9 has no line of its own, so the own hint shows.
    ASSERT_GT(positions[9].Start, 255);
    EXPECT_EQ(tabSet.TabAtPoint(QPoint(positions[9].Start + 1, 5)), 9);
    EXPECT_EQ(QStringList({hintAt(0, 5), hintAt(1, 5), hintAt(9, 5), hintAt(0, height + 1)}),
              QStringList({"first", "second", "own hint", ""}));
}

// The selected tab opens into the band; the flat style decides the inner lines,
// rounded corners leave the corner out, side separators show when asked.
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
        const QRect tab = SelectedTabOf(tabSet);
        const bool noFlat = item.flat == F::fsNoFlat;
        // The band (fsNoFlat draws a second line), the selected tab's outer and
        // inner lines, its corners, the side separators.
        const int x0 = positions[0].Start;
        const int x1 = positions[1].Start + 1;
        const int row = tab.top() + 3;
        const int middle = tab.center().x();
        const int free = tab.bottom();
        const int end = positions[2].Start + positions[2].Width + 5;
        const QColor corner = item.rounded ? kFace : kDarkShadow;
        const QColor side = item.onSide ? kSeparator : kBackground;
        EXPECT_EQ(
            Pixels(image,
                   {QPoint(2, 0), QPoint(2, 1), QPoint(2, 2), QPoint(x0 + 1, 1), QPoint(x1, 1),
                    QPoint(x1, 2), QPoint(tab.left(), row), QPoint(tab.right(), row),
                    QPoint(middle, free), QPoint(tab.left() + 1, row), QPoint(tab.right() - 1, row),
                    QPoint(middle, free - 1), QPoint(tab.left(), free), QPoint(tab.right(), free),
                    QPoint(tab.left(), free - 1), QPoint(x0 - 5, 5), QPoint(end, 5)}),
            (std::vector{noFlat ? kShadow : kFace, kDarkShadow, kBackground, kDarkShadow, kFace,
                         kFace, kHighlight, kDarkShadow, kDarkShadow, noFlat ? kLight : kFace,
                         noFlat ? kShadow : kFace, item.flat == F::fsFullFlat ? kFace : kShadow,
                         corner, corner, kHighlight, side, side}));
    }
}

// The main window's strip: three tabs at plain widths, no scroller, framed by a
// lowered border that moves the picture and the hit area one pixel right.
TEST_F(TabSetTest, MainWindowStripFitsItsTabsInsideALoweredBorder) {
    const int w = 251;
    const int h = 23;
    auto& tabSet = Make(w, h);
    tabSet.Options().SetBorderStyle(TBevelCut::bvLowered);
    tabSet.Options().SetBoldSelectedTab(false);
    tabSet.Margins().SetStartMargin(0);
    tabSet.Margins().SetEndMargin(0);
    tabSet.Margins().SetTextLeftMargin(0);
    tabSet.Margins().SetTextRightMargin(1);
    tabSet.SetTabs(
        {QStringLiteral("&Параметри"), QStringLiteral("&Коментар"), QStringLiteral("&Опції")});
    const QImage image = Paint(tabSet);
    ASSERT_EQ(tabSet.VisibleTabs(), 3);
    EXPECT_TRUE(tabSet.Scroller().isHidden());
    const auto& positions = tabSet.TabPositions();
    int start = TVarnTabSet::TabSpacing; // no start margin
    for (int i = 0; i < 3; ++i) {
        const QString shown = tabSet.Tabs().Strings(i).remove(QLatin1Char('&'));
        const int width = QFontMetrics(TestFont()).horizontalAdvance(shown) + 1; // right margin 1
        EXPECT_EQ(std::pair(positions[i].Start, positions[i].Width), std::pair(start, width)) << i;
        start += width + TVarnTabSet::TabSpacing;
    }

    // The border's sides, the band to the ends, the selected tab's moved edge.
    EXPECT_EQ(tabSet.StripOffset(), QPoint(1, 0));
    const QRect tab = SelectedTabOf(tabSet);
    EXPECT_EQ(
        Pixels(image, {QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1), QPoint(0, 0),
                       QPoint(tab.left(), tab.top() + 3), QPoint(tab.left() - 1, tab.top() + 3)}),
        (std::vector{kDarkShadow, kHighlight, kHighlight, kFace, kHighlight, kBackground}));

    const auto& second = positions[1];
    EXPECT_EQ((std::vector{tabSet.TabAtPoint(QPoint(second.Start, 5)),
                           tabSet.TabAtPoint(QPoint(second.Start + 1, 5)),
                           tabSet.TabAtPoint(QPoint(second.Start + second.Width + 1, 5))}),
              (std::vector{-1, 1, 1}));
    EXPECT_EQ(ClickedTab(tabSet, {second.Start + second.Width + 1 + 3, 2}), 1);

    tabSet.Options().SetBorderStyle(TBevelCut::bvRaised);
    EXPECT_EQ(Pixels(Paint(tabSet), {{0, h / 2}, {w - 1, h / 2}}),
              (std::vector{kHighlight, kDarkShadow}));
}

// Tabs on top stand on a bottom band, and only that band's rows hit.
TEST_F(TabSetTest, TopOrientationStandsTheTabsOnABottomBand) {
    auto& tabSet = Make(300, 30, {"Alpha", "Beta"});
    tabSet.SetOrientation(TVarnTabSetOrientation::toTop);
    tabSet.SetTabIndex(1);
    const QImage image = Paint(tabSet);
    const auto& positions = tabSet.TabPositions();
    // The band, then the selected tab's column up: open band, free side's
    // outer and inner (fsMiddleFlat) lines, background beyond.
    const int x1 = positions[1].Start + 1;
    const int freeRow = 30 - tabSet.CurrentTabHeight();
    EXPECT_EQ(
        Pixels(image, {QPoint(2, 29), QPoint(positions[0].Start + 1, 29), QPoint(x1, 29),
                       QPoint(x1, freeRow), QPoint(x1, freeRow + 1), QPoint(x1, freeRow - 1)}),
        (std::vector{kHighlight, kHighlight, kFace, kHighlight, kLight, kBackground}));

    tabSet.SetTabIndex(0);
    EXPECT_EQ((std::vector{ClickedTab(tabSet, {x1, 2}), ClickedTab(tabSet, {x1, 28})}),
              (std::vector{0, 1}));
}
