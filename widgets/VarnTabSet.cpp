#include "widgets/VarnTabSet.h"

#include "texts/Texts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QToolTip>
#include <algorithm>
#include <stdexcept>

namespace {

void HLine(QPainter& painter, int x1, int x2, int y, const QColor& color) {
    if (x2 >= x1)
        painter.fillRect(QRect(x1, y, x2 - x1 + 1, 1), color);
}

void VLine(QPainter& painter, int x, int y1, int y2, const QColor& color) {
    if (y2 >= y1)
        painter.fillRect(QRect(x, y1, 1, y2 - y1 + 1), color);
}

[[noreturn]] void ThrowOutOfBounds() {
    throw std::out_of_range(Texts::TabIndexOutOfBounds);
}

} // namespace

// ---------------------------------------------------------------------------

TVarnTabSetOptions::TVarnTabSetOptions(std::function<void()> changed)
    : m_changed(std::move(changed)) {
    // The classic 3-D system colours map onto the palette's button roles.
    const QPalette palette = QGuiApplication::palette();
    m_backgroundColor = palette.color(QPalette::Dark);
    m_separatorColor = palette.color(QPalette::Button);
    m_unSelectedColor = palette.color(QPalette::Light);
    m_lightColor = palette.color(QPalette::Midlight);
    m_highlightColor = palette.color(QPalette::Light);
    m_shadowColor = palette.color(QPalette::Dark);
    m_darkShadowColor = palette.color(QPalette::Shadow);
    m_faceColor = palette.color(QPalette::Button);
}

// ---------------------------------------------------------------------------

int TVarnTabList::Add(const QString& caption) {
    Insert(Count(), caption);
    return Count() - 1;
}

void TVarnTabList::Insert(int index, const QString& caption) {
    if (index < 0 || index > Count())
        ThrowOutOfBounds();
    m_captions.insert(index, caption);
    const int selected = m_owner.TabIndex();
    if (selected == -1)
        m_owner.SetTabIndexDirect(0);
    else if (index <= selected)
        m_owner.SetTabIndexDirect(selected + 1);
    m_owner.TabsChanged();
}

void TVarnTabList::Delete(int index) {
    if (index < 0 || index >= Count())
        ThrowOutOfBounds();
    m_captions.removeAt(index);
    const int selected = m_owner.TabIndex();
    if (m_captions.isEmpty())
        m_owner.SetTabIndexDirect(-1);
    else if (index <= selected)
        m_owner.SetTabIndexDirect(std::max(0, selected - 1));
    m_owner.TabsChanged();
}

void TVarnTabList::Clear() {
    m_captions.clear();
    m_owner.SetTabIndexDirect(-1);
    m_owner.TabsChanged();
}

void TVarnTabList::Put(int index, const QString& caption) {
    if (index < 0 || index >= Count())
        ThrowOutOfBounds();
    m_captions[index] = caption;
    m_owner.TabsChanged();
}

void TVarnTabList::AddStrings(const QStringList& captions) {
    const bool updatesWereEnabled = m_owner.updatesEnabled();
    m_owner.setUpdatesEnabled(false);
    for (const QString& caption : captions)
        Add(caption);
    m_owner.setUpdatesEnabled(updatesWereEnabled);
    m_owner.TabsChanged();
}

// ---------------------------------------------------------------------------

TVarnTabSet::TVarnTabSet(QWidget* parent)
    : QWidget(parent), m_options([this] { update(); }), m_margins([this] { update(); }),
      m_tabs(*this) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    resize(sizeHint());
    m_scroller = new TVarnScroller(this);
    m_scroller->hide();
    m_scroller->OnClick = [this](QObject*) { ScrollerClicked(); };
    m_tabHeight = ComputeTabHeight();
}

TVarnTabSet::~TVarnTabSet() {
    // The base class destroys the scroller after this object's members are
    // gone; it must not call back into them on its way out.
    m_scroller->OnClick = nullptr;
}

void TVarnTabSet::SetTabs(const QStringList& captions) {
    m_tabs.Clear();
    m_tabs.AddStrings(captions);
    m_tabIndex = -1;
    if (m_tabs.Count() > 0)
        SetTabIndex(0);
    else
        update();
}

void TVarnTabSet::SetIndexes(const QStringList& value) {
    m_indexes = value;
    update();
}

