// The split, unite and stop commands of the action button, and the engine's
// questions and progress while they run.

#include "engine/FileUtils.h"
#include "engine/SetNames.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "shell/ShellTreeView.h"
#include "texts/ChecksumTexts.h"
#include "texts/EngineTexts.h"
#include "texts/TextFormat.h"
#include "texts/WindowTexts.h"
#include "ui/EngineRun.h"
#include "ui/MainForm.h"
#include "widgets/FlickerFreePaintBox.h"
#include "widgets/VarnTabSet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace SN = SettingNames;

namespace {

QString Text(const char* pattern, const std::string& value) {
    return QString::fromStdString(FormatText(pattern, {value}));
}

bool IsPiece(int64_t diskID) {
    return diskID >= 1 && diskID < BatchFileDiskID;
}

} // namespace

void TMainFormVarnSplit::TheSplit() {
    if (Busy() || m_command != TCommand::cmSplit || !SourceIsFile())
        return;
    const std::optional<TPlanResult> result = CurrentPlan();
    if (!result)
        return;
    const QString source = SourcePath();
    // What the engine would refuse is refused before the user is asked.
    if (result->plan.refusal) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                    QString::fromStdString(EngineFaultText(
                        EEngineError(*result->plan.refusal, source.toStdString()))));
        return;
    }
    const TSplitPlan& plan = result->plan;
    if (!m_dialogs.confirmSplit(this, QFileInfo(source).fileName(), result->blockSize,
                                plan.blockCount > 1 ? plan.lastPieceSize : 0, plan.blockCount,
                                cbMode->currentText()))
        return;
    ConfigureSplit(*result);
    m_totalBlocks = plan.blockCount;
    StartOperation(1);
}

void TMainFormVarnSplit::ConfigureSplit(const TPlanResult& result) {
    const TSplitMode mode = Mode();
    const bool keepExtension =
        m_settings->ReadBool(SN::SectionSettings, SN::KeepOriginalExt, SN::DefaultKeepOriginalExt);
    m_splitSource = SourcePath();
    m_splitBlockSize = result.blockSize;
    m_engine.SetFileName(m_splitSource.toStdString());
    m_engine.SetSize(result.blockSize);
    m_engine.SetBufferSize(
        std::max(1, m_settings->ReadInteger(SN::SectionSettings, SN::DefaultBufferSize,
                                            SN::DefaultBufferSizeForCopy)));
    m_engine.SetDOSCompatible(mode == smDOS);
    m_engine.SetWinSplitCompatible(mode == smWinSplit);
    m_engine.SetFullSignature(true);
    m_engine.SetVersion100(mode == smVersion10);
    m_engine.SetMakeBAT((mode == smDOS || mode == smWinSplit) && cbBAT->isChecked());
    m_engine.SetKeepOriginalExt(keepExtension);
    m_engine.SetMakeChecksums(cbSum->isChecked());
    m_engine.SetComment(mode == smNormal || mode == smSelfJoining ? CommentText() : std::string());
    m_engine.SetMakeSUB(mode == smSelfJoining);
    // A stub measured for an earlier self-joining split must not shift this one.
    m_engine.SetStubSize(mode == smSelfJoining ? result.stubLength : 0);
    m_engine.SetStubFileName(mode == smSelfJoining
                                 ? FindStub(m_context.programFolder.toStdString(), StubKind()).path
                                 : "");
    m_engine.SetSplitFileName(FirstPiecePath(TargetPath().toStdString(), m_engine.FileName(),
                                             m_engine.FirstPieceExtension(), keepExtension));
}

void TMainFormVarnSplit::TheUnSplit() {
    if (Busy() || m_command != TCommand::cmUnite)
        return;
    const QString source = SourcePath();
    // The inspection that chose this command read the set without a stub.
    m_engine.SetStubSize(0);
    // Named as "/unite" names it, the KeepOriginalExt setting playing the part
    // of "-keepext": a set cut from report.doc as report.doc.vrn gives report.doc.
    const bool keepExtension =
        m_settings->ReadBool(SN::SectionSettings, SN::KeepOriginalExt, SN::DefaultKeepOriginalExt);
    const std::string piece = source.toStdString();
    const std::optional<std::string> whole =
        WholeFilePathFor(AddTrailingSeparator(TargetPath().toStdString()) + FileNamePart(piece),
                         m_engine.OriginalExt(), keepExtension);
    if (!whole) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                    QString::fromStdString(EngineFaultText(
                        EEngineError(TEngineFault::efUnsafeExtension, source.toStdString()))));
        return;
    }
    m_engine.SetBufferSize(
        std::max(1, m_settings->ReadInteger(SN::SectionSettings, SN::DefaultBufferSize,
                                            SN::DefaultBufferSizeForCopy)));
    m_engine.SetSplitFileName(source.toStdString());
    m_engine.SetFileName(*whole);
    m_engine.SetDelAfterUnite(cbDel->isChecked());
    StartOperation(2);
}

