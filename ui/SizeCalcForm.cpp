#include "ui/SizeCalcForm.h"

#include "engine/BlockArithmetic.h"
#include "engine/FileUtils.h"
#include "engine/SelfJoin.h"
#include "engine/SetNames.h"
#include "engine/Signature.h"
#include "engine/SplitPlan.h"
#include "settings/PlatformHelpers.h"
#include "texts/EngineTexts.h"
#include "texts/QtTextFormat.h"
#include "texts/SizeCalcTexts.h"
#include "texts/WindowTexts.h"
#include "ui/SizeText.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

std::function<void(QWidget*, const QString&)> TSizeCalcForm::ShowError = [](QWidget* parent,
                                                                            const QString& text) {
    QMessageBox::critical(parent, Texts::CaptionError, text);
};
std::function<void(TSizeCalcForm&)> TSizeCalcForm::OnShownForTest;

namespace {

constexpr int MinBlockCount = 2;
constexpr int MaxBlockCount = 999;
// Block sizes are 32-bit byte counts, as every preset and stored size is; the
// speed box takes the same range.
constexpr int64_t LargestNumber = std::numeric_limits<int32_t>::max();
constexpr const char* TimeFormat = "HH:mm:ss";

// A whole decimal number of digits only (blanks around it allowed), at most
// `largest`; nothing for any other text, so "33 600" or "1e5" never converts.
std::optional<int64_t> WholeNumber(const QString& text, int64_t largest) {
    const std::string digits = TrimControl(text.toStdString());
    if (digits.empty() || digits.size() > 10)
        return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > largest)
        return std::nullopt;
    return value;
}

// The block count's spin edit. A QSpinBox puts its last good value back over
// a text it cannot take (on Enter or when the focus leaves), so OK would go on
// with a number the user no longer sees; this one keeps what was typed, and
// the calculator checks it.
class TBlockCountEdit : public QAbstractSpinBox {
public:
    explicit TBlockCountEdit(QWidget* parent) : QAbstractSpinBox(parent) {
        lineEdit()->setText(QString::number(MinBlockCount));
    }

    QLineEdit* Edit() const { return lineEdit(); }

