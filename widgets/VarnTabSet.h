#pragma once

#include "widgets/VarnImageList.h"
#include "widgets/VarnScroller.h"

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class TVarnTabSet;
class QPainter;

enum class TVarnTabSetFlatStyle { fsNoFlat, fsMiddleFlat, fsFullFlat };
enum class TVarnTabStyle { tsStandard, tsOwnerDraw };
enum class TVarnTabSetOrientation { toBottom, toTop };
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Colours and look of a tab set; every change repaints the owning tab set.
class TVarnTabSetOptions {
public:
    explicit TVarnTabSetOptions(std::function<void()> changed);

    QColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(const QColor& value) { Store(m_backgroundColor, value); }
    TVarnTabSetFlatStyle FlatStyle() const { return m_flatStyle; }
    void SetFlatStyle(TVarnTabSetFlatStyle value) { Store(m_flatStyle, value); }
    QColor SeparatorColor() const { return m_separatorColor; }
    void SetSeparatorColor(const QColor& value) { Store(m_separatorColor, value); }
    QColor UnSelectedColor() const { return m_unSelectedColor; }
    void SetUnSelectedColor(const QColor& value) { Store(m_unSelectedColor, value); }
    QColor LightColor() const { return m_lightColor; }
    void SetLightColor(const QColor& value) { Store(m_lightColor, value); }
    QColor HighlightColor() const { return m_highlightColor; }
    void SetHighlightColor(const QColor& value) { Store(m_highlightColor, value); }
    QColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(const QColor& value) { Store(m_shadowColor, value); }
    QColor DarkShadowColor() const { return m_darkShadowColor; }
    void SetDarkShadowColor(const QColor& value) { Store(m_darkShadowColor, value); }
    QColor FaceColor() const { return m_faceColor; }
    void SetFaceColor(const QColor& value) { Store(m_faceColor, value); }
    bool BoldSelectedTab() const { return m_boldSelectedTab; }
    void SetBoldSelectedTab(bool value) { Store(m_boldSelectedTab, value); }
    bool SeparatorOnSide() const { return m_separatorOnSide; }
    void SetSeparatorOnSide(bool value) { Store(m_separatorOnSide, value); }
    TBevelCut BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBevelCut value) { Store(m_borderStyle, value); }
    bool RoundedCorners() const { return m_roundedCorners; }
    void SetRoundedCorners(bool value) { Store(m_roundedCorners, value); }

private:
    template <typename T> void Store(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        if (m_changed)
            m_changed();
    }

    std::function<void()> m_changed;
    QColor m_backgroundColor;
    TVarnTabSetFlatStyle m_flatStyle = TVarnTabSetFlatStyle::fsMiddleFlat;
    QColor m_separatorColor;
    QColor m_unSelectedColor;
    QColor m_lightColor;
    QColor m_highlightColor;
    QColor m_shadowColor;
    QColor m_darkShadowColor;
    QColor m_faceColor;
    bool m_boldSelectedTab = true;
    bool m_separatorOnSide = true;
    TBevelCut m_borderStyle = TBevelCut::bvNone;
    bool m_roundedCorners = true;
};

// Distances of a tab set in pixels; every change repaints the owning tab set.
class TVarnTabSetMargins {
public:
    explicit TVarnTabSetMargins(std::function<void()> changed) : m_changed(std::move(changed)) {}