void TMainFormVarnSplit::TheStop() {
    m_run->RequestStop();
    btnGo->setEnabled(false); // until the engine has returned
}

void TMainFormVarnSplit::StartOperation(int busyState) {
    m_busyState = busyState;
    m_cancelFlag = false;
    m_dontAskAgain = false;
    m_progressBase = 0;
    m_askForEachDisk =
        m_settings->ReadBool(SN::SectionSettings, SN::AskForEachDisk, SN::DefaultAskForEachDisk);
    ProgressBar1->setValue(0);
    laCurrentBlock->setText(QString::fromStdString(
        FormatText(Texts::CurrentBlock, {"0", std::to_string(m_totalBlocks)})));
    LockWhileBusy(true);
    SetCommand(TCommand::cmStop);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_run->Start(busyState == 1 ? TEngineRun::TOperation::opSplit
                                : TEngineRun::TOperation::opUnite);
}

// While the engine runs, only the stop command works: nothing else may change
// what the running operation was set up from.
void TMainFormVarnSplit::LockWhileBusy(bool busy) {
    for (QWidget* control : std::initializer_list<QWidget*>{shtSourceData,
                                                            shtTargetData,
                                                            ftsSplitParams,
                                                            cbFilter,
                                                            cbMode,
                                                            cbBytes,
                                                            btnSizeCalc,
                                                            edComment,
                                                            cbDel,
                                                            cbBAT,
                                                            cbSum,
                                                            btnVerify,
                                                            btnSettings,
                                                            btnHelp,
                                                            btnAbout,
                                                            btnSourceDesktop,
                                                            btnSortOrder,
                                                            btnSourceFavorites,
                                                            btnSourceAddToFavorites,
                                                            btnTargetDesktop,
                                                            btnTargetNewFolder,
                                                            btnTargetFavorites,
                                                            btnTargetAddToFavorites,
                                                            btnHelpWhatsThis})
        control->setEnabled(!busy);
    // An empty favorites list keeps its button disabled.
    btnSourceFavorites->setEnabled(!busy && !m_sourceFavorites.isEmpty());
    btnTargetFavorites->setEnabled(!busy && !m_targetFavorites.isEmpty());
    btnGo->setEnabled(true);
    setAcceptDrops(!busy);
}

void TMainFormVarnSplit::OperationFinished(bool completed, const QString& errorText) {
    QApplication::restoreOverrideCursor();
    const bool splitting = m_busyState == 1;
    const std::string subject = splitting ? m_splitSource.toStdString() : m_engine.FileName();
    LockWhileBusy(false);
    ResetProgressDisplay();
    SetCommand(splitting ? TCommand::cmSplit : TCommand::cmUnite);
    if (!splitting)
        SetParameterControlsEnabled(false);
    if (!errorText.isEmpty()) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, errorText);
    } else if (!completed) {
        ShowMessage(QMessageBox::Warning,
                    splitting ? Texts::SplitCancelledCaption : Texts::UniteCancelledCaption,
                    Text(splitting ? Texts::SplitCancelled : Texts::UniteCancelled, subject));
    } else {
        QString finished = Text(splitting ? Texts::SplitFinished : Texts::UniteFinished, subject);
        if (!splitting && m_engine.ChecksumCheck() == TChecksumCheck::ccNoChecksumFile)
            finished += "\n" + Text(Texts::UniteNotVerified, m_engine.ChecksumFileName());
        ShowMessage(QMessageBox::Information,
                    splitting ? Texts::SplitFinishedCaption : Texts::UniteFinishedCaption,
                    finished);
        if (splitting && cbDel->isChecked()) {
            QFile source(m_splitSource);
            if (!source.remove())
                ShowMessage(
                    QMessageBox::Critical, Texts::CaptionError,
                    QString::fromStdString(FormatText(
                        Texts::SourceNotDeleted, {subject, source.errorString().toStdString()})));
        }
        if (!splitting && !m_engine.UndeletedFiles().empty()) {
            std::string names;
            for (const std::string& name : m_engine.UndeletedFiles())
                names += (names.empty() ? "" : ", ") + name;
            ShowMessage(QMessageBox::Warning, Texts::CaptionAttention,
                        Text(Texts::PiecesNotDeleted, names));
        }
    }
    if (!splitting)
        cbDel->setText(Texts::DeleteBlocksAfterUnite);
    if (m_closeWhenDone) {
        close();
        return;
    }
    if (m_selectionChangedWhileBusy) {
        m_selectionChangedWhileBusy = false;
        shtSourceDataChange();
    }
    emit OperationEnded();
}