    void stepBy(int steps) override {
        const int64_t value = WholeNumber(text(), MaxBlockCount).value_or(MinBlockCount);
        lineEdit()->setText(
            QString::number(std::clamp<int64_t>(value + steps, MinBlockCount, MaxBlockCount)));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override {
        const std::optional<int64_t> value = WholeNumber(text(), MaxBlockCount);
        if (!value)
            return StepUpEnabled | StepDownEnabled;
        StepEnabled enabled = StepNone;
        if (*value < MaxBlockCount)
            enabled |= StepUpEnabled;
        if (*value > MinBlockCount)
            enabled |= StepDownEnabled;
        return enabled;
    }

    QSize sizeHint() const override { return WithRoomForDigits(QAbstractSpinBox::sizeHint()); }
    QSize minimumSizeHint() const override {
        return WithRoomForDigits(QAbstractSpinBox::minimumSizeHint());
    }

private:
    // The base class knows no values to measure, so room for them is added.
    QSize WithRoomForDigits(QSize hint) const {
        hint.rwidth() += fontMetrics().horizontalAdvance(QString::number(MaxBlockCount) + "0");
        return hint;
    }
};

QLabel* Named(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// The average character width and the height of the dialog font, the measure
// the dialog's design values are scaled by (w/6 across, h/12 down).
struct TFontMeasure {
    int w;
    int h;
};

TFontMeasure MeasureFont(const QFontMetrics& metrics) {
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return {std::max(1, static_cast<int>(metrics.horizontalAdvance(letters) / 52)),
            std::max(1, metrics.height())};
}

QSize ClientSize() {
    const TFontMeasure measure = MeasureFont(QFontMetrics(QApplication::font()));
    return {386 * measure.w / 6, 285 * measure.h / 12};
}

} // namespace

TSizeCalcForm::TSizeCalcForm(QWidget* parent, TSizeCalcSource source)
    : TModalFrame(parent, ClientSize(),
                  // Unknown Windows versions take the XP icon too, here alone.
                  GetWindowsVersion() == 11 || GetWindowsVersion() == 0 ? "MAINICONZCALCXP"
                                                                        : "MAINICONZCALC",
                  Texts::CalcTitle, Texts::CalcDescription),
      m_source(std::move(source)) {
    setObjectName("TSizeCalcForm");
    findChild<QLabel*>("imgIcon")->setObjectName("imgDlgIcon");
    CreateControls();
    rbByNumber->setChecked(true);
    edBlockCount->setFocus();
}

void TSizeCalcForm::CreateControls() {
    QWidget* body = Body();
    const int w = MeasureFont(fontMetrics()).w;
    const int gap = 3 * w / 5;
    QFont bold = font();
    bold.setBold(true);

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(12, 6, 12, 8);
    layout->setSpacing(3);

    rbByNumber = new QRadioButton(Texts::CalcByNumber, body);
    rbByNumber->setObjectName("rbByNumber");
    rbByNumber->setFont(bold);
    layout->addWidget(rbByNumber);
    auto* numberRow = new QHBoxLayout;
    numberRow->setSpacing(gap);
    numberRow->addSpacing(20);
    laBlockCount = Named("laBlockCount", Texts::CalcBlockCount, body);
    auto* blockCount = new TBlockCountEdit(body);
    edBlockCount = blockCount;
    edBlockCount->setObjectName("edBlockCount");
    laBlockCount->setBuddy(edBlockCount);
    numberRow->addWidget(laBlockCount);
    numberRow->addWidget(edBlockCount);
    numberRow->addStretch(1);
    layout->addLayout(numberRow);

    rbByDownloadTime = new QRadioButton(Texts::CalcByDownloadTime, body);
    rbByDownloadTime->setObjectName("rbByDownloadTime");
    rbByDownloadTime->setFont(bold);
    layout->addWidget(rbByDownloadTime);
    auto* timeRow = new QHBoxLayout;
    timeRow->setSpacing(gap);
    timeRow->addSpacing(20);
    laTime = Named("laTime", Texts::CalcTime, body);
    dtpTime = new QTimeEdit(QTime(0, 5, 0), body);
    dtpTime->setObjectName("dtpTime");
    dtpTime->setDisplayFormat(TimeFormat);
    laTime->setBuddy(dtpTime);
    laSpeed = Named("laSpeed", Texts::CalcSpeed, body);
    cbSpeed = new QComboBox(body);
    cbSpeed->setObjectName("cbSpeed");
    cbSpeed->setEditable(true);
    cbSpeed->setInsertPolicy(QComboBox::NoInsert);
    for (const char* speed : Texts::CalcSpeeds)
        cbSpeed->addItem(speed);
    cbSpeed->setEditText(Texts::CalcDefaultSpeed);
    cbSpeed->lineEdit()->installEventFilter(this);
    laSpeed->setBuddy(cbSpeed);
    labps = Named("labps", Texts::CalcBps, body);
    timeRow->addWidget(laTime);
    timeRow->addWidget(dtpTime);
    timeRow->addSpacing(10 * w / 5 - gap);
    timeRow->addWidget(laSpeed);
    timeRow->addWidget(cbSpeed, 1);
    timeRow->addWidget(labps);
    layout->addLayout(timeRow);

    auto* results = new QGroupBox(Texts::CalcResults, body);
    results->setObjectName("gbResults");
    auto* grid = new QGridLayout(results);
    grid->setContentsMargins(8, 2, 8, 4);
    grid->setVerticalSpacing(1);
    const auto row = [&](int at, const char* titleName, const char* title, const char* valueName) {
        grid->addWidget(Named(titleName, title, results), at, 0);
        QLabel* value = Named(valueName, "0", results);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(value, at, 1);
        return value;
    };
    laTotalOfBlocks = row(0, "laTotalOfBlocksTitle", Texts::CalcTotalOfBlocks, "laTotalOfBlocks");
    laSizeOfBlock = row(1, "laSizeOfBlockTitle", Texts::CalcSizeOfBlock, "laSizeOfBlock");
    laSizeOfLastBlock =
        row(2, "laSizeOfLastBlockTitle", Texts::CalcSizeOfLastBlock, "laSizeOfLastBlock");
    grid->setColumnStretch(1, 1);
    layout->addWidget(results);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnOK = new QPushButton(Texts::CalcOK, body);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton(Texts::CalcCancel, body);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    connect(rbByNumber, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            SelectWay(true);
    });
    connect(rbByDownloadTime, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            SelectWay(false);
    });
    connect(blockCount->Edit(), &QLineEdit::textChanged, this, &TSizeCalcForm::Calculate);
    connect(dtpTime, &QTimeEdit::timeChanged, this, &TSizeCalcForm::Calculate);
    connect(cbSpeed, &QComboBox::currentTextChanged, this, &TSizeCalcForm::Calculate);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

