#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>

enum class TScrollerArrow { saLeft, saRight };
enum class TScrollerArrowState { sasNormal, sasPressed, sasDisabled };

// The 13 x 12 arrow pictures of the scroller, drawn once per kind and state.
QImage ScrollerArrowImage(TScrollerArrow arrow, TScrollerArrowState state);

// The pair of arrow buttons a tab set shows when its tabs do not fit: a fixed
// 26 x 12 child whose position moves by Change per click on either half.
class TVarnScroller : public QWidget {
    Q_OBJECT
public:
    static constexpr int ArrowWidth = 13;
    static constexpr int ArrowHeight = 12;
    static constexpr int ScrollerWidth = 2 * ArrowWidth;

    explicit TVarnScroller(QWidget* parent = nullptr);

    int Min() const { return m_min; }
    // Accepted only below Max, so the range never turns inside out.
    void SetMin(int value);
    int Max() const { return m_max; }
    // Accepted only above Min.
    void SetMax(int value);
    int Position() const { return m_position; }
    // Clamped to Min..Max; a real change repaints and raises OnClick.
    void SetPosition(int value);
    int Change() const { return m_change; }
    void SetChange(int value) { m_change = value; }

    // The owner sets the whole range at once while painting; this raises no
    // event because nothing was clicked.
    void SetParams(int min, int max, int position);

    QColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(const QColor& value);

    bool CanScrollLeft() const { return m_position > m_min; }
    bool CanScrollRight() const { return m_position < m_max; }
    // Which half is drawn pressed right now (only while tracking).
    bool PressedLeft() const { return m_tracking && m_pressed && m_leftHalf; }
    bool PressedRight() const { return m_tracking && m_pressed && !m_leftHalf; }

    std::function<void(QObject* Sender)> OnClick;

    QSize sizeHint() const override { return {ScrollerWidth, ArrowHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void StartTracking(const QPoint& pos);
    QRect HalfRect(bool leftHalf) const;

    int m_min = 0;
    int m_max = 0;
    int m_position = 0;
    int m_change = 1;
    bool m_tracking = false;
    bool m_pressed = false;
    bool m_leftHalf = false;
    QColor m_backgroundColor;
};
