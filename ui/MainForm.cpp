#include "ui/MainForm.h"

#include "engine/FileUtils.h"
#include "platform/Volumes.h"
#include "resources/Icons.h"
#include "settings/Favorites.h"
#include "settings/FileAssociation.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "shell/ShellTreeView.h"
#include "texts/ChecksumTexts.h"
#include "texts/EngineTexts.h"
#include "texts/StubChoiceTexts.h"
#include "texts/WindowTexts.h"
#include "ui/EngineRun.h"
#include "ui/InfoForm.h"
#include "ui/NeedDiskForm.h"
#include "ui/SettingsForm.h"
#include "ui/SizePresets.h"
#include "ui/SizeText.h"
#include "widgets/FlickerFreePaintBox.h"
#include "widgets/VarnTabSet.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace SN = SettingNames;

namespace {

// The six piece pictures in the order PiecePicture counts them.
const char* const PiecePictureNames[] = {"MAINICON000", "MAINICON001", "MAINICON002",
                                         "MAINICON003", "MAINICONVRN", "MAINICONDOS"};

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// A tree's header: its label, then its glyph buttons at the right.
QHBoxLayout* HeaderRow(QLabel* label, std::initializer_list<QToolButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addWidget(label, 1);
    for (QToolButton* button : buttons)
        row->addWidget(button);
    return row;
}

void DefaultMessage(QWidget* parent, int icon, const QString& caption, const QString& text) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

TMainFormVarnSplit::TMainFormVarnSplit(const TMainFormContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_engine(this) {
    setObjectName("TMainFormVarnSplit");
    setWindowTitle(Texts::AppTitle);
    setWindowIcon(VarnIcons::Icon("MAINICON"));
    setAcceptDrops(true);
    m_dialogs.confirmSplit = ConfirmSplit;
    m_dialogs.askForNextDisk = [](QWidget* owner, bool splitting, int64_t diskID,
                                  int64_t numOfDisks, const QString& path, QString& newPath,
                                  bool& dontAskAgain) {
        return AskForNextDisk(owner, splitting ? TDiskOperation::doSplit : TDiskOperation::doUnite,
                              diskID, numOfDisks, path, newPath, dontAskAgain);
    };
    m_dialogs.askForFileDisk = [](QWidget* owner, bool infoFile, const QString& folder,
                                  QString& newFolder) {
        return infoFile ? AskForInfoFileDisk(owner, folder, newFolder)
                        : AskForBatchFileDisk(owner, folder, newFolder);
    };
    m_dialogs.askForChecksumFileDisk = AskForChecksumFileDisk;
    m_dialogs.message = DefaultMessage;
    m_dialogs.freeSpaceOf = FreeSpaceOf;

    m_settings = std::make_unique<TRegistrySettings>();
    for (const char* name : PiecePictureNames)
        m_piecePictures.push_back(VarnIcons::Icon(name));
    m_run = new TEngineRun(m_engine, this);
    m_run->NeedDisk = [this](int32_t diskID, int32_t numOfDisks, std::string& path, bool& proceed) {
        EngineNeedDisk(diskID, numOfDisks, path, proceed);
    };
    m_run->Progress = [this](uint16_t percentDone) { EngineProgress(percentDone); };
    connect(m_run, &TEngineRun::Finished, this, &TMainFormVarnSplit::OperationFinished);

    CreateControls();
    CreateHelp();
    RestoreSettings();
    CreateFavorites();
    CreateNavigation();
    // A file type registration that cannot be written leaves the program
    // usable, so it is not reported.
    if (m_settings->ReadBool(SN::SectionSettings, SN::RestoreAssociations,
                             SN::DefaultRestoreAssociations))
        RunAssociationStartupStep(*m_settings);
    ShowNoFile();
    SetCommand(TCommand::cmNone);
    shtSourceData->SetRootPIDL(PIDL_DRIVES);
    shtTargetData->SetRootPIDL(PIDL_DRIVES);
}

TMainFormVarnSplit::~TMainFormVarnSplit() {
    // The trees' monitors must not hand a change to a window being torn down.
    shtSourceData->OnChange = nullptr;
    shtTargetData->OnChange = nullptr;
}

bool TMainFormVarnSplit::Busy() const {
    return m_run->Running();
}

// --- creation ---

QToolButton* TMainFormVarnSplit::GlyphButton(const QString& hint, const QString& iconName) {
    auto* button = new QToolButton(this);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setIcon(VarnIcons::Icon(iconName));
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void TMainFormVarnSplit::CreateControls() {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    spMain = new QSplitter(Qt::Horizontal, this);
    spMain->setObjectName("spMain");
    spMain->setChildrenCollapsible(false);
    spMain->addWidget(CreateSourceColumn());
    spMain->addWidget(CreateTargetColumn());
    connect(spMain, &QSplitter::splitterMoved, this, [this] { m_splitterMoved = true; });
    layout->addWidget(spMain, 1);
    layout->addWidget(CreateButtonColumn());
}

QWidget* TMainFormVarnSplit::CreateSourceColumn() {
    auto* column = new QWidget(this);
    column->setObjectName("paSourceBG");
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    laSourceData = NamedLabel("laSourceData", Texts::SourceData, column);
    btnSourceDesktop = GlyphButton(Texts::HintDesktop, "MAINICON");
    btnSortOrder = GlyphButton(Texts::HintSortOrder, "MAINICONZVIEW");
    btnSourceFavorites = GlyphButton(Texts::HintFavorites, "MAINICONZFAV");
    btnSourceAddToFavorites = GlyphButton(Texts::HintAddToFavorites, "MAINICONZFAV");
    layout->addLayout(HeaderRow(laSourceData, {btnSourceDesktop, btnSortOrder, btnSourceFavorites,
                                               btnSourceAddToFavorites}));

    shtSourceData = new TShellTreeView(column);
    shtSourceData->setObjectName("shtSourceData");
    shtSourceData->SetOptions(TF_FOLDERS | TF_NONFOLDERS | TF_HIDDEN);
    // A click on a selected label must not start renaming; the item menu does.
    shtSourceData->SetReadOnly(true);
    laSourceData->setBuddy(shtSourceData);
    shtSourceData->OnChange = [this](TShellTreeView*, TShellNode*) { shtSourceDataChange(); };
    layout->addWidget(shtSourceData, 1);
    layout->addWidget(CreateParameterPages());
    return column;
}

QWidget* TMainFormVarnSplit::CreateParameterPages() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    nbSplitParams = new QStackedWidget(box);
    nbSplitParams->setObjectName("nbSplitParams");

    auto* parameters = new QWidget(nbSplitParams);
    auto* grid = new QGridLayout(parameters);
    grid->setContentsMargins(4, 4, 4, 4);
    laFilter = NamedLabel("laFilter", Texts::LabelFilter, parameters);
    cbFilter = new QComboBox(parameters);
    cbFilter->setObjectName("cbFilter");
    laMode = NamedLabel("laMode", Texts::LabelMode, parameters);
    cbMode = new QComboBox(parameters);
    cbMode->setObjectName("cbMode");
    for (const char* name : Texts::ModeNames)
        cbMode->addItem(name);
    laBlockSize = NamedLabel("laBlockSize", Texts::LabelBlockSize, parameters);
    cbBytes = new QComboBox(parameters);
    cbBytes->setObjectName("cbBytes");
    cbBytes->setEditable(true);
    cbBytes->setMaxVisibleItems(10);
    cbBytes->setInsertPolicy(QComboBox::NoInsert);
    FillSizePresets(*cbBytes, BlockSizePresets());
    btnSizeCalc = GlyphButton(Texts::HintSizeCalc, "MAINICONZCALC");
    btnSizeCalc->setObjectName("btnSizeCalc");
    laFilter->setBuddy(cbFilter);
    laMode->setBuddy(cbMode);
    laBlockSize->setBuddy(cbBytes);
    grid->addWidget(laFilter, 0, 0);
    grid->addWidget(cbFilter, 0, 1, 1, 2);
    grid->addWidget(laMode, 1, 0);
    grid->addWidget(cbMode, 1, 1, 1, 2);
    grid->addWidget(laBlockSize, 2, 0);
    grid->addWidget(cbBytes, 2, 1);
    grid->addWidget(btnSizeCalc, 2, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    nbSplitParams->addWidget(parameters);
    // The pages take the room their controls need; the tree above gets the rest.
    nbSplitParams->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    nbSplitParams->setMaximumHeight(parameters->sizeHint().height());

    edComment = new QPlainTextEdit(nbSplitParams);
    edComment->setObjectName("edComment");
    edComment->setContextMenuPolicy(Qt::CustomContextMenu);
    pmComment = new QMenu(edComment);
    pmComment->addAction(Texts::CommentLoad, this, &TMainFormVarnSplit::comment_Load);
    pmComment->addAction(Texts::CommentSave, this, &TMainFormVarnSplit::comment_Save);
    pmComment->addSeparator();
    pmComment->addAction(Texts::CommentClear, this, &TMainFormVarnSplit::comment_Clear);
    connect(edComment, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmComment->popup(edComment->mapToGlobal(at)); });
    nbSplitParams->addWidget(edComment);

    auto* more = new QWidget(nbSplitParams);
    auto* moreLayout = new QVBoxLayout(more);
    cbDel = new QCheckBox(Texts::DeleteFileAfterSplit, more);
    cbDel->setObjectName("cbDel");
    cbBAT = new QCheckBox(Texts::MakeBatchFile, more);
    cbBAT->setObjectName("cbBAT");
    cbSum = new QCheckBox(Texts::MakeChecksums, more);
    cbSum->setObjectName("cbSum");
    moreLayout->addWidget(cbDel);
    moreLayout->addWidget(cbBAT);
    moreLayout->addWidget(cbSum);
    cbWindowsStub = new QCheckBox(Texts::WindowsStubChoice, more);
    cbWindowsStub->setObjectName("cbWindowsStub");
    cbWindowsStub->setChecked(
        m_settings->ReadBool(SN::SectionSettings, SN::WindowsStub, SN::DefaultWindowsStub));
    connect(cbWindowsStub, &QCheckBox::toggled, this, [this](bool checked) {
        m_settings->WriteBool(SN::SectionSettings, SN::WindowsStub, checked);
        RecomputeBlocks();
    });
    moreLayout->addWidget(cbWindowsStub);
    moreLayout->addStretch(1);
    nbSplitParams->addWidget(more);

    ftsSplitParams = new TVarnTabSet(box);
    ftsSplitParams->setObjectName("ftsSplitParams");
    ftsSplitParams->SetTabs({Texts::TabParameters, Texts::TabComment, Texts::TabMore});
    // The strip takes the height its font needs, so no caption is clipped
    // whatever font the desktop gives.
    ftsSplitParams->setFixedHeight(
        std::max(ftsSplitParams->sizeHint().height(), fontMetrics().height() + 10));
    ftsSplitParams->OnChange = [this](QObject*, int newTab, bool&) {
        nbSplitParams->setCurrentIndex(newTab);
    };
    layout->addWidget(nbSplitParams);
    layout->addWidget(ftsSplitParams);

    connect(cbBytes->lineEdit(), &QLineEdit::editingFinished, this,
            &TMainFormVarnSplit::cbBytesEditingFinished);
    connect(cbBytes, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (TrimControl(text.toStdString()).empty()) {
            laTotalBlocks->setText(Texts::UnknownCount);
            laLastBlock->setText(Texts::UnknownCount);
            return;
        }
        RecomputeBlocks();
    });
    connect(cbMode, &QComboBox::currentIndexChanged, this, &TMainFormVarnSplit::cbModeChange);
    connect(cbFilter, &QComboBox::currentIndexChanged, this, &TMainFormVarnSplit::cbFilterChange);
    connect(btnSizeCalc, &QToolButton::clicked, this, &TMainFormVarnSplit::btnSizeCalcClick);
    return box;
}

QWidget* TMainFormVarnSplit::CreateTargetColumn() {
    auto* column = new QWidget(this);
    column->setObjectName("paMainTargetBG");
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    laTargetData = NamedLabel("laTargetData", Texts::TargetData, column);
    btnTargetDesktop = GlyphButton(Texts::HintDesktop, "MAINICON");
    btnTargetNewFolder = GlyphButton(Texts::HintNewFolder, "MAINICONZSETTINGS");
    btnTargetFavorites = GlyphButton(Texts::HintFavorites, "MAINICONZFAV");
    btnTargetAddToFavorites = GlyphButton(Texts::HintAddToFavorites, "MAINICONZFAV");
    btnHelpWhatsThis = GlyphButton(Texts::HintWhatsThis, "MAINICONZVIEW");
    layout->addLayout(
        HeaderRow(laTargetData, {btnTargetDesktop, btnTargetNewFolder, btnTargetFavorites,
                                 btnTargetAddToFavorites, btnHelpWhatsThis}));

    shtTargetData = new TShellTreeView(column);
    shtTargetData->setObjectName("shtTargetData");
    shtTargetData->SetOptions(TF_FOLDERS | TF_HIDDEN);
    shtTargetData->SetReadOnly(true);
    laTargetData->setBuddy(shtTargetData);
    shtTargetData->OnChange = [this](TShellTreeView*, TShellNode*) { shtTargetDataChange(); };
    layout->addWidget(shtTargetData, 1);
    layout->addWidget(CreateInfoPanel());
    ProgressBar1 = new QProgressBar(column);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, ProgressSteps);
    ProgressBar1->setValue(0);
    layout->addWidget(ProgressBar1);
    return column;
}