void TVarnTabSet::SetTabIndex(int value) {
    if (value == m_tabIndex)
        return;
    if (value < -1 || value >= m_tabs.Count())
        ThrowOutOfBounds();
    if (value == -1) {
        // Clearing the selection asks nobody: there is no tab to veto.
        m_tabIndex = -1;
        update();
        return;
    }
    if (CanChange(value)) {
        Select(value);
        return;
    }
    // Only the first tab after the refused one that is not hidden gets a second
    // chance; a veto there leaves the selection where it was.
    const int count = m_tabs.Count();
    for (int step = 1; step < count; ++step) {
        const int candidate = (value + step) % count;
        if (IsHidden(candidate))
            continue;
        if (candidate != m_tabIndex && CanChange(candidate))
            Select(candidate);
        return;
    }
}

void TVarnTabSet::SetTabIndexDirect(int value) {
    m_tabIndex = value;
    update();
}

void TVarnTabSet::SetFirstIndex(int value) {
    if (value < 0 || value >= m_tabs.Count())
        return;
    m_firstIndex = value;
    update();
}

void TVarnTabSet::SetAutoScroll(bool value) {
    m_autoScroll = value;
    m_scroller->hide();
    update();
}

void TVarnTabSet::SetStyle(TVarnTabStyle value) {
    m_style = value;
    update();
}

void TVarnTabSet::SetTabHeight(int value) {
    m_tabHeightProperty = value;
    m_tabHeight = value;
    update();
}

void TVarnTabSet::SetOrientation(TVarnTabSetOrientation value) {
    m_orientation = value;
    update();
}

void TVarnTabSet::SetScrollChangeTab(bool value) {
    m_scrollChangeTab = value;
    update();
}

void TVarnTabSet::SetImages(TVarnImageList* value) {
    if (m_images)
        disconnect(m_images, nullptr, this, nullptr);
    m_images = value;
    if (value)
        connect(value, &QObject::destroyed, this, qOverload<>(&QWidget::update));
    update();
}

void TVarnTabSet::SetHotImages(TVarnImageList* value) {
    if (m_hotImages)
        disconnect(m_hotImages, nullptr, this, nullptr);
    m_hotImages = value;
    if (value)
        connect(value, &QObject::destroyed, this, qOverload<>(&QWidget::update));
    update();
}

void TVarnTabSet::SetDisabledTabs(const QStringList& value) {
    m_disabledTabs = value;
    update();
}

void TVarnTabSet::SetHint(const QString& value) {
    m_hint = value;
    if (m_tabHints.isEmpty())
        setToolTip(value);
}

void TVarnTabSet::TabsChanged() {
    // A deletion may leave the first shown tab past the end; the strip would
    // then show nothing at all.
    const int count = m_tabs.Count();
    m_firstIndex = count == 0 ? 0 : std::min(m_firstIndex, count - 1);
    UpdateShortcuts();
    update();
}

bool TVarnTabSet::IsHidden(int index) const {
    return m_disabledTabs.contains(m_tabs.Strings(index));
}

QString TVarnTabSet::DisplayCaption(int index) const {
    // "&" marks the accelerator and is not shown; "&&" shows one "&".
    const QString caption = m_tabs.Strings(index);
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        shown.append(caption.at(i));
    }
    return shown;
}

int TVarnTabSet::BareWidth(int index) const {
    // Bold for every tab while the selected one is bold, so that moving the
    // selection never moves the tabs.
    QFont measureFont = font();
    measureFont.setBold(m_options.BoldSelectedTab());
    int width = QFontMetrics(measureFont).horizontalAdvance(DisplayCaption(index));
    if (m_style == TVarnTabStyle::tsOwnerDraw && OnMeasureTab)
        OnMeasureTab(const_cast<TVarnTabSet*>(this), index, width);
    return width;
}

int TVarnTabSet::CaptionWidth(int index) const {
    QFont measureFont = font();
    measureFont.setBold(m_options.BoldSelectedTab());
    int width = QFontMetrics(measureFont).horizontalAdvance(DisplayCaption(index)) +
                m_margins.TextLeftMargin() + m_margins.TextRightMargin();
    if (m_style == TVarnTabStyle::tsOwnerDraw && OnMeasureTab)
        OnMeasureTab(const_cast<TVarnTabSet*>(this), index, width);
    if (m_images)
        width += m_images->Width() + 4;
    return width;
}

