// The main window's answer to a selection: what the user is about to do (split
// a file, unite a set, or nothing), shown in the information panel.

#include "engine/BlockArithmetic.h"
#include "engine/FileUtils.h"
#include "platform/FileAttributes.h"
#include "platform/FileTimes.h"
#include "platform/Volumes.h"
#include "shell/ShellTreeView.h"
#include "texts/EngineTexts.h"
#include "texts/TextFormat.h"
#include "texts/WindowTexts.h"
#include "ui/MainForm.h"
#include "ui/SizeText.h"
#include "widgets/VarnTabSet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QToolButton>

namespace {

QString DateText(uint32_t packed) {
    std::time_t moment = 0;
    if (!UnpackDosDateTime(packed, moment))
        return Texts::UnknownDate;
    const QLocale locale;
    const QDateTime time = QDateTime::fromSecsSinceEpoch(moment);
    // The long time format without its time zone, which packed times do not carry.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression("\\s*t+"));
    return locale.toString(time.date(), QLocale::ShortFormat) + " " +
           locale.toString(time.time(), timeFormat);
}

QString Letters(uint32_t attributes) {
    return QString::fromStdString(AttributeLetters(attributes));
}

} // namespace

QString TMainFormVarnSplit::SourcePath() const {
    return shtSourceData->Path();
}

QString TMainFormVarnSplit::TargetPath() const {
    return shtTargetData->Path();
}

bool TMainFormVarnSplit::SourceIsFile() const {
    const QString path = SourcePath();
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// Pieces are never written to a CD or a RAM disk.
bool TMainFormVarnSplit::TargetAccepts() const {
    const QString target = TargetPath();
    if (target.isEmpty())
        return false;
    const TDriveType type = DriveTypeOf(target.toStdString());
    return type != dtCdRom && type != dtRamDisk;
}

void TMainFormVarnSplit::shtSourceDataChange() {
    // The engine belongs to the running operation; the selection is looked at
    // again when it has ended.
    if (Busy()) {
        m_selectionChangedWhileBusy = true;
        return;
    }
    const QString path = SourcePath();
    btnSourceAddToFavorites->setEnabled(!path.isEmpty() && !QFileInfo(path).isFile());
    const QString name = FileNamePart(path.toStdString()).c_str();
    if (path.isEmpty() || name.isEmpty() || !QFileInfo(path).isFile()) {
        setWindowTitle(Texts::AppTitle);
        ShowNoFile();
        btnGo->setVisible(false);
        SetCommand(TCommand::cmNone);
        return;
    }
    setWindowTitle(FormatText(Texts::AppTitleWithFile, {name.toStdString()}).c_str());
    const QString extension = QString::fromStdString(ExtensionOf(path.toStdString())).toLower();
    if (extension == ".vrn" || extension == ".wsp")
        ShowPieceSet(path);
    else
        ShowSourceFile(path);
}

void TMainFormVarnSplit::shtTargetDataChange() {
    if (Busy())
        return;
    const bool hasTarget = !TargetPath().isEmpty();
    btnTargetNewFolder->setEnabled(hasTarget);
    btnTargetAddToFavorites->setEnabled(hasTarget);
    btnGo->setVisible(TargetAccepts() && SourceIsFile() &&
                      (m_pieceSelected ? m_command == TCommand::cmUnite : m_totalBlocks > 1));
}

void TMainFormVarnSplit::SetParameterControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{laMode, cbMode, laBlockSize, cbBytes, btnSizeCalc})
        control->setEnabled(enabled);
}

// Fills the panel's rows in order; rows past the given ones are hidden. An
// empty title hides its row.
void TMainFormVarnSplit::ShowPanelRows(const std::vector<std::pair<QString, QString>>& rows) {
    laNoFile->setVisible(false);
    for (std::size_t i = 0; i < m_infoRows.size(); ++i) {
        const bool shown = i < rows.size() && !rows[i].first.isEmpty();
        m_infoRows[i].first->setText(shown ? rows[i].first : QString());
        m_infoRows[i].second->setText(shown ? rows[i].second : QString());
        m_infoRows[i].first->setVisible(shown);
        m_infoRows[i].second->setVisible(shown);
    }
}

void TMainFormVarnSplit::ShowNoFile() {
    m_pieceSelected = false;
    m_totalBlocks = 0;
    ShowVerifyFor(false);
    SetParameterControlsEnabled(false);
    ftsSplitParams->SetTabIndex(0);
    nbSplitParams->setCurrentIndex(0);
    if (ftsSplitParams->DisabledTabs().isEmpty())
        ftsSplitParams->SetDisabledTabs({Texts::TabComment, Texts::TabMore});
    for (auto& [title, value] : m_infoRows) {
        title->setVisible(false);
        value->setVisible(false);
    }
    laNoFile->setVisible(true);
}