    int StartMargin() const { return m_startMargin; }
    void SetStartMargin(int value) { Store(m_startMargin, value); }
    int EndMargin() const { return m_endMargin; }
    void SetEndMargin(int value) { Store(m_endMargin, value); }
    int EdgeHeight() const { return m_edgeHeight; }
    void SetEdgeHeight(int value) { Store(m_edgeHeight, value); }
    int TextTopMargin() const { return m_textTopMargin; }
    void SetTextTopMargin(int value) { Store(m_textTopMargin, value); }
    int TextBottomMargin() const { return m_textBottomMargin; }
    void SetTextBottomMargin(int value) { Store(m_textBottomMargin, value); }
    int TextLeftMargin() const { return m_textLeftMargin; }
    void SetTextLeftMargin(int value) { Store(m_textLeftMargin, value); }
    int TextRightMargin() const { return m_textRightMargin; }
    void SetTextRightMargin(int value) { Store(m_textRightMargin, value); }
    int ImgLeftMargin() const { return m_imgLeftMargin; }
    void SetImgLeftMargin(int value) { Store(m_imgLeftMargin, value); }
    int ImgRightMargin() const { return m_imgRightMargin; }
    void SetImgRightMargin(int value) { Store(m_imgRightMargin, value); }
    int ImgTopMargin() const { return m_imgTopMargin; }
    void SetImgTopMargin(int value) { Store(m_imgTopMargin, value); }

private:
    void Store(int& field, int value) {
        if (field == value)
            return;
        field = value;
        if (m_changed)
            m_changed();
    }

    std::function<void()> m_changed;
    int m_startMargin = 5;
    int m_endMargin = 5;
    int m_edgeHeight = 1;
    int m_textTopMargin = 3;
    int m_textBottomMargin = 3;
    int m_textLeftMargin = 2;
    int m_textRightMargin = 0;
    int m_imgLeftMargin = 1;
    int m_imgRightMargin = 2;
    int m_imgTopMargin = 5;
};

// The captions of a tab set; every change keeps the set's selection pointing
// at the same caption (or a neighbour) and repaints it.
class TVarnTabList {
public:
    explicit TVarnTabList(TVarnTabSet& owner) : m_owner(owner) {}

    int Count() const { return static_cast<int>(m_captions.size()); }
    QString Strings(int index) const { return m_captions.value(index); }
    const QStringList& Captions() const { return m_captions; }
    int IndexOf(const QString& caption) const { return m_captions.indexOf(caption); }

    int Add(const QString& caption);
    // An index outside 0..Count is refused with std::out_of_range.
    void Insert(int index, const QString& caption);
    // An index outside 0..Count-1 is refused with std::out_of_range.
    void Delete(int index);
    void Clear();
    // Replaces caption `index` (std::out_of_range outside 0..Count-1).
    void Put(int index, const QString& caption);
    // Adds all captions with the owner's painting held off meanwhile.
    void AddStrings(const QStringList& captions);

private:
    TVarnTabSet& m_owner;
    QStringList m_captions;
};

// A self-drawn strip of tabs hanging from an edge band (or standing on it),
// the selected tab merging with the band, with arrow buttons when the tabs do
// not fit. The main window switches its parameter pages with one.
class TVarnTabSet : public QWidget {
    Q_OBJECT
public:
    // The room between two tab text areas: 4 pixels of tab edge on each side
    // and a one-pixel separator.
    static constexpr int TabSpacing = 9;

    // One laid-out tab: its text area's left edge and width in the strip
    // picture; hidden tabs keep a placeholder so entry i is tab FirstIndex + i.
    struct TTabPosition {
        int Start = 0;
        int Width = 0;
        bool Hidden = false;
    };

    explicit TVarnTabSet(QWidget* parent = nullptr);
    ~TVarnTabSet() override;

    TVarnTabSetOptions& Options() { return m_options; }
    const TVarnTabSetOptions& Options() const { return m_options; }
    TVarnTabSetMargins& Margins() { return m_margins; }
    const TVarnTabSetMargins& Margins() const { return m_margins; }

    TVarnTabList& Tabs() { return m_tabs; }
    const TVarnTabList& Tabs() const { return m_tabs; }
    // Copies the captions and selects the first one through SetTabIndex.
    void SetTabs(const QStringList& captions);

    const QStringList& Indexes() const { return m_indexes; }
    void SetIndexes(const QStringList& value);

    int TabIndex() const { return m_tabIndex; }
    // Throws std::out_of_range ("Tab index out of bounds") outside -1..Count-1,
    // leaving the selection as it was.
    void SetTabIndex(int value);

    int FirstIndex() const { return m_firstIndex; }
    // Values outside 0..Count-1 are ignored.
    void SetFirstIndex(int value);

    int VisibleTabs() const { return m_visibleTabs; }