int TVarnTabSet::ComputeTabHeight() const {
    if (m_style == TVarnTabStyle::tsOwnerDraw)
        return m_tabHeightProperty;
    return m_margins.TextTopMargin() + m_margins.TextBottomMargin() +
           QFontMetrics(font()).height() + 3;
}

int TVarnTabSet::ImageIndexOf(int index) const {
    bool ok = false;
    const int imageIndex = m_indexes.value(index).trimmed().toInt(&ok);
    return ok ? imageIndex : -1;
}

void TVarnTabSet::LayoutTabs(int start, int stop) {
    m_positions.clear();
    const int count = m_tabs.Count();
    int x = start;
    for (int i = m_firstIndex; x < stop && i < count; ++i) {
        if (IsHidden(i)) {
            m_positions.push_back({x, 0, true});
            continue;
        }
        const int width = CaptionWidth(i);
        const TTabPosition position{x, width, false};
        x += width + TabSpacing;
        if (x > stop)
            break;
        m_positions.push_back(position);
    }
    m_visibleTabs = static_cast<int>(m_positions.size());
}

void TVarnTabSet::FixTabPos() {
    const int count = m_tabs.Count();
    if (count == 0 || m_tabIndex < 0)
        return;
    if (m_tabIndex < m_firstIndex) {
        m_firstIndex = m_tabIndex;
        return;
    }
    if (m_tabIndex <= m_firstIndex + m_visibleTabs - 1)
        return;
    const int start = m_margins.StartMargin() + TabSpacing;
    int right = width() - m_margins.EndMargin();
    if (m_autoScroll && count > m_visibleTabs + 1)
        right -= TVarnScroller::ScrollerWidth + 4;
    int first = m_tabIndex;
    int x = start;
    for (int i = m_tabIndex; i >= 0; --i) {
        if (!IsHidden(i)) {
            x += BareWidth(i) + TabSpacing;
            if (x > right)
                break;
        }
        first = i;
    }
    m_firstIndex = first;
}

bool TVarnTabSet::CanChange(int index) {
    if (IsHidden(index))
        return false;
    bool allowChange = true;
    if (OnChange)
        OnChange(this, index, allowChange);
    return allowChange;
}

void TVarnTabSet::Select(int index) {
    m_tabIndex = index;
    FixTabPos();
    if (OnClick)
        OnClick(this);
    emit Clicked();
    update();
}

void TVarnTabSet::ScrollerClicked() {
    const int position = m_scroller->Position();
    SetFirstIndex(position);
    if (OnScrollClick)
        OnScrollClick(this);
    emit ScrollClicked();
    if (m_scrollChangeTab && position >= 0 && position < m_tabs.Count())
        SetTabIndex(position);
}

void TVarnTabSet::UpdateShortcuts() {
    for (const auto& shortcut : m_shortcuts)
        releaseShortcut(shortcut.first);
    m_shortcuts.clear();
    for (const QString& caption : m_tabs.Captions()) {
        const QKeySequence key = QKeySequence::mnemonic(caption);
        if (!key.isEmpty())
            m_shortcuts.emplace_back(grabShortcut(key, Qt::WindowShortcut), key);
    }
}

bool TVarnTabSet::SelectByAccelerator(const QKeySequence& key) {
    for (int i = 0; i < m_tabs.Count(); ++i) {
        if (QKeySequence::mnemonic(m_tabs.Strings(i)) == key) {
            if (i != m_tabIndex)
                SetTabIndex(i);
            return true;
        }
    }
    return false;
}

bool TVarnTabSet::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcutEvent = static_cast<QShortcutEvent*>(event);
        if (SelectByAccelerator(shortcutEvent->key()))
            return true;
    }
    return QWidget::event(event);
}

QPoint TVarnTabSet::StripOffset() const {
    const TBevelCut border = m_options.BorderStyle();
    if (border == TBevelCut::bvLowered || border == TBevelCut::bvRaised)
        return m_orientation == TVarnTabSetOrientation::toBottom ? QPoint(1, 0) : QPoint(1, 1);
    return {0, 0};
}