// The controls of the way not chosen are disabled.
void TSizeCalcForm::SelectWay(bool byNumber) {
    for (QWidget* control : std::initializer_list<QWidget*>{laBlockCount, edBlockCount})
        control->setEnabled(byNumber);
    for (QWidget* control :
         std::initializer_list<QWidget*>{laTime, dtpTime, laSpeed, cbSpeed, labps})
        control->setEnabled(!byNumber);
    Calculate();
}

void TSizeCalcForm::cbSpeedExit() {
    if (TrimControl(cbSpeed->currentText().toStdString()).empty()) {
        cbSpeed->setEditText(Texts::CalcDefaultSpeed);
        QTimer::singleShot(0, cbSpeed, [this] { cbSpeed->setFocus(); });
    }
    Calculate();
}

bool TSizeCalcForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cbSpeed->lineEdit()) {
        if (event->type() == QEvent::KeyPress) {
            // Digits, the blank and editing keys only; pasting goes through
            // the same check as typing when the figures are computed.
            for (const QChar c : static_cast<QKeyEvent*>(event)->text())
                if (c.unicode() >= 32 && !(c >= '0' && c <= '9') && c != ' ')
                    return true;
        } else if (event->type() == QEvent::FocusOut && isVisible()) {
            // Focus that goes with the closing dialog leaves nothing to refill.
            cbSpeedExit();
        }
    }
    return TModalFrame::eventFilter(watched, event);
}

// The stub check of the self-joining mode: a stub that cannot be copied sends
// the window back to the normal mode, whose figures then follow.
int64_t TSizeCalcForm::CheckStub() {
    const TStubLookup stub = FindStub(m_source.programFolder.toStdString(), m_source.stubKind);
    if (stub.state == TStubState::ssFound)
        return StubLengthOf(stub.path);
    ShowError(this, stub.state == TStubState::ssMissing ? Texts::StubMissing : Texts::StubDamaged);
    m_source.setMode(smNormal);
    return 0;
}

std::optional<uint16_t> TSizeCalcForm::WantedCount(QString& refusal) const {
    const QString typed = edBlockCount->text();
    const std::optional<int64_t> count = WholeNumber(typed, MaxBlockCount);
    if (!count || *count < MinBlockCount) {
        refusal = FormatQText(Texts::CalcBadCount, {typed});
        return std::nullopt;
    }
    return static_cast<uint16_t>(*count);
}

std::optional<TSizeCalcForm::TTransfer> TSizeCalcForm::Transfer(QString& refusal) const {
    const QTime time = QTime::fromString(dtpTime->text(), TimeFormat);
    if (!time.isValid() || time.msecsSinceStartOfDay() < 1000) {
        refusal = FormatQText(Texts::CalcBadTime, {dtpTime->text()});
        return std::nullopt;
    }
    const QString typed = cbSpeed->currentText();
    const std::optional<int64_t> speed = WholeNumber(typed, LargestNumber);
    if (!speed || *speed < 1) {
        refusal = FormatQText(Texts::CalcBadSpeed, {typed});
        return std::nullopt;
    }
    return TTransfer{time, *speed};
}

std::optional<int64_t> TSizeCalcForm::SizeByNumber(const TSplitPlanInput& input,
                                                   uint16_t count) const {
    return BlockSizeForPieceCount(input, count);
}

std::optional<int64_t> TSizeCalcForm::SizeByTime(const TSplitPlanInput& input,
                                                 const TTransfer& transfer) const {
    // What one transfer moves does not depend on the header, so the plain
    // variant serves every mode; the count comes from the plan.
    const std::optional<TBlockSizing> sizing =
        BlockSizeForTime(input.wholeSize, transfer.time.hour(), transfer.time.minute(),
                         transfer.time.second(), transfer.speed);
    return sizing ? std::optional<int64_t>(sizing->blockSize) : std::nullopt;
}

