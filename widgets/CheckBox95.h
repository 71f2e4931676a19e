#pragma once

#include <QCheckBox>
#include <functional>

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TVAlignment { vaTop, vaBottom, vaCenter };

// A check box whose caption alignment, box side, vertical placement, word wrap
// and push-button look are properties; the settings dialog wraps a long caption with it.
class TCheckBox95 : public QCheckBox {
    Q_OBJECT
public:
    explicit TCheckBox95(QWidget* parent = nullptr);
    explicit TCheckBox95(const QString& caption, QWidget* parent = nullptr);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    // Only taLeftJustify (box left of the caption) and taRightJustify (box
    // right of it) are meaningful; taCenter is taken as taLeftJustify.
    TAlignment AlignmentBtn() const { return m_alignmentBtn; }
    void SetAlignmentBtn(TAlignment value);
    bool LikePushButton() const { return m_likePushButton; }
    void SetLikePushButton(bool value);
    TVAlignment VerticalAlignment() const { return m_verticalAlignment; }
    void SetVerticalAlignment(TVAlignment value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    QString Caption() const { return text(); }
    void SetCaption(const QString& value);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool value) { setChecked(value); }

    // Where the box and the caption's text are drawn at the current size (the
    // box is empty with the push-button look).
    QRect BoxRect() const;
    QRect CaptionRect() const;

    std::function<void(QObject* Sender)> OnClick;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_wordWrap; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    struct TLayout {
        QRect Box;
        QRect TextArea;
        QRect Caption;
        int Flags = 0;
    };
    TLayout ComputeLayout(const QRect& area) const;
    int CaptionFlags() const;
    int IndicatorWidth() const;
    int IndicatorHeight() const;
    int LabelSpacing() const;
    void Changed();

    TAlignment m_alignment = TAlignment::taLeftJustify;
    TAlignment m_alignmentBtn = TAlignment::taLeftJustify;
    bool m_likePushButton = false;
    TVAlignment m_verticalAlignment = TVAlignment::vaTop;
    bool m_wordWrap = false;
};
