#pragma once

#include "engine/SetNames.h"
#include "engine/SplitPlan.h"
#include "engine/VarnSplit.h"
#include "settings/FilterList.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QToolButton;
class TEngineRun;
class TFavoritesMenu;
class TFlickerFreePaintBox;
class TRegistrySettings;
class TShellTreeView;
class TVarnTabSet;
class TWhatsThis;

// What the window needs to know about how the program was started.
struct TMainFormContext {
    QString programFolder; // the stub lies here
    QString fileArgument;  // a file to select at the first activation; "" for none
};

// The answers the window asks the user for, replaceable so that tests can give
// them without showing a dialog. The defaults show the real dialogs.
struct TMainFormDialogs {
    std::function<bool(QWidget* parent, const QString& fileName, int64_t blockSize,
                       int64_t lastBlockSize, int64_t blockCount, const QString& modeName)>
        confirmSplit;
    // Next piece: true with the new full path; `dontAskAgain` in and out.
    std::function<bool(QWidget* parent, bool splitting, int64_t diskID, int64_t numOfDisks,
                       const QString& path, QString& newPath, bool& dontAskAgain)>
        askForNextDisk;
    // Information file (infoFile true) or batch file: true with the new folder.
    std::function<bool(QWidget* parent, bool infoFile, const QString& folder, QString& newFolder)>
        askForFileDisk;
    // The checksum file: true with the new folder.
    std::function<bool(QWidget* parent, const QString& folder, QString& newFolder)>
        askForChecksumFileDisk;
    // Every message box: icon, caption, text.
    std::function<void(QWidget* parent, int icon, const QString& caption, const QString& text)>
        message;
    // Free bytes on the volume of a path (-1 when unknown).
    std::function<int64_t(const std::string& path)> freeSpaceOf;
    // An input box: true with the text typed when the user pressed OK.
    std::function<bool(QWidget* parent, const QString& caption, const QString& prompt,
                       QString& text)>
        inputBox;
    // Asks before an item is deleted for good (not to the trash); true goes ahead.
    std::function<bool(QWidget* parent, const QString& path)> confirmDelete;
};

// The program's main window: the source and target trees, the split
// parameters, the information panel, progress, and the split, unite and stop
// commands. It owns the one engine, which runs on a worker thread while the
// window stays responsive and every other control is locked.
class TMainFormVarnSplit : public QWidget, private IEngineReporter {
    Q_OBJECT
public:
    explicit TMainFormVarnSplit(const TMainFormContext& context, QWidget* parent = nullptr);
    ~TMainFormVarnSplit() override;

    // A file handed in from outside (a second start or a drop): the source
    // tree selects it when it is an existing file.
    void SelectFileFromOutside(const QString& path);

    TMainFormDialogs& Dialogs() { return m_dialogs; }
    TVarnSplit& Engine() { return m_engine; }
    bool Busy() const;
    // The button's current command, as the user sees it on btnGo.
    enum class TCommand { cmNone, cmSplit, cmUnite, cmStop };
    TCommand Command() const { return m_command; }

    // The commands of the action button.
    void TheSplit();
    void TheUnSplit();
    void TheStop();
    void RecomputeBlocks();
    // The favorites menus from the lists; the settings dialog calls these
    // after it has changed a list.
    void BuildSourceFavoritesMenu();
    void BuildTargetFavoritesMenu();

    // The progress bar's steps, whatever the number of pieces.
    static constexpr int ProgressSteps = 10000;

signals:
    // After a split or unite has ended and the window is restored.
    void OperationEnded();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Creation (MainForm.cpp).
    void CreateControls();
    QWidget* CreateSourceColumn();
    QWidget* CreateParameterPages();
    QWidget* CreateTargetColumn();
    QWidget* CreateButtonColumn();
    QWidget* CreateInfoPanel();
    QToolButton* GlyphButton(const QString& hint, const QString& iconName);
    void RestoreSettings();
    void SaveSettings();
    void LoadFilters();
    // The view settings both at start and after the settings dialog's OK:
    // hidden files, virtual folders and hot tracking of both trees, and the
    // flat or raised glyph buttons.
    void ApplyViewSettings();
    void btnSettingsClick();
    void ApplyActivationColors(bool active);
    void Report(TEngineMessage message, const std::string& path) override;
    void ShowMessage(int icon, const QString& caption, const QString& text);
    void SetCommand(TCommand command);
    void btnGoClick();

    // Selection and the information panel (MainFormSelection.cpp).
    void shtSourceDataChange();
    void shtTargetDataChange();
    void ShowNoFile();
    void ShowSourceFile(const QString& path);
    void ShowPieceSet(const QString& path);
    void ShowPanelRows(const std::vector<std::pair<QString, QString>>& rows);
    void SetParameterControlsEnabled(bool enabled);
    bool TargetAccepts() const;
    bool SourceIsFile() const;
    QString SourcePath() const;
    QString TargetPath() const;

    // Parameters (MainFormParameters.cpp).
    void cbBytesEditingFinished();
    void cbModeChange();
    void cbFilterChange();
    void btnSizeCalcClick();
    void ApplyModeTabs();
    void comment_Load();
    void comment_Save();
    void comment_Clear();
    TSplitMode Mode() const;
    std::optional<int64_t> BlockSize() const;
    std::string CommentText() const;
    int64_t StubLength() const;
    TStubKind StubKind() const;
    // The split the parameters describe now; nothing when the block size box
    // holds no number or the self-joining stub is unusable (both reported).
    struct TPlanResult {
        int64_t blockSize = 0;
        int64_t stubLength = 0;
        TSplitPlan plan;
    };
    std::optional<TPlanResult> CurrentPlan();

