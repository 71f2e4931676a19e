// The split parameters under the source tree: block size, mode, filter and
// the comment page, and the block count they give.

#include "engine/FileUtils.h"
#include "engine/SelfJoin.h"
#include "engine/SetNames.h"
#include "shell/ShellTreeView.h"
#include "texts/StubChoiceTexts.h"
#include "texts/TextFormat.h"
#include "texts/WindowTexts.h"
#include "ui/MainForm.h"
#include "ui/SizeCalcForm.h"
#include "ui/SizeText.h"
#include "widgets/VarnTabSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QStackedWidget>

namespace {

// The smallest block the box keeps: a signature header alone is 34 bytes.
constexpr int64_t SmallestBlockSize = 34;
constexpr int64_t DefaultBlockSizeText = 1457664;

} // namespace

TSplitMode TMainFormVarnSplit::Mode() const {
    const int index = cbMode->currentIndex();
    return index >= 0 && index <= 4 ? static_cast<TSplitMode>(index) : smNormal;
}

std::optional<int64_t> TMainFormVarnSplit::BlockSize() const {
    return ParseGroupedNumber(cbBytes->currentText());
}

// The comment as the pieces store it: every line of the memo followed by CR LF.
std::string TMainFormVarnSplit::CommentText() const {
    const QString text = edComment->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split('\n');
    QString stored;
    for (const QString& line : lines)
        stored += line + "\r\n";
    return stored.toStdString();
}

void TMainFormVarnSplit::cbBytesEditingFinished() {
    const QString text = cbBytes->currentText();
    std::optional<int64_t> value = TrimControl(text.toStdString()).empty()
                                       ? std::optional<int64_t>(DefaultBlockSizeText)
                                       : ParseGroupedNumber(text);
    if (!value) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, Texts::WrongBlockSize);
        cbBytes->setCurrentIndex(0);
        return;
    }
    cbBytes->setEditText(GroupedNumber(std::max(*value, SmallestBlockSize)));
    RecomputeBlocks();
}

void TMainFormVarnSplit::ApplyModeTabs() {
    const TSplitMode mode = Mode();
    const bool plainOrOld = mode == smDOS || mode == smVersion10 || mode == smWinSplit;
    if (plainOrOld) {
        if (ftsSplitParams->DisabledTabs().isEmpty())
            ftsSplitParams->SetDisabledTabs({Texts::TabComment});
    } else {
        ftsSplitParams->SetDisabledTabs({});
    }
    cbBAT->setVisible(mode == smDOS || mode == smWinSplit);
    cbWindowsStub->setVisible(mode == smSelfJoining);
}

void TMainFormVarnSplit::cbModeChange() {
    if (m_pieceSelected)
        return;
    ApplyModeTabs();
    RecomputeBlocks();
}

void TMainFormVarnSplit::cbFilterChange() {
    const int index = cbFilter->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= m_filters.size())
        return;
    const QString mask = m_filters[static_cast<std::size_t>(index)].item->Mask();
    // Only the all-files filter hides shortcuts, settings and batch files.
    if (UsesShortcutsBatchCheck(mask))
        shtSourceData->OnFileAdd = [](const QString& fileName, std::uint32_t, bool& allow) {
            allow = AcceptedByShortcutsBatch(fileName);
        };
    else
        shtSourceData->OnFileAdd = nullptr;
    shtSourceData->SetFileMask(mask);
}

// The calculator reads the mode, the comment and the selection afresh at each
// calculation; its size goes into the box as if typed, so the count follows.
void TMainFormVarnSplit::btnSizeCalcClick() {
    if (Busy() || m_pieceSelected || !SourceIsFile())
        return;
    TSizeCalcSource source;
    source.selectedFile = [this] { return SourceIsFile() ? SourcePath() : QString(); };
    source.mode = [this] { return Mode(); };
    source.setMode = [this](TSplitMode mode) { cbMode->setCurrentIndex(mode); };
    source.comment = [this] { return CommentText(); };
    source.programFolder = m_context.programFolder;
    source.stubKind = StubKind();
    QString blockSizeText;
    if (ExecuteSizeCalc(source, blockSizeText) && !blockSizeText.isEmpty()) {
        cbBytes->setEditText(blockSizeText);
        RecomputeBlocks();
    }
}