TSizeCalcForm::TFigures TSizeCalcForm::Figures() {
    TFigures figures;
    const bool byNumber = rbByNumber->isChecked();
    // The inputs are checked first, so that a half-typed number does not
    // bring up the stub's message.
    std::optional<uint16_t> count;
    std::optional<TTransfer> transfer;
    if (byNumber)
        count = WantedCount(figures.refusal);
    else
        transfer = Transfer(figures.refusal);
    if (!count && !transfer)
        return figures;
    const int64_t stubLength = m_source.mode() == smSelfJoining ? CheckStub() : 0;
    const TSplitMode mode = m_source.mode();

    figures.file = m_source.selectedFile();
    const std::string path = figures.file.toStdString();
    figures.fileSize = path.empty() ? 0 : FileSizeOf(path);
    if (figures.fileSize < 1) {
        figures.refusal = Texts::CalcNoFile;
        return figures;
    }
    // The split the window would start with the size found.
    TSplitPlanInput input;
    input.wholeSize = figures.fileSize;
    input.signedSet = mode != smDOS && mode != smWinSplit;
    input.version100 = mode == smVersion10;
    input.extension = ExtensionOf(path);
    input.comment = mode == smNormal || mode == smSelfJoining ? m_source.comment() : std::string();
    input.stubLength = mode == smSelfJoining ? stubLength : 0;
    figures.blockSize = count ? SizeByNumber(input, *count) : SizeByTime(input, *transfer);
    if (!figures.blockSize) {
        // Only a product past 64 bits would give nothing, which the bounds on
        // time and speed rule out; it would be no size either.
        figures.refusal = FormatQText(Texts::CalcBlockTooLarge, {Texts::UnknownCount});
        return figures;
    }
    if (*figures.blockSize > LargestNumber) {
        figures.refusal =
            FormatQText(Texts::CalcBlockTooLarge, {GroupedNumber(*figures.blockSize)});
        return figures;
    }
    // The count shown is what a split with this size writes, not the count
    // asked for: the remainder added to each block can leave fewer blocks.
    input.blockSize = *figures.blockSize;
    const TSplitPlan plan = PlanSplit(input);
    if (plan.refusal) {
        figures.refusal =
            QString::fromStdString(EngineFaultText(EEngineError(*plan.refusal, path)));
        return figures;
    }
    figures.blockCount = plan.blockCount;
    figures.lastBlock = plan.blockCount > 1 ? plan.lastPieceSize : 0;
    return figures;
}

void TSizeCalcForm::ShowFigures(const TFigures& figures) {
    const bool taken = figures.refusal.isEmpty();
    laTotalOfBlocks->setText(taken ? QString::number(figures.blockCount)
                                   : QString(Texts::UnknownCount));
    laSizeOfBlock->setText(figures.blockSize ? SizeInBytes(*figures.blockSize)
                                             : QString(Texts::UnknownCount));
    laSizeOfLastBlock->setText(taken ? SizeInBytes(figures.lastBlock)
                                     : QString(Texts::UnknownCount));
}

void TSizeCalcForm::Calculate() {
    m_figures = Figures();
    ShowFigures(m_figures);
}

std::optional<int64_t> TSizeCalcForm::BlockSize() const {
    if (!m_figures.refusal.isEmpty())
        return std::nullopt;
    return m_figures.blockSize;
}

void TSizeCalcForm::done(int result) {
    if (result == QDialog::Accepted) {
        // The file may have changed while the dialog was open; OK takes only
        // figures that still hold.
        const TFigures shown = m_figures;
        Calculate();
        if (!m_figures.refusal.isEmpty()) {
            ShowError(this, m_figures.refusal);
            return;
        }
        if (!(m_figures == shown)) {
            ShowError(this, Texts::CalcFileChanged);
            return;
        }
    }
    TModalFrame::done(result);
}

void TSizeCalcForm::showEvent(QShowEvent* event) {
    TModalFrame::showEvent(event);
    if (OnShownForTest)
        QTimer::singleShot(0, this, [this] { OnShownForTest(*this); });
}

bool ExecuteSizeCalc(const TSizeCalcSource& source, QString& blockSizeText) {
    TSizeCalcForm form(nullptr, source);
    if (form.exec() != QDialog::Accepted)
        return false;
    const std::optional<int64_t> blockSize = form.BlockSize();
    if (!blockSize)
        return false;
    blockSizeText = GroupedNumber(*blockSize);
    return true;
}