QWidget* TMainFormVarnSplit::CreateInfoPanel() {
    pnl_Info = new QFrame(this);
    pnl_Info->setObjectName("pnl_Info");
    pnl_Info->setFrameShape(QFrame::StyledPanel);
    pnl_Info->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(pnl_Info);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(1);
    const char* names[] = {"laTotalBlocks", "laLastBlock", "laFileSize", "laExt",
                           "laAttr",        "laCreated",   "laModified"};
    int row = 0;
    for (const char* name : names) {
        QLabel* title = NamedLabel(QString(name) + "Title", "", pnl_Info);
        QLabel* value = NamedLabel(name, "", pnl_Info);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(title, row, 0);
        grid->addWidget(value, row, 1);
        m_infoRows.emplace_back(title, value);
        ++row;
    }
    laTotalBlocksTitle = m_infoRows[0].first;
    laTotalBlocks = m_infoRows[0].second;
    laLastBlockTitle = m_infoRows[1].first;
    laLastBlock = m_infoRows[1].second;
    laExt = m_infoRows[3].second;
    QFont bold = laTotalBlocks->font();
    bold.setBold(true);
    laTotalBlocksTitle->setFont(bold);
    laTotalBlocks->setFont(bold);
    laNoFile = NamedLabel("laNoFile", Texts::NoFile, pnl_Info);
    laNoFile->setAlignment(Qt::AlignCenter);
    grid->addWidget(laNoFile, 0, 0, row, 2);
    grid->setColumnStretch(1, 1);
    return pnl_Info;
}