int TVarnTabSet::TabAtPoint(const QPoint& pos) const {
    const int y = pos.y();
    if (y < 0 || y > height())
        return -1;
    const bool inBand = m_orientation == TVarnTabSetOrientation::toBottom
                            ? y <= m_tabHeight
                            : y >= height() - m_tabHeight;
    if (!inBand)
        return -1;
    // Positions are measured in the strip picture, which a border shifts right.
    const int x = pos.x() - StripOffset().x();
    for (std::size_t i = 0; i < m_positions.size(); ++i) {
        const TTabPosition& tab = m_positions[i];
        if (!tab.Hidden && x - tab.Start >= 0 && x - tab.Start <= tab.Width)
            return m_firstIndex + static_cast<int>(i);
    }
    return -1;
}

void TVarnTabSet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int count = m_tabs.Count();
    if (count >= 2) {
        const int stop = width() - m_margins.EndMargin();
        int x = m_margins.StartMargin() + TabSpacing;
        int fitting = 0;
        for (int i = 0; i < count; ++i) {
            if (!IsHidden(i)) {
                x += BareWidth(i) + TabSpacing;
                if (x > stop)
                    break;
            }
            ++fitting;
        }
        if (m_tabIndex == count || fitting > m_visibleTabs || fitting == count)
            m_firstIndex = count - fitting;
    }
    m_refit = true;
    update();
}

void TVarnTabSet::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        const bool toBottom = m_orientation == TVarnTabSetOrientation::toBottom;
        const int bandY = toBottom ? pos.y() : pos.y() - (height() - m_tabHeight);
        if (bandY >= 0 && bandY <= m_tabHeight && pos.y() <= height()) {
            // A click just beside a caption still selects it: 3 pixels of
            // slack in the upper half of the band, 4 in the lower half.
            const bool upperHalf =
                pos.y() < (toBottom ? 0 : height() - m_tabHeight) + m_tabHeight / 2;
            const int tolerance = upperHalf ? 3 : 4;
            const int x = pos.x() - StripOffset().x();
            for (std::size_t i = 0; i < m_positions.size(); ++i) {
                const TTabPosition& tab = m_positions[i];
                if (tab.Hidden)
                    continue;
                if (tab.Start - tolerance <= x && x <= tab.Start + tab.Width + tolerance) {
                    SetTabIndex(m_firstIndex + static_cast<int>(i));
                    break;
                }
            }
        }
    }
    QWidget::mousePressEvent(event);
}