void TMainFormVarnSplit::ResetProgressDisplay() {
    ProgressBar1->setValue(0);
    m_piecePicture = -1;
    ffpbPB->update();
    laCurrentBlock->clear();
    btnGo->setEnabled(true);
}

void TMainFormVarnSplit::EngineProgress(uint16_t percentDone) {
    // The bar has a fixed number of steps and the position is scaled to it in
    // 64 bits, so a set of any number of pieces fills it once and never wraps.
    const int64_t whole = std::max<int64_t>(m_totalBlocks, 1) * 100;
    const int64_t position = std::min(m_progressBase + percentDone, whole);
    ProgressBar1->setValue(static_cast<int>(position * ProgressSteps / whole));
}

void TMainFormVarnSplit::EngineNeedDisk(int32_t diskID, int32_t numOfDisks, std::string& path,
                                        bool& proceed) {
    bool ask = m_askForEachDisk;
    if (diskID >= 2 && diskID < BatchFileDiskID) {
        m_progressBase += 100;
        if (ask && m_dontAskAgain)
            ask = false;
    }
    const QString current = QString::fromStdString(path);
    if (m_busyState == 1) {
        proceed = false;
        m_cancelFlag = true;
        if (IsPiece(diskID)) {
            const std::string folder = FolderPart(path).empty() ? "." : FolderPart(path);
            if (!ask && m_splitBlockSize <= m_dialogs.freeSpaceOf(folder)) {
                proceed = true;
            } else {
                QString newPath;
                proceed = m_dialogs.askForNextDisk(this, true, diskID, numOfDisks, current, newPath,
                                                   m_dontAskAgain);
                if (proceed)
                    path = newPath.toStdString();
            }
            m_cancelFlag = !proceed;
            SetPiecePicture(diskID);
        } else {
            const std::string folder = FolderPart(path);
            if (!ask && numOfDisks <= m_dialogs.freeSpaceOf(folder.empty() ? "." : folder)) {
                proceed = true;
            } else {
                QString newFolder;
                proceed = diskID == ChecksumFileDiskID
                              ? m_dialogs.askForChecksumFileDisk(
                                    this, QString::fromStdString(folder), newFolder)
                              : m_dialogs.askForFileDisk(this, diskID == InfoFileDiskID,
                                                         QString::fromStdString(folder), newFolder);
                if (proceed)
                    path = AddTrailingSeparator(newFolder.toStdString()) + FileNamePart(path);
            }
            m_cancelFlag = !proceed;
        }
    } else if (m_busyState == 2) {
        if (!QFileInfo(current).isFile()) {
            QString newPath;
            bool unused = false;
            proceed =
                m_dialogs.askForNextDisk(this, false, diskID, numOfDisks, current, newPath, unused);
            if (proceed)
                path = newPath.toStdString();
        }
        SetPiecePicture(diskID);
    }
    laCurrentBlock->setText(
        IsPiece(diskID)
            ? QString::fromStdString(FormatText(
                  Texts::CurrentBlock, {std::to_string(diskID), std::to_string(m_totalBlocks)}))
            : QString());
}

void TMainFormVarnSplit::SetPiecePicture(int64_t diskID) {
    if (diskID == 1)
        m_piecePicture = Mode() == smDOS && m_busyState == 1 ? 5 : 4;
    else if (diskID >= 2 && diskID <= 350)
        m_piecePicture = static_cast<int>((diskID - 1) % 4);
    else
        m_piecePicture = 0;
    ffpbPB->update();
}