int64_t TMainFormVarnSplit::StubLength() const {
    return FindStub(m_context.programFolder.toStdString(), StubKind()).size;
}

TStubKind TMainFormVarnSplit::StubKind() const {
    return cbWindowsStub->isChecked() ? TStubKind::skWindows : TStubKind::skLinux;
}

std::optional<TMainFormVarnSplit::TPlanResult> TMainFormVarnSplit::CurrentPlan() {
    const std::optional<int64_t> blockSize = BlockSize();
    if (!blockSize) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, Texts::WrongBlockSize);
        const QSignalBlocker blocker(cbBytes);
        cbBytes->setCurrentIndex(0);
        return std::nullopt;
    }
    TPlanResult result;
    result.blockSize = *blockSize;
    const TSplitMode mode = Mode();
    if (mode == smSelfJoining) {
        const TStubLookup stub = FindStub(m_context.programFolder.toStdString(), StubKind());
        if (stub.state != TStubState::ssFound) {
            ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                        stub.state == TStubState::ssDamaged  ? Texts::StubDamaged
                        : StubKind() == TStubKind::skWindows ? Texts::WindowsStubMissing
                                                             : Texts::StubMissing);
            cbMode->setCurrentIndex(smNormal);
            return CurrentPlan();
        }
        result.stubLength = StubLengthOf(stub.path);
    }
    const std::string file = SourcePath().toStdString();
    TSplitPlanInput input;
    input.wholeSize = FileSizeOf(file);
    input.blockSize = *blockSize;
    input.signedSet = mode != smDOS && mode != smWinSplit;
    input.version100 = mode == smVersion10;
    input.extension = ExtensionOf(file);
    input.comment = mode == smNormal || mode == smSelfJoining ? CommentText() : std::string();
    input.stubLength = result.stubLength;
    result.plan = PlanSplit(input);
    return result;
}

void TMainFormVarnSplit::RecomputeBlocks() {
    if (m_pieceSelected || !SourceIsFile())
        return;
    const std::optional<TPlanResult> result = CurrentPlan();
    if (!result)
        return;
    const TSplitPlan& plan = result->plan;
    m_totalBlocks = plan.refusal ? 0 : plan.blockCount;
    laTotalBlocks->setText(plan.refusal ? QString(Texts::UnknownCount)
                                        : QString::number(plan.blockCount));
    const bool several = !plan.refusal && plan.blockCount > 1;
    laLastBlock->setText(SizeInBytes(several ? plan.lastPieceSize : 0));
    laLastBlockTitle->setVisible(several);
    laLastBlock->setVisible(several);
    btnGo->setVisible(several && TargetAccepts());
}

void TMainFormVarnSplit::comment_Load() {
    const QString name =
        QFileDialog::getOpenFileName(this, QString(), QString(), Texts::CommentFileFilter);
    if (name.isEmpty())
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                    FormatText(Texts::CommentNotRead, {name.toStdString()}).c_str());
        return;
    }
    edComment->setPlainText(QString::fromUtf8(file.readAll()).remove('\r'));
    RecomputeBlocks();
}

void TMainFormVarnSplit::comment_Save() {
    QString name =
        QFileDialog::getSaveFileName(this, QString(), QString(), Texts::CommentFileFilter);
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += ".txt";
    QSaveFile file(name);
    const QByteArray text = QByteArray::fromStdString(CommentText());
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                    FormatText(Texts::CommentNotSaved, {name.toStdString()}).c_str());
}

void TMainFormVarnSplit::comment_Clear() {
    edComment->clear();
    RecomputeBlocks();
}
