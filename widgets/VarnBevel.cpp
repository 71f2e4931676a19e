#include "widgets/VarnBevel.h"

#include <QPainter>
#include <algorithm>
#include <initializer_list>

namespace {

// One-pixel polyline of axis-parallel segments that leaves out its very last
// point, as the bevel's corner pixels depend on which colour reaches them.
void Polyline(QPainter& painter, const QColor& color, std::initializer_list<QPoint> points) {
    const QPoint* previous = nullptr;
    for (const QPoint& point : points) {
        if (previous) {
            const int dx = point.x() > previous->x() ? 1 : (point.x() < previous->x() ? -1 : 0);
            const int dy = point.y() > previous->y() ? 1 : (point.y() < previous->y() ? -1 : 0);
            if (dx != 0 || dy != 0) {
                const QPoint last = point - QPoint(dx, dy);
                painter.fillRect(QRect(QPoint(std::min(previous->x(), last.x()),
                                              std::min(previous->y(), last.y())),
                                       QPoint(std::max(previous->x(), last.x()),
                                              std::max(previous->y(), last.y()))),
                                 color);
            }
        }
        previous = &point;
    }
}

void BevelRect(QPainter& painter, const QColor& color1, const QColor& color2, int left, int top,
               int right, int bottom) {
    Polyline(painter, color1, {QPoint(left, bottom), QPoint(left, top), QPoint(right, top)});
    Polyline(painter, color2, {QPoint(right, top), QPoint(right, bottom), QPoint(left, bottom)});
}

} // namespace

TVarnBevel::TVarnBevel(QWidget* parent) : QWidget(parent), m_margins([this] { update(); }) {
    // The background follows the parent's colour, as a gap between panels must.
    setAutoFillBackground(true);
    resize(sizeHint());
}

void TVarnBevel::SetStyle(TBevelStyle value) {
    if (value == m_style)
        return;
    m_style = value;
    update();
}

void TVarnBevel::SetShape(TBevelShape value) {
    if (value == m_shape)
        return;
    m_shape = value;
    update();
}

void TVarnBevel::SetDesignMode(bool value) {
    if (value == m_designMode)
        return;
    m_designMode = value;
    update();
}

void TVarnBevel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const int l = m_margins.Left();
    const int t = m_margins.Top();
    const int r = m_margins.Right();
    const int b = m_margins.Bottom();
    if (m_shape == TBevelShape::bsSpacer) {
        if (m_designMode) {
            QPen pen(QColor(206, 216, 255), 1, Qt::DotLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.drawRect(0, 0, w - 1, h - 1);
        }
        return;
    }
    const QPalette colors = palette();
    QColor color1 = colors.color(QPalette::Dark);
    QColor color2 = colors.color(QPalette::Light);
    if (m_style == TBevelStyle::bsRaised)
        std::swap(color1, color2);
    if (m_designMode)
        color1 = color2 = Qt::black;

    switch (m_shape) {
    case TBevelShape::bsBox:
        BevelRect(painter, color1, color2, l, t, w - 1 - r, h - 1 - b);
        break;
    case TBevelShape::bsFrame: {
        // Etched: the light rectangle one pixel down-right, the dark one over it.
        const QColor first = color1;
        BevelRect(painter, color2, color2, l + 1, t + 1, w - 1 - r, h - 1 - b);
        BevelRect(painter, first, first, l, t, w - 2 - r, h - 2 - b);
        break;
    }
    case TBevelShape::bsTopLine:
        Polyline(painter, color1, {QPoint(l, t), QPoint(w - r, t)});
        Polyline(painter, color2, {QPoint(l, t + 1), QPoint(w - r, t + 1)});
        break;
    case TBevelShape::bsBottomLine:
        Polyline(painter, color1, {QPoint(l, h - 2 - b), QPoint(w - r, h - 2 - b)});
        Polyline(painter, color2, {QPoint(l, h - 1 - b), QPoint(w - r, h - 1 - b)});
        break;
    case TBevelShape::bsLeftLine:
        Polyline(painter, color1, {QPoint(l, t), QPoint(l, h - b)});
        Polyline(painter, color2, {QPoint(l + 1, t), QPoint(l + 1, h - b)});
        break;
    case TBevelShape::bsRightLine:
        Polyline(painter, color1, {QPoint(w - 2 - r, t), QPoint(w - 2 - r, h - b)});
        Polyline(painter, color2, {QPoint(w - 1 - r, t), QPoint(w - 1 - r, h - b)});
        break;
    case TBevelShape::bsSpacer:
        break;
    }
}
