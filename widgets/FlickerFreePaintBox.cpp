#include "widgets/FlickerFreePaintBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

TFlickerFreePaintBox::TFlickerFreePaintBox(QWidget* parent)
    : QWidget(parent), m_color(palette().color(QPalette::Window)) {
    // Nothing may erase the box before it paints: that erase is the flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void TFlickerFreePaintBox::SetColor(const QColor& value) {
    if (value == m_color)
        return;
    m_color = value;
    update();
}

void TFlickerFreePaintBox::SetDesignMode(bool value) {
    if (value == m_designMode)
        return;
    m_designMode = value;
    update();
}

void TFlickerFreePaintBox::paintEvent(QPaintEvent*) {
    if (m_designMode) {
        QPainter painter(this);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(m_color);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }
    if (!OnPaint || width() <= 0 || height() <= 0)
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(m_color);
    {
        QPainter canvas(&picture);
        canvas.setFont(font());
        OnPaint(this, canvas);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture);
}

void TFlickerFreePaintBox::mousePressEvent(QMouseEvent* event) {
    m_pressedInside = event->button() == Qt::LeftButton;
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint().x(),
                    event->position().toPoint().y());
    QWidget::mousePressEvent(event);
}

void TFlickerFreePaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
    // A click is a press and release of the left button over the box.
    if (event->button() == Qt::LeftButton && m_pressedInside && rect().contains(pos) && OnClick)
        OnClick(this);
    m_pressedInside = false;
    QWidget::mouseReleaseEvent(event);
}

void TFlickerFreePaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
    QWidget::mouseDoubleClickEvent(event);
}

void TFlickerFreePaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove)
        OnMouseMove(this, event->modifiers(), event->position().toPoint().x(),
                    event->position().toPoint().y());
    QWidget::mouseMoveEvent(event);
}
