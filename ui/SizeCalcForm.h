#pragma once

#include "engine/SetNames.h"
#include "engine/SplitPlan.h"
#include "engine/VarnSplit.h"
#include "ui/ModalFrame.h"

#include <QString>
#include <QTime>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QAbstractSpinBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimeEdit;

// What the calculator reads from the main window afresh at every calculation,
// so that its figures are those of the split the window would start now.
struct TSizeCalcSource {
    std::function<QString()> selectedFile; // "" when no file is selected
    std::function<TSplitMode()> mode;
    // The stub check falls back to the normal mode in the window itself.
    std::function<void(TSplitMode)> setMode;
    std::function<std::string()> comment;    // as the pieces store it
    QString programFolder;                   // where the stub lies
    TStubKind stubKind = TStubKind::skLinux; // the stub self-joining sets start with
};

// The size calculator: a block size for the selected file from a wanted
// number of blocks, or from the time one block may take at a line speed, with
// the number of blocks and the last block that size really gives.
class TSizeCalcForm : public TModalFrame {
    Q_OBJECT
public:
    TSizeCalcForm(QWidget* parent, TSizeCalcSource source);

    // The block size of the figures shown, while they are current; nothing
    // when the inputs give none.
    std::optional<int64_t> BlockSize() const;

    // OK closes the dialog only with figures computed from the inputs as they
    // are now; otherwise it says why and the dialog stays open.
    void done(int result) override;

    // Replaceable so that tests never open a real message box.
    static std::function<void(QWidget* parent, const QString& text)> ShowError;
    // Tests answer the dialog here; it runs once the dialog is shown.
    static std::function<void(TSizeCalcForm&)> OnShownForTest;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One calculation's outcome: the figures, or why there are none.
    struct TFigures {
        QString file;
        int64_t fileSize = 0;
        std::optional<int64_t> blockSize;
        int64_t blockCount = 0;
        int64_t lastBlock = 0;
        QString refusal; // empty when the figures may be taken
        bool operator==(const TFigures&) const = default;
    };

    void CreateControls();
    void SelectWay(bool byNumber);
    void cbSpeedExit();
    void Calculate();
    TFigures Figures();
    int64_t CheckStub(); // the stub length, 0 when unusable
    // The typed inputs, checked; nothing with the reason in `refusal`.
    std::optional<uint16_t> WantedCount(QString& refusal) const;
    struct TTransfer {
        QTime time;
        int64_t speed = 0; // bits per second
    };
    std::optional<TTransfer> Transfer(QString& refusal) const;
    std::optional<int64_t> SizeByNumber(const TSplitPlanInput& input, uint16_t count) const;
    std::optional<int64_t> SizeByTime(const TSplitPlanInput& input,
                                      const TTransfer& transfer) const;
    void ShowFigures(const TFigures& figures);

    TSizeCalcSource m_source;
    TFigures m_figures;

    QRadioButton* rbByNumber = nullptr;
    QLabel* laBlockCount = nullptr;
    QAbstractSpinBox* edBlockCount = nullptr;
    QRadioButton* rbByDownloadTime = nullptr;
    QLabel* laTime = nullptr;
    QTimeEdit* dtpTime = nullptr;
    QLabel* laSpeed = nullptr;
    QComboBox* cbSpeed = nullptr;
    QLabel* labps = nullptr;
    QLabel* laTotalOfBlocks = nullptr;
    QLabel* laSizeOfBlock = nullptr;
    QLabel* laSizeOfLastBlock = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

// Shows the calculator modally for the window's selection. True on OK, with
// the block size formatted "#,##0" in `blockSizeText`. The dialog belongs to
// the application, not to the window, whose restyling of its own labels on
// deactivation must not reach the dialog's.
bool ExecuteSizeCalc(const TSizeCalcSource& source, QString& blockSizeText);
