#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

enum class TBevelStyle { bsLowered, bsRaised };
enum class TBevelShape {
    bsBox,
    bsFrame,
    bsTopLine,
    bsBottomLine,
    bsLeftLine,
    bsRightLine,
    bsSpacer
};

// Insets of a bevel's drawing from each side; negative values are stored as 0
// so that the drawing never leaves the control.
class TVarnBevelMargins {
public:
    explicit TVarnBevelMargins(std::function<void()> changed) : m_changed(std::move(changed)) {}

    int Bottom() const { return m_bottom; }
    void SetBottom(int value) { Store(m_bottom, value); }
    int Left() const { return m_left; }
    void SetLeft(int value) { Store(m_left, value); }
    int Right() const { return m_right; }
    void SetRight(int value) { Store(m_right, value); }
    int Top() const { return m_top; }
    void SetTop(int value) { Store(m_top, value); }

private:
    void Store(int& field, int value) {
        if (value == field)
            return;
        field = value < 0 ? 0 : value;
        if (m_changed)
            m_changed();
    }

    std::function<void()> m_changed;
    int m_bottom = 0;
    int m_left = 0;
    int m_right = 0;
    int m_top = 0;
};

// A windowed bevel with margins; its spacer shape draws nothing at run time,
// which the main window uses for fixed gaps between its panels.
class TVarnBevel : public QWidget {
    Q_OBJECT
public:
    explicit TVarnBevel(QWidget* parent = nullptr);

    TVarnBevelMargins& Margins() { return m_margins; }
    const TVarnBevelMargins& Margins() const { return m_margins; }
    TBevelStyle Style() const { return m_style; }
    void SetStyle(TBevelStyle value);
    TBevelShape Shape() const { return m_shape; }
    void SetShape(TBevelShape value);
    // A form editor shows the spacer's outline and draws the other shapes in
    // black; a running program never sets this.
    bool DesignMode() const { return m_designMode; }
    void SetDesignMode(bool value);

    QSize sizeHint() const override { return {50, 50}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TVarnBevelMargins m_margins;
    TBevelStyle m_style = TBevelStyle::bsLowered;
    TBevelShape m_shape = TBevelShape::bsBox;
    bool m_designMode = false;
};
