#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

class QPainter;

// A paint box that draws through an off-screen picture and is never erased
// first, so an animated picture does not flicker while it is redrawn.
class TFlickerFreePaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TFlickerFreePaintBox(QWidget* parent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor& value);
    // In a form editor the box shows its outline; a running program never sets this.
    bool DesignMode() const { return m_designMode; }
    void SetDesignMode(bool value);

    // Draws on a canvas the size of the box, already filled with Color and
    // carrying the box's font.
    std::function<void(QObject* Sender, QPainter& Canvas)> OnPaint;
    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender)> OnDblClick;
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                       int Y)>
        OnMouseDown;
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                       int Y)>
        OnMouseUp;
    std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QColor m_color;
    bool m_designMode = false;
    bool m_pressedInside = false;
};
