#pragma once

#include "ui/ModalFrame.h"

#include <QString>

#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

enum class TDiskOperation { doSplit, doUnite };

// The prompt for the next disk, or another place, while a set is written or
// read: for the next piece (with its path), or for the folder of the
// information or batch file after a split.
class TNeedDiskForm : public TModalFrame {
    Q_OBJECT
public:
    enum class TPrompt { pNextPiece, pInfoFile, pBatchFile, pChecksumFile };

    TNeedDiskForm(QWidget* parent, TDiskOperation operation, TPrompt prompt, const QString& message,
                  const QString& path);

    QString PathText() const;
    bool DontAskAgain() const;

    // Replaceable so that tests never open a real file dialog or message box.
    static std::function<QString(QWidget* parent)> PickFolder;
    static std::function<QString(QWidget* parent)> PickFile;
    static std::function<void(QWidget* parent, const QString& text)> ShowError;
    // Tests answer the dialog here; it runs once the dialog is shown.
    static std::function<void(TNeedDiskForm&)> OnShownForTest;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Browse();
    void SelectFileName();
    bool AcceptablePiecePath();

    TDiskOperation m_operation;
    TPrompt m_prompt;
    QString m_expectedName; // the piece the engine asked for
    QLineEdit* m_path = nullptr;
    QCheckBox* m_dontAsk = nullptr;
};

// The next piece: true with its full path in `newPath`. When the set has fewer
// pieces than `diskID`, nothing is asked. `dontAskAgain` comes back from the
// check box of a split's prompt.
bool AskForNextDisk(QWidget* parent, TDiskOperation operation, int64_t diskID, int64_t numOfDisks,
                    const QString& path, QString& newPath, bool& dontAskAgain);
// The folder for the information file or the batch file: true with the folder.
bool AskForInfoFileDisk(QWidget* parent, const QString& folder, QString& newFolder);
bool AskForBatchFileDisk(QWidget* parent, const QString& folder, QString& newFolder);
bool AskForChecksumFileDisk(QWidget* parent, const QString& folder, QString& newFolder);