    // Checksums and the verify command (MainFormVerify.cpp).
    void btnVerifyClick();
    // The verify command is offered for a set, the checksum option for a split.
    void ShowVerifyFor(bool pieceSet);

    // Favorites (MainFormFavorites.cpp).
    void CreateFavorites();
    void btnSourceAddToFavoritesClick();
    void btnTargetAddToFavoritesClick();
    void AddToFavorites(bool source);
    void ChooseFavorite(bool source, const QString& path);

    // Navigation: sorting, desktop, new folder, keys (MainFormNavigation.cpp).
    void CreateNavigation();
    void ApplyToolbarGlyphs();
    void SetSortGlyph();
    void btnSortOrderClick();
    void item_SortByDateClick(QAction* item);
    void btnSourceDesktopClick();
    void btnTargetDesktopClick();
    void GoToDesktop(TShellTreeView* tree);
    void btnTargetNewFolderClick();
    // Keys the window sees before its controls; true when handled.
    bool FormKeyDown(QKeyEvent* event);
    bool shtSourceDataKeyUp(QKeyEvent* event);

    // Split and unite (MainFormCommands.cpp).
    void ConfigureSplit(const TPlanResult& plan);
    void StartOperation(int busyState);
    void OperationFinished(bool completed, const QString& errorText);
    void EngineNeedDisk(int32_t diskID, int32_t numOfDisks, std::string& path, bool& proceed);
    void EngineProgress(uint16_t percentDone);
    void LockWhileBusy(bool busy);
    void SetPiecePicture(int64_t diskID);
    void ResetProgressDisplay();

    // Help (MainFormHelp.cpp).
    void CreateHelp();
    void btnHelpClick();
    void btnAboutClick();

    TMainFormContext m_context;
    TMainFormDialogs m_dialogs;
    std::unique_ptr<TRegistrySettings> m_settings;
    TVarnSplit m_engine;
    TEngineRun* m_run = nullptr;
    TWhatsThis* m_whatsThis = nullptr;
    std::vector<TFilterEntry> m_filters;
    QStringList m_sourceFavorites;
    QStringList m_targetFavorites;
    std::vector<QIcon> m_piecePictures;

    int m_busyState = 0; // 0 none yet, 1 split, 2 unite
    TCommand m_command = TCommand::cmNone;
    bool m_firstActivation = true;
    bool m_splitterMoved = false;
    bool m_pieceSelected = false;
    bool m_cancelFlag = false;
    bool m_dontAskAgain = true;
    bool m_closeWhenDone = false;
    bool m_selectionChangedWhileBusy = false;
    bool m_askForEachDisk = false;
    int64_t m_progressBase = 0;
    int64_t m_totalBlocks = 0;
    int m_piecePicture = -1;
    QString m_splitSource; // the file being split, for delete-after
    int64_t m_splitBlockSize = 0;

    // Controls, named as the user's manual and the tests know them.
    QSplitter* spMain = nullptr;
    QLabel* laSourceData = nullptr;
    QLabel* laTargetData = nullptr;
    QToolButton* btnSourceDesktop = nullptr;
    QToolButton* btnSortOrder = nullptr;
    QMenu* SortPopupMenu = nullptr;
    QAction* item_SortByName = nullptr;
    QAction* item_SortByType = nullptr;
    QAction* item_SortBySize = nullptr;
    QAction* item_SortByDate = nullptr;
    QToolButton* btnSourceFavorites = nullptr;
    QToolButton* btnSourceAddToFavorites = nullptr;
    QToolButton* btnTargetDesktop = nullptr;
    QToolButton* btnTargetNewFolder = nullptr;
    QToolButton* btnTargetFavorites = nullptr;
    QToolButton* btnTargetAddToFavorites = nullptr;
    TFavoritesMenu* pmSourceFavorites = nullptr;
    TFavoritesMenu* pmTargetFavorites = nullptr;
    QToolButton* btnHelpWhatsThis = nullptr;
    TShellTreeView* shtSourceData = nullptr;
    TShellTreeView* shtTargetData = nullptr;
    TVarnTabSet* ftsSplitParams = nullptr;
    QStackedWidget* nbSplitParams = nullptr;
    QLabel* laFilter = nullptr;
    QComboBox* cbFilter = nullptr;
    QLabel* laMode = nullptr;
    QComboBox* cbMode = nullptr;
    QLabel* laBlockSize = nullptr;
    QComboBox* cbBytes = nullptr;
    QToolButton* btnSizeCalc = nullptr;
    QPlainTextEdit* edComment = nullptr;
    QMenu* pmComment = nullptr;
    QCheckBox* cbDel = nullptr;
    QCheckBox* cbBAT = nullptr;
    QCheckBox* cbSum = nullptr;
    QCheckBox* cbWindowsStub = nullptr; // self-joining sets for Windows, stored at once
    QFrame* pnl_Info = nullptr;
    QLabel* laNoFile = nullptr;
    std::vector<std::pair<QLabel*, QLabel*>> m_infoRows; // title, value
    QLabel* laTotalBlocksTitle = nullptr;
    QLabel* laTotalBlocks = nullptr;
    QLabel* laLastBlockTitle = nullptr;
    QLabel* laLastBlock = nullptr;
    QLabel* laExt = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnGo = nullptr;
    QPushButton* btnVerify = nullptr;
    QPushButton* btnSettings = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnAbout = nullptr;
    QPushButton* btnClose = nullptr;
    TFlickerFreePaintBox* ffpbPB = nullptr;
    QLabel* laCurrentBlock = nullptr;
};
