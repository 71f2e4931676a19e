#include "widgets/CheckBox95.h"
#include "WidgetTestSupport.h"

#include <QFontMetrics>
#include <QStyleFactory>
#include <gtest/gtest.h>

using namespace WidgetTest;

namespace {

const QString kLongCaption =
    QStringLiteral("Відновлювати асоціації файлів під час кожного запуску програми");

// The check box is painted by the style; one fixed style keeps pixels stable.
class CheckBox95Test : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }

    std::unique_ptr<TCheckBox95> Make(const QString& caption, int width, int height) {
        auto box = std::make_unique<TCheckBox95>(caption);
        box->setFont(TestFont());
        QPalette palette = box->palette();
        palette.setColor(QPalette::Window, Qt::white);
        palette.setColor(QPalette::WindowText, Qt::black);
        box->setPalette(palette);
        box->setAutoFillBackground(true);
        box->resize(width, height);
        return box;
    }
};

// The smallest rectangle that holds the dark (text) pixels inside `area`.
QRect DarkBox(const QImage& image, const QRect& area) {
    QRect dark;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Pixel(image, x, y).value() < 100)
                dark |= QRect(x, y, 1, 1);
    return dark;
}

} // namespace

TEST_F(CheckBox95Test, BoxSideAndCaptionAlignment) {
    auto box = Make(QStringLiteral("Текст"), 200, 20);
    EXPECT_EQ(box->BoxRect().left(), 0);
    EXPECT_GT(box->CaptionRect().left(), box->BoxRect().right());
    EXPECT_LT(box->CaptionRect().right(), 100);

    box->SetAlignmentBtn(TAlignment::taRightJustify);
    box->SetAlignment(TAlignment::taRightJustify);
    EXPECT_EQ(box->BoxRect().right(), 199);
    EXPECT_LT(box->CaptionRect().right(), box->BoxRect().left());
    EXPECT_GT(box->CaptionRect().right(), 199 - box->BoxRect().width() - 10);
    const QRect text = DarkBox(Paint(*box), QRect(0, 0, box->BoxRect().left(), 20));
    EXPECT_GT(text.left(), 100); // nothing drawn in the left half
    EXPECT_GE(text.right(), box->CaptionRect().right() - 2);

    box->SetAlignment(TAlignment::taCenter);
    EXPECT_NEAR(box->CaptionRect().center().x(), box->BoxRect().left() / 2, 4);

    box->SetAlignmentBtn(TAlignment::taCenter); // a box is never centred: it goes left
    EXPECT_EQ(box->BoxRect().left(), 0);
}

TEST_F(CheckBox95Test, VerticalAlignmentAndWordWrapPlaceALongCaption) {
    auto box = Make(kLongCaption, 200, 60);
    const int lineHeight = QFontMetrics(TestFont()).height();
    EXPECT_EQ(std::pair(box->CaptionRect().top(), box->CaptionRect().height()),
              std::pair(0, lineHeight));
    EXPECT_EQ(box->heightForWidth(200), box->sizeHint().height());
    const QRect textArea(QPoint(box->BoxRect().right() + 2, 0), QPoint(199, 59));
    EXPECT_LT(DarkBox(Paint(*box), textArea).height(), lineHeight); // one line
    box->SetVerticalAlignment(TVAlignment::vaBottom);
    EXPECT_EQ(box->CaptionRect().bottom(), 59);
    EXPECT_GT(box->BoxRect().top(), 60 - lineHeight - 2);
    box->SetVerticalAlignment(TVAlignment::vaCenter);
    EXPECT_NEAR(box->CaptionRect().center().y(), 30, 2);
    EXPECT_NEAR(box->BoxRect().center().y(), 30, 2);
    box->SetVerticalAlignment(TVAlignment::vaTop);

    box->SetWordWrap(true);
    EXPECT_TRUE(box->hasHeightForWidth());
    EXPECT_GE(box->CaptionRect().height(), 2 * lineHeight);
    EXPECT_GE(box->heightForWidth(200), 2 * lineHeight);
    EXPECT_LT(box->heightForWidth(1000), 2 * lineHeight);
    const QRect wrapped = DarkBox(Paint(*box), textArea);
    EXPECT_GT(wrapped.height(), lineHeight); // more than one line
    // Top-aligned with the box at the first line.
    EXPECT_LT(wrapped.top(), lineHeight);
    EXPECT_LT(box->BoxRect().top(), lineHeight);
    EXPECT_LE(box->CaptionRect().right(), 199);
}

TEST_F(CheckBox95Test, PushButtonLookHasNoBoxAndStillToggles) {
    auto box = Make(QStringLiteral("Кнопка"), 120, 26);
    box->SetLikePushButton(true);
    box->SetAlignment(TAlignment::taCenter);
    EXPECT_TRUE(box->BoxRect().isEmpty());
    EXPECT_NEAR(box->CaptionRect().center().x(), 60, 3);
    int clicks = 0;
    box->OnClick = [&clicks](QObject*) { ++clicks; };
    Click(*box, QPoint(115, 13)); // the whole control answers
    EXPECT_EQ(std::pair(box->Checked(), clicks), std::pair(true, 1));
}
