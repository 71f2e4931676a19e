#include "ui/NeedDiskForm.h"

#include "texts/ChecksumTexts.h"
#include "texts/DialogTexts.h"
#include "texts/TextFormat.h"
#include "texts/WindowTexts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

std::function<QString(QWidget*)> TNeedDiskForm::PickFolder = [](QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent);
};
std::function<QString(QWidget*)> TNeedDiskForm::PickFile = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), Texts::DiskPieceFilter);
};
std::function<void(QWidget*, const QString&)> TNeedDiskForm::ShowError = [](QWidget* parent,
                                                                            const QString& text) {
    QMessageBox::critical(parent, Texts::CaptionError, text);
};
std::function<void(TNeedDiskForm&)> TNeedDiskForm::OnShownForTest;

namespace {

QString FileName(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

QString Text(const char* pattern, const QString& value) {
    return QString::fromStdString(FormatText(pattern, {value.toStdString()}));
}

} // namespace

TNeedDiskForm::TNeedDiskForm(QWidget* parent, TDiskOperation operation, TPrompt prompt,
                             const QString& message, const QString& path)
    : TModalFrame(parent, QSize(380, 221), "MAINICONZDISK", Texts::DiskTitle, message),
      m_operation(operation), m_prompt(prompt), m_expectedName(FileName(path)) {
    setObjectName("TNeedDiskForm");
    findChild<QLabel*>("laDescription")->setObjectName("laMessage");
    findChild<QLabel*>("laTitle")->setObjectName("laNextDisk");
    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(12, 10, 12, 10);
    auto* label = new QLabel(Texts::DiskPathLabel, Body());
    label->setObjectName("laPath");
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    m_path = new QLineEdit(path, Body());
    m_path->setObjectName("edPath");
    label->setBuddy(m_path);
    auto* browse = new QPushButton(Texts::DiskBrowse, Body());
    browse->setObjectName("btnBrowse");
    browse->setAutoDefault(false);
    row->addWidget(m_path, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    m_dontAsk = new QCheckBox(Texts::DiskDontAsk, Body());
    m_dontAsk->setObjectName("cbDontAskInTheFuture");
    m_dontAsk->setVisible(prompt == TPrompt::pNextPiece && operation == TDiskOperation::doSplit);
    layout->addWidget(m_dontAsk);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(Texts::DiskContinue, Body());
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton(Texts::DiskCancel, Body());
    cancel->setObjectName("btnCancel");
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // The file prompts change their folder only through Browse.
    m_path->setReadOnly(prompt != TPrompt::pNextPiece);
    connect(browse, &QPushButton::clicked, this, &TNeedDiskForm::Browse);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_path->setFocus();
    SelectFileName();
}

QString TNeedDiskForm::PathText() const {
    return m_path->text();
}

bool TNeedDiskForm::DontAskAgain() const {
    return m_dontAsk->isChecked();
}

// The name without its extension is selected, ready to be typed over.
void TNeedDiskForm::SelectFileName() {
    const QString text = m_path->text();
    const int nameStart = static_cast<int>(text.lastIndexOf('/') + 1);
    const QString name = text.mid(nameStart);
    const int dot = static_cast<int>(name.lastIndexOf('.'));
    m_path->setSelection(nameStart, dot > 0 ? dot : static_cast<int>(name.size()));
}

void TNeedDiskForm::Browse() {
    if (m_operation == TDiskOperation::doSplit) {
        QString folder = PickFolder(this);
        if (folder.isEmpty())
            return;
        if (!folder.endsWith('/'))
            folder += '/';
        m_path->setText(folder + FileName(m_path->text()));
    } else {
        const QString file = PickFile(this);
        if (file.isEmpty())
            return;
        m_path->setText(file);
    }
    m_path->setFocus();
    SelectFileName();
}

// A typed path never makes the split overwrite what it should not: it must
// name a file, and an existing file only when it is the piece asked for.
bool TNeedDiskForm::AcceptablePiecePath() {
    const QString path = m_path->text().trimmed();
    const QFileInfo info(path);
    QString refusal;
    if (path.isEmpty())
        refusal = Texts::DiskPathEmpty;
    else if (path.endsWith('/') || info.isDir())
        refusal = Text(Texts::DiskPathIsFolder, path);
    else if (info.exists() && info.fileName() != m_expectedName)
        refusal = Text(Texts::DiskPathIsOtherFile, path);
    if (refusal.isEmpty())
        return true;
    ShowError(this, refusal);
    return false;
}

void TNeedDiskForm::done(int result) {
    if (result == QDialog::Accepted && m_prompt == TPrompt::pNextPiece) {
        // A unite goes on only with a piece that is there.
        if (m_operation == TDiskOperation::doUnite && !QFileInfo(m_path->text()).isFile())
            return;
        if (m_operation == TDiskOperation::doSplit && !AcceptablePiecePath())
            return;
    }
    TModalFrame::done(result);
}

void TNeedDiskForm::showEvent(QShowEvent* event) {
    TModalFrame::showEvent(event);
    if (OnShownForTest)
        QTimer::singleShot(0, this, [this] { OnShownForTest(*this); });
}

bool AskForNextDisk(QWidget* parent, TDiskOperation operation, int64_t diskID, int64_t numOfDisks,
                    const QString& path, QString& newPath, bool& dontAskAgain) {
    if (numOfDisks < diskID) {
        newPath = path;
        dontAskAgain = true;
        return true;
    }
    const char* pattern =
        operation == TDiskOperation::doSplit ? Texts::DiskNextForSplit : Texts::DiskNextForUnite;
    const QString message = QString::fromStdString(
        FormatText(pattern, {std::to_string(diskID), std::to_string(numOfDisks)}));
    TNeedDiskForm form(parent, operation, TNeedDiskForm::TPrompt::pNextPiece, message, path);
    if (form.exec() != QDialog::Accepted) {
        newPath.clear();
        return false;
    }
    newPath = form.PathText().trimmed();
    dontAskAgain = operation == TDiskOperation::doSplit && form.DontAskAgain();
    return true;
}

namespace {

bool AskForFolder(QWidget* parent, TNeedDiskForm::TPrompt prompt, const char* message,
                  const QString& folder, QString& newFolder) {
    newFolder = folder;
    TNeedDiskForm form(parent, TDiskOperation::doSplit, prompt, message, folder);
    if (form.exec() != QDialog::Accepted)
        return false;
    newFolder = form.PathText();
    return true;
}

} // namespace

bool AskForInfoFileDisk(QWidget* parent, const QString& folder, QString& newFolder) {
    return AskForFolder(parent, TNeedDiskForm::TPrompt::pInfoFile, Texts::DiskForInfoFile, folder,
                        newFolder);
}

bool AskForBatchFileDisk(QWidget* parent, const QString& folder, QString& newFolder) {
    return AskForFolder(parent, TNeedDiskForm::TPrompt::pBatchFile, Texts::DiskForBatchFile, folder,
                        newFolder);
}

bool AskForChecksumFileDisk(QWidget* parent, const QString& folder, QString& newFolder) {
    return AskForFolder(parent, TNeedDiskForm::TPrompt::pChecksumFile, Texts::DiskForChecksumFile,
                        folder, newFolder);
}