void TMainFormVarnSplit::ShowSourceFile(const QString& path) {
    m_pieceSelected = false;
    ShowVerifyFor(false);
    SetParameterControlsEnabled(true);
    ApplyModeTabs();
    ftsSplitParams->SetTabIndex(0);
    nbSplitParams->setCurrentIndex(0);
    edComment->setReadOnly(false);
    edComment->clear();
    cbDel->setText(Texts::DeleteFileAfterSplit);
    const std::string file = path.toStdString();
    uint32_t created = 0;
    uint32_t accessed = 0;
    uint32_t modified = 0;
    FileDosTimes(file, created, accessed, modified);
    ShowPanelRows({{Texts::WillBeBlocks, "0"},
                   {Texts::LastBlock, "0"},
                   {Texts::Size, SizeInBytes(FileSizeOf(file))},
                   {Texts::Extension, QString::fromStdString(ExtensionOf(file))},
                   {Texts::Attributes, Letters(FileAttributesOf(file))},
                   {Texts::Created, DateText(created)},
                   {Texts::Modified, DateText(modified)}});
    SetCommand(TCommand::cmSplit);
    RecomputeBlocks();
}

void TMainFormVarnSplit::ShowPieceSet(const QString& path) {
    // An inspection measures the stub of no earlier self-joining split.
    m_engine.SetStubSize(0);
    try {
        m_engine.ReadSignature(path.toStdString());
    } catch (const EEngineError& error) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                    QString::fromStdString(EngineFaultText(error)));
        ShowNoFile();
        btnGo->setVisible(false);
        SetCommand(TCommand::cmNone);
        return;
    }
    m_pieceSelected = true;
    ShowVerifyFor(true);
    SetParameterControlsEnabled(false);
    ftsSplitParams->SetDisabledTabs({});
    const QString comment = QString::fromStdString(m_engine.Comment());
    if (!comment.isEmpty()) {
        edComment->setPlainText(comment);
        edComment->setReadOnly(true);
        ftsSplitParams->SetTabIndex(1);
        nbSplitParams->setCurrentIndex(1);
    } else {
        ftsSplitParams->SetTabIndex(0);
        nbSplitParams->setCurrentIndex(0);
        ftsSplitParams->SetDisabledTabs({Texts::TabComment});
    }
    cbDel->setText(Texts::DeleteBlocksAfterUnite);
    cbBAT->setVisible(false);
    cbWindowsStub->setVisible(false);

    const bool winSplit = m_engine.WinSplitCompatible();
    const bool withRecord = !m_engine.Version100() && !winSplit;
    m_totalBlocks = m_engine.BlockCount();
    const std::string piece = path.toStdString();
    const int64_t pieceSize = FileSizeOf(piece);
    // The last piece is what is left of the stream the set was cut from.
    const int64_t stream =
        m_engine.OriginalSize() + 34 +
        (m_engine.Version100()
             ? 0
             : static_cast<int64_t>(m_engine.OriginalExt().size() + m_engine.Comment().size()));
    const int64_t lastBlock = pieceSize >= stream ? 0 : LastBlockSize(stream, pieceSize);
    const QString sizeText = m_engine.OriginalSizeKnown() ? SizeInBytes(m_engine.OriginalSize())
                                                          : QString(Texts::UnknownCount);
    ShowPanelRows({{Texts::TotalBlocks, QString::number(m_totalBlocks)},
                   {winSplit || lastBlock == 0 ? QString() : QString(Texts::LastBlock),
                    SizeInBytes(lastBlock)},
                   {Texts::OriginalSize, sizeText},
                   {Texts::OriginalExtension, QString::fromStdString(m_engine.OriginalExt())},
                   {withRecord ? QString(Texts::OriginalAttributes) : QString(),
                    Letters(m_engine.Attributes())},
                   {withRecord ? QString(Texts::OriginalCreated) : QString(),
                    DateText(m_engine.CreationTime())},
                   {withRecord ? QString(Texts::OriginalModified) : QString(),
                    DateText(m_engine.LastWriteTime())}});
    // One rule for both handlers: a first piece of either version, or an
    // information file that names at least one block.
    const bool unitable =
        m_totalBlocks > 0 && (winSplit || m_engine.FullSignature() || m_engine.Version100());
    SetCommand(unitable ? TCommand::cmUnite : TCommand::cmNone);
    btnGo->setVisible(unitable && TargetAccepts());
}