QWidget* TMainFormVarnSplit::CreateButtonColumn() {
    auto* column = new QWidget(this);
    column->setObjectName("paButtons");
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto button = [&](const char* name, const QString& text) {
        auto* made = new QPushButton(text, column);
        made->setObjectName(name);
        layout->addWidget(made);
        return made;
    };
    btnGo = button("btnGo", Texts::ButtonSplit);
    btnVerify = button("btnVerify", Texts::ButtonVerify);
    btnVerify->setVisible(false);
    layout->addSpacing(8);
    btnSettings = button("btnSettings", Texts::ButtonSettings);
    btnHelp = button("btnHelp", Texts::ButtonHelp);
    btnAbout = button("btnAbout", Texts::ButtonAbout);
    btnClose = button("btnClose", Texts::ButtonClose);
    layout->addStretch(1);
    ffpbPB = new TFlickerFreePaintBox(column);
    ffpbPB->setObjectName("ffpbPB");
    ffpbPB->setFixedSize(32, 32);
    ffpbPB->OnPaint = [this](QObject*, QPainter& canvas) {
        if (m_piecePicture >= 0)
            m_piecePictures[static_cast<std::size_t>(m_piecePicture)].paint(&canvas, 0, 0, 32, 32);
    };
    layout->addWidget(ffpbPB, 0, Qt::AlignHCenter);
    laCurrentBlock = NamedLabel("laCurrentBlock", "", column);
    laCurrentBlock->setAlignment(Qt::AlignCenter);
    layout->addWidget(laCurrentBlock);
    connect(btnGo, &QPushButton::clicked, this, &TMainFormVarnSplit::btnGoClick);
    connect(btnVerify, &QPushButton::clicked, this, &TMainFormVarnSplit::btnVerifyClick);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(btnSettings, &QPushButton::clicked, this, &TMainFormVarnSplit::btnSettingsClick);
    return column;
}

