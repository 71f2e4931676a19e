#pragma once

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <ostream>
#include <vector>

// Colours in failure messages by name.
inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << colour.name().toStdString();
}

// Small helpers shared by the widget tests: pixels of a painted widget and
// synthetic mouse input delivered straight to a widget.
namespace WidgetTest {

inline QImage Paint(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor Pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// The colours at several points, to compare at once.
inline std::vector<QColor> Pixels(const QImage& image, const std::vector<QPoint>& points) {
    std::vector<QColor> colours;
    for (const QPoint& point : points)
        colours.push_back(Pixel(image, point.x(), point.y()));
    return colours;
}

// A press or a release of `button`, or a move (with `held` down, as while
// dragging after a press).
inline void Mouse(QWidget& widget, QEvent::Type type, const QPoint& pos,
                  Qt::MouseButtons held = Qt::NoButton) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? button : held;
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline void Drag(QWidget& widget, const QPoint& pos) {
    Mouse(widget, QEvent::MouseMove, pos, Qt::LeftButton);
}

inline void Click(QWidget& widget, const QPoint& pos) {
    Mouse(widget, QEvent::MouseButtonPress, pos);
    Mouse(widget, QEvent::MouseButtonRelease, pos);
}

// A fixed small font, so that layout arithmetic does not depend on the desktop.
inline QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

} // namespace WidgetTest
