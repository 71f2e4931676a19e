#include "widgets/CheckBox95.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace {
// Room between a push-button look's frame and its caption.
constexpr int kButtonPadding = 4;
} // namespace

TCheckBox95::TCheckBox95(QWidget* parent) : TCheckBox95(QString(), parent) {}

TCheckBox95::TCheckBox95(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

void TCheckBox95::SetAlignment(TAlignment value) {
    if (value == m_alignment)
        return;
    m_alignment = value;
    Changed();
}

void TCheckBox95::SetAlignmentBtn(TAlignment value) {
    if (value == TAlignment::taCenter)
        value = TAlignment::taLeftJustify;
    if (value == m_alignmentBtn)
        return;
    m_alignmentBtn = value;
    Changed();
}

void TCheckBox95::SetLikePushButton(bool value) {
    if (value == m_likePushButton)
        return;
    m_likePushButton = value;
    Changed();
}

void TCheckBox95::SetVerticalAlignment(TVAlignment value) {
    if (value == m_verticalAlignment)
        return;
    m_verticalAlignment = value;
    Changed();
}

void TCheckBox95::SetWordWrap(bool value) {
    if (value == m_wordWrap)
        return;
    m_wordWrap = value;
    // A wrapped caption's height depends on the width the layout gives it.
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(value);
    setSizePolicy(policy);
    Changed();
}

void TCheckBox95::SetCaption(const QString& value) {
    setText(value);
    Changed();
}

void TCheckBox95::Changed() {
    updateGeometry();
    update();
}

int TCheckBox95::IndicatorWidth() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
}

int TCheckBox95::IndicatorHeight() const {
    return style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
}

int TCheckBox95::LabelSpacing() const {
    return style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

int TCheckBox95::CaptionFlags() const {
    int flags = Qt::TextShowMnemonic | Qt::AlignTop;
    switch (m_alignment) {
    case TAlignment::taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case TAlignment::taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case TAlignment::taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    flags |= m_wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    return flags;
}

TCheckBox95::TLayout TCheckBox95::ComputeLayout(const QRect& area) const {
    TLayout layout;
    layout.Flags = CaptionFlags();
    QRect textArea = area;
    if (m_likePushButton) {
        textArea.adjust(kButtonPadding, kButtonPadding, -kButtonPadding, -kButtonPadding);
    } else {
        const int boxWidth = IndicatorWidth() + LabelSpacing();
        if (m_alignmentBtn == TAlignment::taRightJustify)
            textArea.setRight(area.right() - boxWidth);
        else
            textArea.setLeft(area.left() + boxWidth);
    }
    const QFontMetrics metrics(font());
    const QRect textBlock = metrics.boundingRect(QRect(0, 0, std::max(1, textArea.width()), 100000),
                                                 layout.Flags, text());
    const int textHeight = std::max(metrics.height(), textBlock.height());
    int textTop = textArea.top();
    if (m_verticalAlignment == TVAlignment::vaBottom)
        textTop = textArea.bottom() + 1 - textHeight;
    else if (m_verticalAlignment == TVAlignment::vaCenter)
        textTop = textArea.top() + (textArea.height() - textHeight) / 2;
    layout.TextArea = QRect(textArea.left(), textTop, textArea.width(), textHeight);
    layout.Caption = metrics.boundingRect(layout.TextArea, layout.Flags, text());

    if (!m_likePushButton) {
        // The box keeps to the caption line it belongs to: the first line when
        // top-aligned, the last when bottom-aligned, the middle when centred.
        const int boxWidth = IndicatorWidth();
        const int boxHeight = IndicatorHeight();
        const int boxLeft = m_alignmentBtn == TAlignment::taRightJustify
                                ? area.right() + 1 - boxWidth
                                : area.left();
        int boxTop = 0;
        const int lineHeight = metrics.height();
        if (m_verticalAlignment == TVAlignment::vaTop)
            boxTop = textTop + (lineHeight - boxHeight) / 2;
        else if (m_verticalAlignment == TVAlignment::vaBottom)
            boxTop = textTop + textHeight - lineHeight + (lineHeight - boxHeight) / 2;
        else
            boxTop = area.top() + (area.height() - boxHeight) / 2;
        boxTop = std::max(area.top(), boxTop);
        layout.Box = QRect(boxLeft, boxTop, boxWidth, boxHeight);
    }
    return layout;
}

QRect TCheckBox95::BoxRect() const {
    return ComputeLayout(rect()).Box;
}

QRect TCheckBox95::CaptionRect() const {
    return ComputeLayout(rect()).Caption;
}

QSize TCheckBox95::sizeHint() const {
    const QFontMetrics metrics(font());
    const QRect line = metrics.boundingRect(QRect(0, 0, 100000, 100000),
                                            Qt::TextShowMnemonic | Qt::TextSingleLine, text());
    if (m_wordWrap && minimumWidth() == maximumWidth()) {
        // With a fixed width the wrapped caption's height is known already.
        return {minimumWidth(), heightForWidth(minimumWidth())};
    }
    if (m_likePushButton)
        return {line.width() + 2 * kButtonPadding + 8, metrics.height() + 2 * kButtonPadding + 2};
    return {IndicatorWidth() + LabelSpacing() + line.width() + 1,
            std::max(IndicatorHeight(), metrics.height())};
}

QSize TCheckBox95::minimumSizeHint() const {
    if (!m_wordWrap)
        return sizeHint();
    // A wrapped caption can shrink to its longest word.
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    const int side = m_likePushButton ? 2 * kButtonPadding : IndicatorWidth() + LabelSpacing();
    return {side + widest + 1, std::max(IndicatorHeight(), metrics.height())};
}

int TCheckBox95::heightForWidth(int width) const {
    if (!m_wordWrap)
        return sizeHint().height();
    const int side = m_likePushButton ? 2 * kButtonPadding : IndicatorWidth() + LabelSpacing();
    const QFontMetrics metrics(font());
    const QRect block = metrics.boundingRect(QRect(0, 0, std::max(1, width - side), 100000),
                                             CaptionFlags(), text());
    const int textHeight = std::max(metrics.height(), block.height());
    if (m_likePushButton)
        return textHeight + 2 * kButtonPadding;
    return std::max(IndicatorHeight(), textHeight);
}

bool TCheckBox95::hitButton(const QPoint& pos) const {
    // The whole control answers, as the caption may sit anywhere in it.
    return rect().contains(pos);
}

void TCheckBox95::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const TLayout layout = ComputeLayout(rect());
    if (m_likePushButton) {
        option.rect = rect();
        option.text.clear();
        option.icon = QIcon();
        option.features = QStyleOptionButton::None;
        if (isChecked())
            option.state |= QStyle::State_On | QStyle::State_Sunken;
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    } else {
        option.rect = layout.Box;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    }
    painter.setClipRect(rect());
    style()->drawItemText(&painter, layout.TextArea, layout.Flags, palette(), isEnabled(), text(),
                          m_likePushButton ? QPalette::ButtonText : QPalette::WindowText);
    if (hasFocus() && !text().isEmpty()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = layout.Caption.adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