// --- settings ---

namespace {

// A hand-edited list may hold empty lines; they name no favorite.
QStringList StoredFavorites(const TRegistrySettings& settings, const char* section) {
    QStringList lines = ParseFavorites(settings.ReadString(section, SN::Favorites, ""));
    lines.removeAll(QString());
    return lines;
}

} // namespace

void TMainFormVarnSplit::RestoreSettings() {
    TRegistrySettings& settings = *m_settings;
    resize(settings.ReadInteger(SN::SectionMainWindow, SN::Width, SN::DefaultWidth),
           settings.ReadInteger(SN::SectionMainWindow, SN::Height, SN::DefaultHeight));
    QPoint position(settings.ReadInteger(SN::SectionMainWindow, SN::Left, SN::DefaultLeft),
                    settings.ReadInteger(SN::SectionMainWindow, SN::Top, SN::DefaultTop));
    // A position from another screen layout is moved onto the primary screen.
    if (QScreen* screen = QGuiApplication::primaryScreen();
        screen != nullptr && QGuiApplication::screenAt(position) == nullptr)
        position = screen->availableGeometry().topLeft();
    move(position);
    if (settings.ReadBool(SN::SectionMainWindow, SN::Maximized, SN::DefaultMaximized))
        setWindowState(windowState() | Qt::WindowMaximized);
    m_sourceFavorites = StoredFavorites(settings, SN::SectionSourceData);
    m_targetFavorites = StoredFavorites(settings, SN::SectionTargetData);
    ApplyViewSettings();
    const int sortMode =
        settings.ReadInteger(SN::SectionMainWindow, SN::SortMode, SN::DefaultSortMode);
    const TFileSortType sortTypes[] = {so_Name, so_Name, so_Type, so_Size, so_Date};
    shtSourceData->SetFileSortType(sortMode >= 1 && sortMode <= 4 ? sortTypes[sortMode] : so_Name);
    shtSourceData->SetFileSortOrder(
        settings.ReadInteger(SN::SectionMainWindow, SN::SortType, SN::DefaultSortType) == 0
            ? so_Descending
            : so_Ascending);
    m_askForEachDisk =
        settings.ReadBool(SN::SectionSettings, SN::AskForEachDisk, SN::DefaultAskForEachDisk);
    cbSum->setChecked(
        settings.ReadBool(SN::SectionSettings, SN::MakeChecksums, SN::DefaultMakeChecksums));

    const QString blockSize = GroupedNumber(settings.ReadInteger(
        SN::SectionSettings, SN::DefaultBlockSize, SN::DefaultDefaultBlockSize));
    if (cbBytes->findText(blockSize) < 0)
        cbBytes->insertItem(0, blockSize);
    cbBytes->setCurrentIndex(cbBytes->findText(blockSize));
    const int mode = settings.ReadInteger(SN::SectionSettings, SN::SplitMode, SN::DefaultSplitMode);
    cbMode->setCurrentIndex(mode >= 0 && mode <= 4 ? mode : 0);
    LoadFilters();
}