    bool AutoScroll() const { return m_autoScroll; }
    void SetAutoScroll(bool value);
    TVarnTabStyle Style() const { return m_style; }
    void SetStyle(TVarnTabStyle value);
    int TabHeight() const { return m_tabHeightProperty; }
    void SetTabHeight(int value);
    TVarnTabSetOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TVarnTabSetOrientation value);
    bool ScrollChangeTab() const { return m_scrollChangeTab; }
    void SetScrollChangeTab(bool value);

    TVarnImageList* Images() const { return m_images; }
    void SetImages(TVarnImageList* value);
    TVarnImageList* HotImages() const { return m_hotImages; }
    void SetHotImages(TVarnImageList* value);

    const QStringList& DisabledTabs() const { return m_disabledTabs; }
    void SetDisabledTabs(const QStringList& value);
    const QStringList& TabHints() const { return m_tabHints; }
    void SetTabHints(const QStringList& value) { m_tabHints = value; }
    // The control's own hint, shown over tabs without a line in TabHints.
    QString Hint() const { return m_hint; }
    void SetHint(const QString& value);

    // Height of a tab at the last layout.
    int CurrentTabHeight() const { return m_tabHeight; }
    const std::vector<TTabPosition>& TabPositions() const { return m_positions; }
    TVarnScroller& Scroller() { return *m_scroller; }
    // Where the strip picture lies in the control (the border shifts it).
    QPoint StripOffset() const;
    // Tab under a point of the control, or -1.
    int TabAtPoint(const QPoint& pos) const;
    // Selects the tab whose caption has this accelerator; false when none does.
    bool SelectByAccelerator(const QKeySequence& key);

    std::function<void(QObject* Sender, int Index, int& TabWidth)> OnMeasureTab;
    // Declared for form compatibility; the control draws its tabs itself and never raises it.
    std::function<void(QObject* Sender, QPainter& TabCanvas, const QRect& R, int Index,
                       bool Selected)>
        OnDrawTab;
    std::function<void(QObject* Sender, int NewTab, bool& AllowChange)> OnChange;
    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender)> OnScrollClick;

    QSize sizeHint() const override { return {185, 21}; }

    // Called by the tab list after every change of the captions.
    void TabsChanged();
    // Sets the selection without asking anyone, as the tab list needs.
    void SetTabIndexDirect(int value);

signals:
    void Clicked();
    void ScrollClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool IsHidden(int index) const;
    QString DisplayCaption(int index) const;
    int CaptionWidth(int index) const;
    int BareWidth(int index) const;
    int ComputeTabHeight() const;
    int ImageIndexOf(int index) const;
    void LayoutTabs(int start, int stop);
    void FixTabPos();
    bool CanChange(int index);
    void Select(int index);
    void ScrollerClicked();
    void UpdateShortcuts();
    void Render(QPixmap& strip);
    void DrawSelectedTab(QPainter& painter, const TTabPosition& tab, int index, int top);
    void DrawUnselectedTab(QPainter& painter, const TTabPosition& tab, int entry, int index,
                           int top, int edgeY);
    void DrawCaption(QPainter& painter, const TTabPosition& tab, int index, int top, bool selected);

    TVarnTabSetOptions m_options;
    TVarnTabSetMargins m_margins;
    TVarnTabList m_tabs;
    QStringList m_indexes;
    int m_tabIndex = -1;
    int m_firstIndex = 0;
    int m_visibleTabs = 0;
    bool m_autoScroll = true;
    TVarnTabStyle m_style = TVarnTabStyle::tsStandard;
    int m_tabHeightProperty = 20;
    std::vector<TTabPosition> m_positions;
    int m_tabHeight = 0;
    TVarnScroller* m_scroller = nullptr;
    bool m_refit = false;
    QStringList m_disabledTabs;
    TVarnTabSetOrientation m_orientation = TVarnTabSetOrientation::toBottom;
    bool m_scrollChangeTab = false;
    QPointer<TVarnImageList> m_images;
    QPointer<TVarnImageList> m_hotImages;
    QStringList m_tabHints;
    QString m_hint;
    int m_hintTab = -1;
    std::vector<std::pair<int, QKeySequence>> m_shortcuts;
};
