// The checksum option of a split and the verify command for a selected set:
// every piece is checked on a worker thread while a progress dialog, modal to
// the window, offers to stop.

#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "texts/ChecksumTexts.h"
#include "texts/EngineTexts.h"
#include "texts/TextFormat.h"
#include "texts/Texts.h"
#include "ui/MainForm.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace SN = SettingNames;

namespace {

// A message box stays readable: the pieces that are not intact, up to this many.
constexpr std::size_t ListedProblems = 10;

QString SetCheckMessage(const TSetCheck& check) {
    const TPieceState good =
        check.checksumsAvailable ? TPieceState::psGood : TPieceState::psPresent;
    std::string text;
    std::size_t problems = 0;
    for (const TPieceCheck& piece : check.pieces) {
        if (piece.state == good)
            continue;
        if (++problems <= ListedProblems)
            text += PieceCheckText(piece) + "\n";
    }
    if (problems > ListedProblems)
        text += FormatText(Texts::VerifyMoreProblems, {std::to_string(problems - ListedProblems)}) +
                "\n";
    if (!text.empty())
        text += "\n";
    return QString::fromStdString(text + SetCheckSummaryText(check)).trimmed();
}

} // namespace

void TMainFormVarnSplit::ShowVerifyFor(bool pieceSet) {
    btnVerify->setVisible(pieceSet);
    cbSum->setVisible(!pieceSet);
}

void TMainFormVarnSplit::btnVerifyClick() {
    if (Busy() || !m_pieceSelected)
        return;
    TVarnSplit checker(this);
    checker.SetSplitFileName(SourcePath().toStdString());
    checker.SetBufferSize(
        std::max(1, m_settings->ReadInteger(SN::SectionSettings, SN::DefaultBufferSize,
                                            SN::DefaultBufferSizeForCopy)));

    QProgressDialog progress(Texts::VerifyRunning, Texts::VerifyStop, 0, 100, this);
    progress.setWindowTitle(Texts::VerifyCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setMinimumDuration(0);
    std::atomic<bool> stop = false;
    connect(&progress, &QProgressDialog::canceled, &progress, [&stop] { stop = true; });
    checker.OnProgress = [&stop, &progress](TVarnSplit& sender, uint16_t percentDone) {
        if (stop)
            sender.SetStop(true);
        // Posted to the dialog, so nothing arrives once it is gone.
        QMetaObject::invokeMethod(
            &progress, [&progress, percentDone] { progress.setValue(percentDone); },
            Qt::QueuedConnection);
    };

    QString errorText;
    QThread* worker = QThread::create([&checker, &errorText] {
        try {
            checker.Verify();
        } catch (const EEngineError& error) {
            errorText = QString::fromStdString(EngineFaultText(error));
        } catch (const std::exception& error) {
            errorText = QString::fromUtf8(Texts::FaultUnknown) + ": " + error.what();
        }
    });
    connect(worker, &QThread::finished, &progress, [&progress] { progress.done(0); });
    worker->start();
    progress.exec();
    stop = true;
    worker->wait();
    delete worker;

    if (!errorText.isEmpty()) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, errorText);
        return;
    }
    if (!checker.Completed()) {
        // A stop, or a message the engine has shown already.
        if (stop && checker.Stop())
            ShowMessage(QMessageBox::Warning, Texts::VerifyCaption, Texts::VerifyStopped);
        return;
    }
    const TSetCheck& check = checker.SetCheck();
    ShowMessage(check.Intact() ? QMessageBox::Information : QMessageBox::Warning,
                Texts::VerifyCaption, SetCheckMessage(check));
}