void TVarnTabSet::mouseMoveEvent(QMouseEvent* event) {
    const int tab = TabAtPoint(event->position().toPoint());
    if (tab != m_hintTab) {
        m_hintTab = tab;
        if (!m_tabHints.isEmpty()) {
            QToolTip::hideText();
            if (tab < 0)
                setToolTip(QString());
            else if (tab < m_tabHints.size())
                setToolTip(m_tabHints.at(tab).trimmed());
            else
                setToolTip(m_hint);
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TVarnTabSet::paintEvent(QPaintEvent*) {
    const TBevelCut border = m_options.BorderStyle();
    const bool framed = border == TBevelCut::bvLowered || border == TBevelCut::bvRaised;
    const QSize stripSize = border == TBevelCut::bvNone ? size() : size() - QSize(2, 1);
    QPainter painter(this);
    if (border != TBevelCut::bvNone)
        painter.fillRect(rect(), m_options.FaceColor());
    if (framed) {
        const int edge = m_margins.EdgeHeight();
        const QRect frame = m_orientation == TVarnTabSetOrientation::toBottom
                                ? QRect(0, edge, width(), height() - edge)
                                : QRect(0, 0, width(), height() - edge);
        const QColor topLeft = border == TBevelCut::bvLowered ? m_options.DarkShadowColor()
                                                              : m_options.HighlightColor();
        const QColor bottomRight = border == TBevelCut::bvLowered ? m_options.HighlightColor()
                                                                  : m_options.DarkShadowColor();
        VLine(painter, frame.left(), frame.top(), frame.bottom(), topLeft);
        HLine(painter, frame.left(), frame.right() - 1, frame.top(), topLeft);
        VLine(painter, frame.right(), frame.top(), frame.bottom(), bottomRight);
        HLine(painter, frame.left() + 1, frame.right(), frame.bottom(), bottomRight);
    }
    if (stripSize.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap strip(stripSize * ratio);
    strip.setDevicePixelRatio(ratio);
    Render(strip);
    painter.drawPixmap(StripOffset(), strip);
}

void TVarnTabSet::Render(QPixmap& strip) {
    m_tabHeight = ComputeTabHeight();
    const int edge = m_margins.EdgeHeight();
    const TBevelCut border = m_options.BorderStyle();
    const bool framed = border == TBevelCut::bvLowered || border == TBevelCut::bvRaised;
    const int count = m_tabs.Count();

    const int scrollerLeft = width() - TVarnScroller::ScrollerWidth - (framed ? 4 : 2);
    const int scrollerTop = (height() - (edge + 1) - TVarnScroller::ArrowHeight) / 2 + edge + 1;
    m_scroller->move(scrollerLeft, scrollerTop);
    m_scroller->SetBackgroundColor(m_options.BackgroundColor());

    const int start = m_margins.StartMargin() + TabSpacing;
    int stop = width() - m_margins.EndMargin();
    LayoutTabs(start, stop);
    bool scrollerShown = !m_scroller->isHidden();
    if (m_scrollChangeTab) {
        scrollerShown = true;
    } else if (m_autoScroll) {
        scrollerShown = m_visibleTabs < count;
        if (scrollerShown) {
            stop -= TVarnScroller::ScrollerWidth - 4;
            LayoutTabs(start, stop);
        }
    } else if (m_visibleTabs >= count) {
        scrollerShown = false;
    }
    if (m_refit) {
        FixTabPos();
        LayoutTabs(start, stop);
        m_refit = false;
    }
    if (m_scrollChangeTab)
        m_scroller->SetParams(0, count - 1, m_firstIndex);
    else if (m_autoScroll && scrollerShown)
        m_scroller->SetParams(0, count - m_visibleTabs, m_firstIndex);
    if (scrollerShown == m_scroller->isHidden())
        m_scroller->setVisible(scrollerShown);

    const QSize size = strip.deviceIndependentSize().toSize();
    const int stripHeight = size.height();
    QPainter painter(&strip);
    painter.setFont(font());
    painter.fillRect(QRect(QPoint(0, 0), size), m_options.BackgroundColor());
    const bool toBottom = m_orientation == TVarnTabSetOrientation::toBottom;
    const bool noFlat = m_options.FlatStyle() == TVarnTabSetFlatStyle::fsNoFlat;
    int edgeY = 0;
    if (toBottom) {
        painter.fillRect(QRect(0, 0, size.width(), edge), m_options.FaceColor());
        edgeY = edge;
        HLine(painter, 0, size.width() - 1, edgeY, m_options.DarkShadowColor());
        if (noFlat)
            HLine(painter, 0, size.width() - 1, edge - 1, m_options.ShadowColor());
    } else {
        painter.fillRect(QRect(0, stripHeight - edge, size.width(), edge), m_options.FaceColor());
        edgeY = stripHeight - edge;
        HLine(painter, 0, size.width() - 1, edgeY, m_options.HighlightColor());
        if (noFlat)
            HLine(painter, 0, size.width() - 1, edgeY + 1, m_options.LightColor());
    }
    const int top = toBottom ? edge - 1 : edgeY + 1 - m_tabHeight;

    // Unselected tabs first: their separators sit on the selected tab's edges,
    // which must win.
    int selectedEntry = -1;
    for (std::size_t i = 0; i < m_positions.size(); ++i) {
        const TTabPosition& tab = m_positions[i];
        const int index = m_firstIndex + static_cast<int>(i);
        if (tab.Hidden)
            continue;
        if (index == m_tabIndex)
            selectedEntry = static_cast<int>(i);
        else
            DrawUnselectedTab(painter, tab, static_cast<int>(i), index, top, edgeY);
    }
    if (selectedEntry >= 0)
        DrawSelectedTab(painter, m_positions[selectedEntry], m_firstIndex + selectedEntry, top);
}

void TVarnTabSet::DrawUnselectedTab(QPainter& painter, const TTabPosition& tab, int entry,
                                    int index, int top, int edgeY) {
    DrawCaption(painter, tab, index, top, false);
    const bool toBottom = m_orientation == TVarnTabSetOrientation::toBottom;
    const int x = tab.Start;
    const int w = tab.Width;
    const int freeY = toBottom ? top + m_tabHeight - 1 : top;
    const int y1 = toBottom ? edgeY + 3 : freeY + 3;
    const int y2 = toBottom ? freeY - 3 : edgeY - 3;
    const bool first = entry == 0;
    const bool firstOfAll = first && m_firstIndex == 0;
    const bool lastOfAll = index == m_tabs.Count() - 1;
    const QColor separator = m_options.SeparatorColor();
    if (first && (!firstOfAll || m_options.SeparatorOnSide()))
        VLine(painter, x - 5, y1, y2, separator);
    if (!lastOfAll || m_options.SeparatorOnSide())
        VLine(painter, x + w + 5, y1, y2, separator);
    // A caption may reach into the edge line; the band edge stays unbroken.
    HLine(painter, x, x + w, edgeY,
          toBottom ? m_options.DarkShadowColor() : m_options.HighlightColor());
}

void TVarnTabSet::DrawSelectedTab(QPainter& painter, const TTabPosition& tab, int index, int top) {
    const bool toBottom = m_orientation == TVarnTabSetOrientation::toBottom;
    const bool rounded = m_options.RoundedCorners();
    const TVarnTabSetFlatStyle flat = m_options.FlatStyle();
    const int x = tab.Start;
    const int w = tab.Width;
    const int rowsTop = top;
    const int rowsBottom = top + m_tabHeight - 1;
    const int freeY = toBottom ? rowsBottom : rowsTop;
    const int inward = toBottom ? -1 : 1;

    // The face covers the edge line, so the tab opens into the band.
    painter.fillRect(QRect(x - 4, rowsTop, w + 9, m_tabHeight), m_options.FaceColor());
    DrawCaption(painter, tab, index, top, true);

    // Vertical edges span the tab, one pixel short at the free end when rounded.
    int edgeTop = rowsTop;
    int edgeBottom = rowsBottom;
    if (rounded && toBottom)
        --edgeBottom;
    else if (rounded)
        ++edgeTop;
    // Inner lines stop short of the free edge and its inner line.
    const int innerTop = toBottom ? rowsTop : rowsTop + 2;
    const int innerBottom = toBottom ? rowsBottom - 2 : rowsBottom;

    VLine(painter, x - 4, edgeTop, edgeBottom, m_options.HighlightColor());
    if (flat == TVarnTabSetFlatStyle::fsNoFlat)
        VLine(painter, x - 3, innerTop, innerBottom, m_options.LightColor());
    VLine(painter, x + w + 4, edgeTop, edgeBottom, m_options.DarkShadowColor());
    const int freeEnd = rounded ? x + w + 3 : x + w + 4;
    if (toBottom)
        HLine(painter, rounded ? x - 3 : x - 4, freeEnd, freeY, m_options.DarkShadowColor());
    else
        HLine(painter, x - 3, freeEnd, freeY, m_options.HighlightColor());
    if (flat != TVarnTabSetFlatStyle::fsFullFlat)
        HLine(painter, x - 3, x + w + 3, freeY + inward,
              toBottom ? m_options.ShadowColor() : m_options.LightColor());
    if (flat == TVarnTabSetFlatStyle::fsNoFlat)
        VLine(painter, x + w + 3, innerTop, innerBottom, m_options.ShadowColor());
}

void TVarnTabSet::DrawCaption(QPainter& painter, const TTabPosition& tab, int index, int top,
                              bool selected) {
    int captionLeft = tab.Start + m_margins.TextLeftMargin();
    const int imageIndex = ImageIndexOf(index);
    TVarnImageList* images = selected && m_hotImages ? m_hotImages.data() : m_images.data();
    if (images && imageIndex != -1) {
        const QPixmap image = images->Image(imageIndex);
        if (!image.isNull())
            painter.drawPixmap(tab.Start + m_margins.ImgLeftMargin(),
                               top + m_margins.ImgTopMargin(), image);
        captionLeft += m_margins.ImgLeftMargin() + images->Width() + m_margins.ImgRightMargin();
    }
    const int captionRight = tab.Start + tab.Width - m_margins.TextRightMargin();
    QFont captionFont = font();
    captionFont.setBold(selected && m_options.BoldSelectedTab());
    painter.setFont(captionFont);
    painter.setPen(selected ? palette().color(QPalette::ButtonText) : m_options.UnSelectedColor());
    const int textTop = top + 2 + m_margins.TextTopMargin();
    const QRect captionRect(captionLeft, textTop, std::max(0, captionRight - captionLeft),
                            QFontMetrics(captionFont).height());
    painter.drawText(captionRect,
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine,
                     m_tabs.Strings(index));
}
