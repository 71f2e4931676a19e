#pragma once

#include "ui/ModalFrame.h"

#include <QString>

#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The question before every split from the window: the file, one block's
// size, the number of blocks, the last block and the mode, and "continue?".
class TInfoForm : public TModalFrame {
    Q_OBJECT
public:
    TInfoForm(QWidget* parent, const QString& fileName, int64_t blockSize, int64_t lastBlockSize,
              int64_t blockCount, const QString& modeName);

    // True only when the yes button answered; every other way of closing the
    // dialog (Esc, Enter on the default no, the title bar, Alt+F4) is a no.
    bool AnsweredYes() const { return m_answeredYes; }

    // Tests answer the dialog here instead of a user; it runs once it is shown.
    static std::function<void(TInfoForm&)> OnShownForTest;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_answeredYes = false;
};

// Shows the dialog modally and returns whether the split may go on.
bool ConfirmSplit(QWidget* parent, const QString& fileName, int64_t blockSize,
                  int64_t lastBlockSize, int64_t blockCount, const QString& modeName);
