// A window that shows the program's own widgets so that their drawing can be
// looked at; with --screenshot FILE it saves a picture of itself and quits.

#include "widgets/CheckBox95.h"
#include "widgets/FlickerFreePaintBox.h"
#include "widgets/VarnBevel.h"
#include "widgets/VarnTabSet.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Sample captions in the program's language; the real pages name their own.
const QStringList kPageCaptions = {QStringLiteral("&Параметри"), QStringLiteral("&Коментар"),
                                   QStringLiteral("&Опції")};

// Configured as the main window configures its parameter page switcher.
TVarnTabSet* MakeSplitParamsTabSet(QWidget* parent) {
    auto* tabSet = new TVarnTabSet(parent);
    tabSet->Options().SetShadowColor(tabSet->palette().color(QPalette::Button));
    tabSet->Options().SetBorderStyle(TBevelCut::bvLowered);
    tabSet->Options().SetFlatStyle(TVarnTabSetFlatStyle::fsFullFlat);
    tabSet->Options().SetBoldSelectedTab(false);
    tabSet->Options().SetSeparatorOnSide(false);
    tabSet->Options().SetRoundedCorners(false);
    tabSet->Margins().SetStartMargin(0);
    tabSet->Margins().SetEndMargin(0);
    tabSet->Margins().SetTextBottomMargin(2);
    tabSet->Margins().SetTextLeftMargin(0);
    tabSet->Margins().SetTextRightMargin(1);
    tabSet->SetScrollChangeTab(false);
    tabSet->SetTabHeight(18);
    tabSet->setFixedSize(251, 23);
    tabSet->SetTabs(kPageCaptions);
    return tabSet;
}

QWidget* MakeSplitParamsPanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* page = new QLabel(panel);
    page->setFrameShape(QFrame::Panel);
    page->setFrameShadow(QFrame::Raised);
    page->setAlignment(Qt::AlignCenter);
    page->setFixedSize(251, 80);
    auto* tabSet = MakeSplitParamsTabSet(panel);
    const auto showPage = [page, tabSet] {
        page->setText(tabSet->Tabs().Strings(tabSet->TabIndex()).remove(QLatin1Char('&')));
    };
    showPage();
    tabSet->OnClick = [showPage](QObject*) { showPage(); };
    layout->addWidget(page);
    layout->addWidget(tabSet);
    return panel;
}

TVarnTabSet* MakeManyTabsSet(QWidget* parent, TVarnTabSetOrientation orientation,
                             TVarnTabSetFlatStyle flat) {
    auto* tabSet = new TVarnTabSet(parent);
    tabSet->SetOrientation(orientation);
    tabSet->Options().SetFlatStyle(flat);
    QStringList captions;
    for (int i = 1; i <= 12; ++i)
        captions << QStringLiteral("Том %1").arg(i);
    tabSet->setFixedSize(300, 24);
    tabSet->SetTabs(captions);
    tabSet->SetDisabledTabs({QStringLiteral("Том 3")});
    return tabSet;
}

QWidget* MakeBevels(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    const TBevelShape shapes[] = {TBevelShape::bsBox,      TBevelShape::bsFrame,
                                  TBevelShape::bsTopLine,  TBevelShape::bsBottomLine,
                                  TBevelShape::bsLeftLine, TBevelShape::bsRightLine,
                                  TBevelShape::bsSpacer};
    int column = 0;
    for (TBevelShape shape : shapes) {
        for (int row = 0; row < 2; ++row) {
            auto* bevel = new TVarnBevel(box);
            bevel->SetShape(shape);
            bevel->SetStyle(row == 0 ? TBevelStyle::bsLowered : TBevelStyle::bsRaised);
            bevel->Margins().SetLeft(4);
            bevel->Margins().SetTop(4);
            bevel->Margins().SetRight(4);
            bevel->Margins().SetBottom(4);
            bevel->setFixedSize(40, 40);
            grid->addWidget(bevel, row, column);
        }
        ++column;
    }
    return box;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QString screenshotPath;
    const QStringList arguments = application.arguments();
    const qsizetype flag = arguments.indexOf(QStringLiteral("--screenshot"));
    if (flag >= 0 && flag + 1 < arguments.size())
        screenshotPath = arguments.at(flag + 1);
    // --scale N enlarges the saved picture pixel for pixel, for close looks.
    int scale = 1;
    const qsizetype scaleFlag = arguments.indexOf(QStringLiteral("--scale"));
    if (scaleFlag >= 0 && scaleFlag + 1 < arguments.size())
        scale = std::clamp(arguments.at(scaleFlag + 1).toInt(), 1, 8);

    QWidget window;
    // About the size of the small dialog font the strips were laid out for.
    QFont smallFont = window.font();
    smallFont.setPixelSize(11);
    window.setFont(smallFont);
    window.setWindowTitle(QStringLiteral("Varn split widgets"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(MakeSplitParamsPanel(&window));
    layout->addWidget(MakeManyTabsSet(&window, TVarnTabSetOrientation::toBottom,
                                      TVarnTabSetFlatStyle::fsMiddleFlat));
    auto* topTabs =
        MakeManyTabsSet(&window, TVarnTabSetOrientation::toTop, TVarnTabSetFlatStyle::fsNoFlat);
    topTabs->Options().SetBorderStyle(TBevelCut::bvRaised);
    topTabs->SetTabIndex(4);
    layout->addWidget(topTabs);
    layout->addWidget(MakeBevels(&window));

    auto* paintBox = new TFlickerFreePaintBox(&window);
    paintBox->setFixedSize(32, 32);
    int frame = 0;
    paintBox->OnPaint = [&frame](QObject*, QPainter& canvas) {
        canvas.setRenderHint(QPainter::Antialiasing);
        canvas.setBrush(QColor(40, 90, 200));
        canvas.setPen(Qt::NoPen);
        canvas.drawPie(QRect(2, 2, 28, 28), frame * 16 * 30, 16 * 300);
    };
    QTimer animation;
    QObject::connect(&animation, &QTimer::timeout, [&frame, paintBox] {
        frame = (frame + 1) % 12;
        paintBox->update();
    });
    animation.start(100);
    layout->addWidget(paintBox);

    auto* checkBox = new TCheckBox95(
        QStringLiteral("Відновлювати асоціації файлів Varn split під час кожного запуску програми"),
        &window);
    checkBox->SetWordWrap(true);
    checkBox->setFixedWidth(220);
    layout->addWidget(checkBox);
    auto* rightBox = new TCheckBox95(QStringLiteral("Поле праворуч"), &window);
    rightBox->SetAlignmentBtn(TAlignment::taRightJustify);
    rightBox->SetAlignment(TAlignment::taRightJustify);
    rightBox->setFixedWidth(220);
    layout->addWidget(rightBox);
    auto* pushBox = new TCheckBox95(QStringLiteral("Як кнопка"), &window);
    pushBox->SetLikePushButton(true);
    pushBox->SetAlignment(TAlignment::taCenter);
    pushBox->setChecked(true);
    layout->addWidget(pushBox);

    window.show();
    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(300, [&window, &screenshotPath, scale] {
            const QPixmap picture = window.grab();
            picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .save(screenshotPath);
            QApplication::quit();
        });
    }
    return application.exec();
}
