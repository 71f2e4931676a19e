#include "widgets/VarnScroller.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

const QColor kArrowFace(192, 192, 192);
const QColor kArrowHighlight(255, 255, 255);
const QColor kArrowShadow(128, 128, 128);
const QColor kArrowDarkShadow(0, 0, 0);

// A small solid triangle, 4 pixels deep and 7 high, pointing left or right,
// with its tip at (tipX, centreY).
void DrawTriangle(QImage& image, TScrollerArrow arrow, int tipX, int centreY, const QColor& color) {
    for (int column = 0; column < 4; ++column) {
        const int x = arrow == TScrollerArrow::saLeft ? tipX + column : tipX - column;
        for (int y = centreY - column; y <= centreY + column; ++y)
            image.setPixelColor(x, y, color);
    }
}

QImage BuildArrowImage(TScrollerArrow arrow, TScrollerArrowState state) {
    const int w = TVarnScroller::ArrowWidth;
    const int h = TVarnScroller::ArrowHeight;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kArrowFace);
    QPainter painter(&image);
    auto hline = [&](int x1, int x2, int y, const QColor& c) {
        painter.fillRect(QRect(x1, y, x2 - x1 + 1, 1), c);
    };
    auto vline = [&](int x, int y1, int y2, const QColor& c) {
        painter.fillRect(QRect(x, y1, 1, y2 - y1 + 1), c);
    };
    if (state == TScrollerArrowState::sasPressed) {
        // Sunken: dark on the top and left, one flat shadow line inside.
        hline(0, w - 1, 0, kArrowDarkShadow);
        vline(0, 0, h - 1, kArrowDarkShadow);
        hline(1, w - 1, 1, kArrowShadow);
        vline(1, 1, h - 1, kArrowShadow);
        hline(1, w - 1, h - 1, kArrowHighlight);
        vline(w - 1, 1, h - 1, kArrowHighlight);
    } else {
        // Raised: light top-left, two lines of shadow bottom-right.
        hline(0, w - 2, 0, kArrowHighlight);
        vline(0, 0, h - 2, kArrowHighlight);
        hline(0, w - 1, h - 1, kArrowDarkShadow);
        vline(w - 1, 0, h - 1, kArrowDarkShadow);
        hline(1, w - 2, h - 2, kArrowShadow);
        vline(w - 2, 1, h - 2, kArrowShadow);
    }
    painter.end();
    // The tip sits so that the 4-pixel triangle is centred in the face; a
    // pressed arrow moves one pixel right and down like a pressed button.
    const int shift = state == TScrollerArrowState::sasPressed ? 1 : 0;
    const int centreY = h / 2 - 1 + shift;
    const int tipX = (arrow == TScrollerArrow::saLeft ? 4 : 8) + shift;
    if (state == TScrollerArrowState::sasDisabled) {
        // Embossed grey, as disabled glyphs look: a white copy one pixel
        // down-right under a grey one.
        DrawTriangle(image, arrow, tipX + 1, centreY + 1, kArrowHighlight);
        DrawTriangle(image, arrow, tipX, centreY, kArrowShadow);
    } else {
        DrawTriangle(image, arrow, tipX, centreY, kArrowDarkShadow);
    }
    return image;
}

} // namespace

QImage ScrollerArrowImage(TScrollerArrow arrow, TScrollerArrowState state) {
    static const QImage images[2][3] = {
        {BuildArrowImage(TScrollerArrow::saLeft, TScrollerArrowState::sasNormal),
         BuildArrowImage(TScrollerArrow::saLeft, TScrollerArrowState::sasPressed),
         BuildArrowImage(TScrollerArrow::saLeft, TScrollerArrowState::sasDisabled)},
        {BuildArrowImage(TScrollerArrow::saRight, TScrollerArrowState::sasNormal),
         BuildArrowImage(TScrollerArrow::saRight, TScrollerArrowState::sasPressed),
         BuildArrowImage(TScrollerArrow::saRight, TScrollerArrowState::sasDisabled)}};
    return images[static_cast<int>(arrow)][static_cast<int>(state)];
}

TVarnScroller::TVarnScroller(QWidget* parent)
    : QWidget(parent), m_backgroundColor(palette().color(QPalette::Dark)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(ScrollerWidth, ArrowHeight);
}

void TVarnScroller::SetMin(int value) {
    if (value < m_max && value != m_min) {
        m_min = value;
        update();
    }
}

void TVarnScroller::SetMax(int value) {
    if (value > m_min && value != m_max) {
        m_max = value;
        update();
    }
}

void TVarnScroller::SetPosition(int value) {
    if (value == m_position)
        return;
    const int clamped = std::clamp(value, m_min, std::max(m_min, m_max));
    if (clamped == m_position)
        return;
    m_position = clamped;
    update();
    if (OnClick)
        OnClick(this);
}

void TVarnScroller::SetParams(int min, int max, int position) {
    max = std::max(min, max);
    position = std::clamp(position, min, max);
    if (min == m_min && max == m_max && position == m_position)
        return;
    m_min = min;
    m_max = max;
    m_position = position;
    update();
}

void TVarnScroller::SetBackgroundColor(const QColor& value) {
    if (value == m_backgroundColor)
        return;
    m_backgroundColor = value;
    update();
}

QRect TVarnScroller::HalfRect(bool leftHalf) const {
    const int half = width() / 2;
    return leftHalf ? QRect(0, 0, half, height()) : QRect(half, 0, width() - half, height());
}

void TVarnScroller::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
    const auto stateOf = [this](bool canScroll, bool pressed) {
        if (!canScroll)
            return TScrollerArrowState::sasDisabled;
        return pressed ? TScrollerArrowState::sasPressed : TScrollerArrowState::sasNormal;
    };
    painter.drawImage(
        0, 0, ScrollerArrowImage(TScrollerArrow::saLeft, stateOf(CanScrollLeft(), PressedLeft())));
    painter.drawImage(
        ArrowWidth, 0,
        ScrollerArrowImage(TScrollerArrow::saRight, stateOf(CanScrollRight(), PressedRight())));
}

void TVarnScroller::StartTracking(const QPoint& pos) {
    const bool leftHalf = pos.x() < width() / 2;
    if (leftHalf ? !CanScrollLeft() : !CanScrollRight())
        return;
    m_leftHalf = leftHalf;
    m_tracking = true;
    m_pressed = true;
    update();
}

// A double click arrives here too (the base class turns it into a press), so
// a quick second click scrolls again rather than being lost.
void TVarnScroller::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        StartTracking(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TVarnScroller::mouseMoveEvent(QMouseEvent* event) {
    if (m_tracking) {
        const bool inside = HalfRect(m_leftHalf).contains(event->position().toPoint());
        if (inside != m_pressed) {
            m_pressed = inside;
            update();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TVarnScroller::mouseReleaseEvent(QMouseEvent* event) {
    if (m_tracking && event->button() == Qt::LeftButton) {
        const bool inside = HalfRect(m_leftHalf).contains(event->position().toPoint());
        const bool leftHalf = m_leftHalf;
        m_tracking = false;
        m_pressed = false;
        update();
        if (inside)
            SetPosition(leftHalf ? m_position - m_change : m_position + m_change);
    }
    QWidget::mouseReleaseEvent(event);
}

void TVarnScroller::resizeEvent(QResizeEvent* event) {
    // The arrows are fixed pictures; any other size would show garbage.
    if (size() != QSize(ScrollerWidth, ArrowHeight))
        resize(ScrollerWidth, ArrowHeight);
    QWidget::resizeEvent(event);
}