void TMainFormVarnSplit::LoadFilters() {
    const QSignalBlocker blocker(cbFilter);
    cbFilter->clear();
    m_filters = LoadFilterEntries(*m_settings);
    // The all-files entry is appended before the list is filled, so that an
    // entry added for a stored list without one is listed and selected too.
    const int allFiles = SelectAllFilesEntry(m_filters);
    for (const TFilterEntry& entry : m_filters)
        cbFilter->addItem(entry.text);
    cbFilter->setCurrentIndex(allFiles);
    cbFilterChange();
}

void TMainFormVarnSplit::ApplyViewSettings() {
    const TRegistrySettings& settings = *m_settings;
    const bool virtualFolders = settings.ReadBool(SN::SectionSettings, SN::ShowVirtualFolders,
                                                  SN::DefaultShowVirtualFolders);
    const bool hidden =
        settings.ReadBool(SN::SectionSettings, SN::ShowHiddenFiles, SN::DefaultShowHiddenFiles);
    const bool hotTrack = settings.ReadBool(SN::SectionSettings, SN::HotTrack, SN::DefaultHotTrack);
    for (TShellTreeView* tree : {shtSourceData, shtTargetData}) {
        tree->SetShowVirtualFolders(virtualFolders);
        TVisOptions options = tree->Options();
        options.setFlag(TF_HIDDEN, hidden);
        tree->SetOptions(options);
        // Hot tracking: the item under the mouse is highlighted as it passes.
        tree->setProperty("HotTrack", hotTrack);
        tree->setMouseTracking(hotTrack);
        tree->viewport()->setAttribute(Qt::WA_Hover, hotTrack);
    }
    const bool flat = settings.ReadBool(SN::SectionSettings, SN::FlatBtns, SN::DefaultFlatBtns);
    for (QToolButton* button :
         {btnSourceDesktop, btnSortOrder, btnSourceFavorites, btnSourceAddToFavorites,
          btnTargetDesktop, btnTargetNewFolder, btnTargetFavorites, btnTargetAddToFavorites,
          btnHelpWhatsThis, btnSizeCalc})
        button->setAutoRaise(flat);
}

