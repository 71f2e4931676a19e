#include "ui/InfoForm.h"

#include "texts/DialogTexts.h"
#include "ui/SizeText.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

std::function<void(TInfoForm&)> TInfoForm::OnShownForTest;

namespace {

QLabel* Named(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QFrame* Line(const char* name, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TInfoForm::TInfoForm(QWidget* parent, const QString& fileName, int64_t blockSize,
                     int64_t lastBlockSize, int64_t blockCount, const QString& modeName)
    : TModalFrame(parent, QSize(440, 262), "MAINICONZVIEW", Texts::ConfirmTitle,
                  Texts::ConfirmDescription) {
    setObjectName("TInfoForm");
    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(12, 8, 12, 10);
    layout->setSpacing(4);
    layout->addWidget(Named("laMessage", Texts::ConfirmMessage, Body()));
    auto* name = new QLineEdit(fileName, Body());
    name->setObjectName("edFileName");
    name->setReadOnly(true);
    name->setFrame(false);
    name->setCursor(Qt::ArrowCursor);
    QPalette palette = name->palette();
    palette.setColor(QPalette::Base, Body()->palette().color(QPalette::Window));
    name->setPalette(palette);
    layout->addWidget(name);
    layout->addWidget(Named("laMessage2", Texts::ConfirmMessage2, Body()));
    layout->addWidget(Line("Bevel1", Body()));

    auto* grid = new QGridLayout;
    const auto row = [&](int at, const char* titleName, const char* title, const char* valueName,
                         const QString& value) {
        QLabel* titleLabel = Named(titleName, title, Body());
        QLabel* valueLabel = Named(valueName, value, Body());
        valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(titleLabel, at, 0);
        grid->addWidget(valueLabel, at, 1);
        return std::pair{titleLabel, valueLabel};
    };
    row(0, "laBlockSizeTitle", Texts::ConfirmBlockSize, "laBlockSize",
        SizeWithKilobytes(blockSize));
    row(1, "laBlockCountTitle", Texts::ConfirmBlockCount, "laBlockCount",
        QString::number(blockCount));
    const auto [lastTitle, lastValue] = row(2, "laLastBlockSizeTitle", Texts::ConfirmLastBlock,
                                            "laLastBlockSize", SizeWithKilobytes(lastBlockSize));
    // A set of one block has no last block of its own.
    lastTitle->setVisible(lastBlockSize != 0);
    lastValue->setVisible(lastBlockSize != 0);
    layout->addLayout(grid);
    QLabel* mode = Named("laMode", modeName, Body());
    QFont bold = mode->font();
    bold.setBold(true);
    mode->setFont(bold);
    layout->addWidget(mode);
    layout->addWidget(Line("Bevel2", Body()));
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Named("laAsk", Texts::ConfirmAsk, Body()), 1);
    auto* yes = new QPushButton(Texts::ConfirmYes, Body());
    yes->setObjectName("btnYes");
    auto* no = new QPushButton(Texts::ConfirmNo, Body());
    no->setObjectName("btnNo");
    yes->setAutoDefault(false);
    no->setDefault(true);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    layout->addLayout(buttons);
    connect(yes, &QPushButton::clicked, this, [this] {
        m_answeredYes = true;
        accept();
    });
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    no->setFocus();
}

void TInfoForm::showEvent(QShowEvent* event) {
    TModalFrame::showEvent(event);
    if (OnShownForTest)
        QTimer::singleShot(0, this, [this] { OnShownForTest(*this); });
}

bool ConfirmSplit(QWidget* parent, const QString& fileName, int64_t blockSize,
                  int64_t lastBlockSize, int64_t blockCount, const QString& modeName) {
    TInfoForm form(parent, fileName, blockSize, lastBlockSize, blockCount, modeName);
    form.exec();
    return form.AnsweredYes();
}