void TMainFormVarnSplit::btnSettingsClick() {
    if (Busy() || !ExecuteSettings(this, m_sourceFavorites, m_targetFavorites))
        return;
    // The block size and the mode are defaults for the next start; the
    // buffer size and the disk and extension options are read by every run.
    LoadFilters();
    ApplyViewSettings();
    BuildSourceFavoritesMenu();
    BuildTargetFavoritesMenu();
}

void TMainFormVarnSplit::SaveSettings() {
    TRegistrySettings& settings = *m_settings;
    const bool maximized = isMaximized();
    settings.WriteBool(SN::SectionMainWindow, SN::Maximized, maximized);
    if (!maximized) {
        settings.WriteInteger(SN::SectionMainWindow, SN::Left, x());
        settings.WriteInteger(SN::SectionMainWindow, SN::Top, y());
        settings.WriteInteger(SN::SectionMainWindow, SN::Height, height());
        settings.WriteInteger(SN::SectionMainWindow, SN::Width, width());
    }
    settings.WriteBool(SN::SectionSettings, SN::MakeChecksums, cbSum->isChecked());
    settings.WriteString(SN::SectionSourceData, SN::Favorites, FavoritesText(m_sourceFavorites));
    settings.WriteString(SN::SectionTargetData, SN::Favorites, FavoritesText(m_targetFavorites));
    const int sortModes[] = {1, 3, 2, 4}; // so_Name, so_Size, so_Type, so_Date
    settings.WriteInteger(SN::SectionMainWindow, SN::SortMode,
                          sortModes[shtSourceData->FileSortType()]);
    settings.WriteInteger(SN::SectionMainWindow, SN::SortType,
                          shtSourceData->FileSortOrder() == so_Descending ? 0 : 1);
}

// --- window events ---

void TMainFormVarnSplit::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    if (!m_context.fileArgument.isEmpty())
        SelectFileFromOutside(m_context.fileArgument);
}

// The start-up benchmark measures the time to the window's first paint; with
// VARN_QUIT_AFTER_FIRST_PAINT set the program ends right after it.
void TMainFormVarnSplit::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    static const bool quitAfterPaint = qEnvironmentVariableIsSet("VARN_QUIT_AFTER_FIRST_PAINT");
    if (quitAfterPaint)
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void TMainFormVarnSplit::SelectFileFromOutside(const QString& path) {
    if (Busy())
        return;
    const QFileInfo file(path);
    if (file.isFile())
        shtSourceData->SetPath(file.absoluteFilePath());
}

void TMainFormVarnSplit::closeEvent(QCloseEvent* event) {
    // A running operation is stopped first; the window closes once the engine
    // has returned and its files are cleaned up.
    if (Busy()) {
        m_closeWhenDone = true;
        m_run->RequestStop();
        event->ignore();
        return;
    }
    try {
        SaveSettings();
    } catch (const std::exception& error) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, QString::fromUtf8(error.what()));
    }
    event->accept();
}

void TMainFormVarnSplit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Until the user drags the splitter, the two trees share the room equally.
    if (!m_splitterMoved && spMain != nullptr) {
        const int half = spMain->width() / 2;
        spMain->setSizes({half, spMain->width() - half});
    }
}

void TMainFormVarnSplit::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        ApplyActivationColors(isActiveWindow());
}

void TMainFormVarnSplit::ApplyActivationColors(bool active) {
    const QPalette::ColorGroup group = active ? QPalette::Active : QPalette::Disabled;
    const QColor color = QApplication::palette().color(group, QPalette::WindowText);
    for (QLabel* label : findChildren<QLabel*>()) {
        // A dialog parented to the window keeps its own colours.
        if (!label->isEnabled() || label->window() != this)
            continue;
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
}

// Exactly one local file is taken; a folder is accepted but selects nothing.
void TMainFormVarnSplit::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!Busy() && urls.size() == 1 && urls.front().isLocalFile())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainFormVarnSplit::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (Busy() || urls.size() != 1 || !urls.front().isLocalFile()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    SelectFileFromOutside(urls.front().toLocalFile());
}

// --- messages and the action button ---

void TMainFormVarnSplit::ShowMessage(int icon, const QString& caption, const QString& text) {
    m_dialogs.message(this, icon, caption, text);
}

// The engine's own messages come from the worker during a run; they are shown
// on the window's thread while the engine waits.
void TMainFormVarnSplit::Report(TEngineMessage message, const std::string& path) {
    const auto show = [&] {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                    QString::fromStdString(EngineMessageText(message, path)));
    };
    if (QThread::currentThread() == thread())
        show();
    else
        QMetaObject::invokeMethod(this, show, Qt::BlockingQueuedConnection);
}

void TMainFormVarnSplit::SetCommand(TCommand command) {
    m_command = command;
    switch (command) {
    case TCommand::cmSplit:
    case TCommand::cmNone:
        btnGo->setText(Texts::ButtonSplit);
        break;
    case TCommand::cmUnite:
        btnGo->setText(Texts::ButtonUnite);
        break;
    case TCommand::cmStop:
        btnGo->setText(Texts::ButtonStop);
        break;
    }
}

void TMainFormVarnSplit::btnGoClick() {
    switch (m_command) {
    case TCommand::cmSplit:
        TheSplit();
        break;
    case TCommand::cmUnite:
        TheUnSplit();
        break;
    case TCommand::cmStop:
        TheStop();
        break;
    case TCommand::cmNone:
        break;
    }
}
