#include "ui/SettingsForm.h"

#include "engine/FileUtils.h"
#include "resources/Icons.h"
#include "settings/Favorites.h"
#include "settings/FileAssociation.h"
#include "settings/FilterList.h"
#include "settings/PlatformHelpers.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "texts/QtTextFormat.h"
#include "texts/SettingsTexts.h"
#include "texts/WindowTexts.h"
#include "ui/FilterGrid.h"
#include "ui/SizePresets.h"
#include "ui/SizeText.h"
#include "widgets/CheckBox95.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <limits>

namespace SN = SettingNames;

std::function<void(TSettingsForm&)> TSettingsForm::OnShownForTest;
std::function<void(QWidget*, int, const QString&, const QString&)> TSettingsForm::ShowMessage =
    [](QWidget* parent, int icon, const QString& caption, const QString& text) {
        QMessageBox box(static_cast<QMessageBox::Icon>(icon), caption, text, QMessageBox::Ok,
                        parent);
        box.exec();
    };
std::function<void(QWidget*, const QString&)> TSettingsForm::ShowHelp;

namespace {

constexpr const char* HelpFileName = "varnsplit.hlp";
// A favorite's path is shown up to this many characters.
constexpr int LongestShownPath = 100000;

// Only digits, Backspace, the blank and the locale's group separator reach
// the block size box; control keys (moving, Ctrl+V) pass, and what they
// bring in is checked at OK.
class TSizeKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.isEmpty() || !text[0].isPrint())
            return false;
        const QString separator = QLocale().groupSeparator();
        for (QChar ch : text)
            if (!(ch >= u'0' && ch <= u'9') && ch != u' ' && !separator.contains(ch))
                return true;
        return false;
    }
};

// The path column of a favorites list is shown, never edited.
class TReadOnlyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return nullptr;
    }
};

QLabel* BoldLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QCheckBox* CheckBox(const char* name, const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QLabel* Picture(const char* name, const char* icon, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setPixmap(VarnIcons::Icon(icon).pixmap(32, 32));
    picture->setFixedSize(32, 32);
    return picture;
}

QString WithoutMnemonic(QString text) {
    return text.remove(u'&');
}

// A label and its box: the box starts 5·w/6 right of the label and reaches
// the page's right edge.
QHBoxLayout* LabelledBox(QLabel* label, QWidget* box, int charWidth, bool longCaption) {
    auto* row = new QHBoxLayout;
    row->setSpacing(5 * charWidth / 6);
    // A caption too long for the font beside its box wraps rather than
    // being clipped.
    label->setWordWrap(longCaption);
    if (auto* list = qobject_cast<QComboBox*>(box)) {
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(10);
    }
    row->addWidget(label, longCaption ? 3 : 0);
    row->addWidget(box, longCaption ? 2 : 1);
    label->setBuddy(box);
    return row;
}

void SelectSize(QComboBox& box, int size) {
    const QString text = GroupedNumber(size);
    if (box.findText(text) < 0)
        box.insertItem(0, text);
    box.setCurrentIndex(box.findText(text));
}

bool FavoriteDescriptionAllowed(const QString& description) {
    return !description.contains(u'=') && !description.contains(u'\r') &&
           !description.contains(u'\n');
}

} // namespace

TSizeCheck CheckSizeText(const QString& text, const char* boxName) {
    const QString name = QString::fromUtf8(boxName);
    if (TrimControl(text.toStdString()).empty())
        return {SN::DefaultDefaultBlockSize, QString()};
    std::string digits =
        StripGrouping(text.toStdString(), QLocale().groupSeparator().toStdString());
    const bool hasSign = !digits.empty() && (digits[0] == '-' || digits[0] == '+');
    const bool minus = hasSign && digits[0] == '-';
    if (hasSign)
        digits.erase(0, 1);
    const bool allDigits =
        !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
    if (!allDigits) {
        // A long paste is quoted only as far as a message line can show it.
        constexpr int longestQuoted = 40;
        const QString quoted = text.size() > longestQuoted ? text.left(longestQuoted) + u'…' : text;
        return {std::nullopt, FormatQText(Texts::SettingsSizeNotNumber, {name, quoted})};
    }
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    const std::string significant = digits.substr(first);
    if (minus && !significant.empty())
        return {std::nullopt, FormatQText(Texts::SettingsSizeBelowOne, {name})};
    const auto largest = static_cast<long long>(std::numeric_limits<int>::max());
    if (significant.size() > 10 || (significant.size() == 10 && std::stoll(significant) > largest))
        return {std::nullopt,
                FormatQText(Texts::SettingsSizeTooLarge, {name, GroupedNumber(largest)})};
    const int value = significant.empty() ? 0 : std::stoi(significant);
    if (value < 1)
        return {std::nullopt, FormatQText(Texts::SettingsSizeBelowOne, {name})};
    return {value, QString()};
}

TSettingsForm::TSettingsForm(QWidget* parent, const QStringList& sourceFavorites,
                             const QStringList& targetFavorites)
    : TModalFrame(parent, QSize(545, 350),
                  GetWindowsVersion() == 11 ? "MAINICONZSETTINGSXP" : "MAINICONZSETTINGS",
                  Texts::SettingsTitle, Texts::SettingsDescriptions[pgGeneral]),
      m_sourceFavorites(sourceFavorites), m_targetFavorites(targetFavorites) {
    setObjectName("TSettingsForm");
    // The average character width and height the layout scales with.
    const QFontMetrics metrics = fontMetrics();
    m_charWidth = std::max(
        1, metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52);
    m_charHeight = std::max(1, metrics.height());

    QWidget* body = Body();
    const int bodyHeight = body->height();

    auto* selectors = new QWidget(body);
    selectors->setGeometry(8, 8, 142, 240);
    auto* selectorLayout = new QVBoxLayout(selectors);
    selectorLayout->setContentsMargins(0, 0, 0, 0);
    const auto selector = [&](const char* name, const char* text, int page, int indent) {
        auto* button = new QRadioButton(text, selectors);
        button->setObjectName(name);
        button->setProperty("tag", page);
        auto* row = new QHBoxLayout;
        row->addSpacing(indent);
        row->addWidget(button, 1);
        selectorLayout->addLayout(row);
        connect(button, &QRadioButton::clicked, this, [this, page] { SetPage(page); });
        return button;
    };
    rbGeneral = selector("rbGeneral", Texts::SettingsPageGeneral, pgGeneral, 0);
    rbSplitting = selector("rbSplitting", Texts::SettingsPageSplitting, pgSplitting, 0);
    laFavorites = BoldLabel("laFavorites", Texts::SettingsFavorites, selectors);
    selectorLayout->addWidget(laFavorites);
    rbSourceFavorites =
        selector("rbSourceFavorites", Texts::SettingsPageSourceFavorites, pgSourceFavorites, 16);
    rbTargetFavorites =
        selector("rbTargetFavorites", Texts::SettingsPageTargetFavorites, pgTargetFavorites, 16);
    rbFilter = selector("rbFilter", Texts::SettingsPageFilter, pgFilter, 0);
    selectorLayout->addStretch(1);

    Notebook1 = new QStackedWidget(body);
    Notebook1->setObjectName("Notebook1");
    Notebook1->setGeometry(body->width() - 387 - 8, 8, 387, 240);
    Notebook1->addWidget(CreateGeneralPage());
    Notebook1->addWidget(CreateSplittingPage());
    Notebook1->addWidget(CreateFavoritesPage("lvSource", lvSource, m_sourceFavorites));
    Notebook1->addWidget(CreateFavoritesPage("lvTarget", lvTarget, m_targetFavorites));
    sgFilter = new TFilterGrid(Notebook1, m_charWidth, m_charHeight);
    Notebook1->addWidget(sgFilter);

    const auto button = [&](const char* name, const char* text, int right) {
        auto* made = new QPushButton(text, body);
        made->setObjectName(name);
        made->setGeometry(body->width() - right, bodyHeight - 33, 75, 25);
        return made;
    };
    btnOK = button("btnOK", Texts::SettingsOK, 8 + 3 * 75 + 2 * 6);
    btnCancel = button("btnCancel", Texts::SettingsCancel, 8 + 2 * 75 + 6);
    btnHelp = button("btnHelp", Texts::SettingsHelp, 8 + 75);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TSettingsForm::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TSettingsForm::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TSettingsForm::btnHelpClick);

    SetPage(pgGeneral);
}

QWidget* TSettingsForm::CreateGeneralPage() {
    auto* page = new QWidget(Notebook1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    auto* viewRow = new QHBoxLayout;
    viewRow->addWidget(BoldLabel("laView", Texts::SettingsView, page), 1);
    viewRow->addWidget(
        Picture("imgView", GetWindowsVersion() == 11 ? "MAINICONZVIEWXP" : "MAINICONZVIEW", page));
    layout->addLayout(viewRow);
    cbShowHiddenFiles = CheckBox("cbShowHiddenFiles", Texts::SettingsShowHiddenFiles, page);
    cbShowVirtualFolders =
        CheckBox("cbShowVirtualFolders", Texts::SettingsShowVirtualFolders, page);
    cbHotTrack = CheckBox("cbHotTrack", Texts::SettingsHotTrack, page);
    cbFlatBtns = CheckBox("cbFlatBtns", Texts::SettingsFlatBtns, page);
    for (QCheckBox* box : {cbShowHiddenFiles, cbShowVirtualFolders, cbHotTrack, cbFlatBtns})
        layout->addWidget(box);
    layout->addSpacing(6);
    layout->addWidget(BoldLabel("laStartUp", Texts::SettingsStartUp, page));
    cbRestoreAssociations = new TCheckBox95(Texts::SettingsRestoreAssociations, page);
    cbRestoreAssociations->setObjectName("cbRestoreAssociations");
    cbRestoreAssociations->SetWordWrap(true);
    layout->addWidget(cbRestoreAssociations);
    btnRestoreAssociations = new QPushButton(Texts::SettingsRestoreNow, page);
    btnRestoreAssociations->setObjectName("btnRestoreAssociations");
    const int captionWidth = btnRestoreAssociations->fontMetrics().horizontalAdvance(
        WithoutMnemonic(Texts::SettingsRestoreNow));
    btnRestoreAssociations->setFixedWidth((captionWidth + 18) * m_charWidth / 6);
    connect(btnRestoreAssociations, &QPushButton::clicked, this,
            &TSettingsForm::btnRestoreAssociationsClick);
    layout->addWidget(btnRestoreAssociations, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return page;
}

QWidget* TSettingsForm::CreateSplittingPage() {
    auto* page = new QWidget(Notebook1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    auto* noteRow = new QHBoxLayout;
    noteRow->addWidget(Picture("imgSplit", "MAINICON", page));
    auto* note = new QLabel(Texts::SettingsSplitNote, page);
    note->setObjectName("laSplit");
    noteRow->addWidget(note, 1);
    layout->addLayout(noteRow);

    const auto sizeBox = [&](const char* name) {
        auto* box = new QComboBox(page);
        box->setObjectName(name);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        connect(box->lineEdit(), &QLineEdit::editingFinished, this,
                [this, box] { SizeBoxLeft(*box); });
        return box;
    };
    cbBytes = sizeBox("cbBytes");
    cbBytes->setMaxVisibleItems(11);
    cbBytes->setProperty("HelpContext", 1003);
    // The combo box hands typed keys on to its line edit, so both are watched.
    auto* keyFilter = new TSizeKeyFilter(cbBytes);
    cbBytes->installEventFilter(keyFilter);
    cbBytes->lineEdit()->installEventFilter(keyFilter);
    cbBuffer = sizeBox("cbBuffer");
    cbMode = new QComboBox(page);
    cbMode->setObjectName("cbMode");
    for (const char* mode : Texts::ModeNames)
        cbMode->addItem(mode);
    const auto label = [&](const char* name, const char* text) {
        auto* made = new QLabel(text, page);
        made->setObjectName(name);
        return made;
    };
    layout->addLayout(LabelledBox(label("laDefaultBlockSize", Texts::SettingsDefaultBlockSize),
                                  cbBytes, m_charWidth, true));
    layout->addLayout(LabelledBox(label("laDefaultBufferSize", Texts::SettingsDefaultBufferSize),
                                  cbBuffer, m_charWidth, true));
    layout->addLayout(
        LabelledBox(label("laMode", Texts::SettingsMode), cbMode, m_charWidth, false));
    cbAskForEachDisk = CheckBox("cbAskForEachDisk", Texts::SettingsAskForEachDisk, page);
    cbAskForEachDisk->setProperty("HelpContext", 1007);
    cbKeepOriginalExt = CheckBox("cbKeepOriginalExt", Texts::SettingsKeepOriginalExt, page);
    layout->addWidget(cbAskForEachDisk);
    layout->addWidget(cbKeepOriginalExt);
    layout->addStretch(1);
    FillSizePresets(*cbBytes, BlockSizePresets());
    FillSizePresets(*cbBuffer, BufferSizePresets());
    return page;
}

QWidget* TSettingsForm::CreateFavoritesPage(const char* listName, QTreeWidget*& list,
                                            QStringList& lines) {
    auto* page = new QWidget(Notebook1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    list = new QTreeWidget(page);
    list->setObjectName(listName);
    list->setColumnCount(2);
    list->setHeaderLabels({Texts::SettingsColumnDescription, Texts::SettingsColumnPath});
    list->setColumnWidth(0, 125);
    list->setColumnWidth(1, 240);
    list->header()->setSectionsClickable(false);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    list->setItemDelegateForColumn(1, new TReadOnlyDelegate(list));
    layout->addWidget(list, 1);
    FillFavorites(*list, lines);
    QTreeWidget* view = list;
    connect(list, &QTreeWidget::itemChanged, this,
            [this, view, &lines](QTreeWidgetItem* item, int column) {
                FavoriteEdited(*view, lines, item, column);
            });

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* text) {
        auto* made = new QPushButton(text, page);
        made->setFixedWidth(125);
        buttons->addWidget(made);
        return made;
    };
    connect(button(Texts::SettingsRename), &QPushButton::clicked, this,
            [this, view] { RenameFavorite(*view); });
    connect(button(Texts::SettingsDelete), &QPushButton::clicked, this,
            [this, view, &lines] { DeleteFavorite(*view, lines); });
    connect(button(Texts::SettingsCheckPath), &QPushButton::clicked, this,
            [this, view, &lines] { CheckFavoritePath(*view, lines); });
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

void TSettingsForm::FillFavorites(QTreeWidget& list, const QStringList& lines) {
    const QSignalBlocker blocker(&list);
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& line : lines) {
        const TFavorite favorite = SplitFavoriteLine(line);
        auto* item = new QTreeWidgetItem(
            &list, {favorite.description, favorite.path.left(LongestShownPath)});
        item->setIcon(0, folder);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void TSettingsForm::FavoriteEdited(QTreeWidget& list, QStringList& lines, QTreeWidgetItem* item,
                                   int column) {
    const int row = list.indexOfTopLevelItem(item);
    if (column != 0 || row < 0 || row >= lines.size())
        return;
    TFavorite favorite = SplitFavoriteLine(lines[row]);
    const QString description = item->text(0);
    if (!FavoriteDescriptionAllowed(description)) {
        // The line form "description=path" cannot hold such a description.
        {
            const QSignalBlocker blocker(&list);
            item->setText(0, favorite.description);
        }
        ShowMessage(this, QMessageBox::Warning, Texts::CaptionAttention,
                    FormatQText(Texts::SettingsFavoriteBadDescription, {description}));
        return;
    }
    favorite.description = description;
    lines[row] = FavoriteLine(favorite);
}

void TSettingsForm::RenameFavorite(QTreeWidget& list) {
    const QList<QTreeWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty())
        return;
    list.setFocus();
    list.editItem(selected.front(), 0);
}

// The row of the selected favorite, or -1 when none is selected.
int TSettingsForm::SelectedFavoriteRow(const QTreeWidget& list, const QStringList& lines) {
    const QList<QTreeWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty())
        return -1;
    const int row = list.indexOfTopLevelItem(selected.front());
    return row >= 0 && row < lines.size() ? row : -1;
}

void TSettingsForm::DeleteFavorite(QTreeWidget& list, QStringList& lines) {
    const int row = SelectedFavoriteRow(list, lines);
    if (row < 0)
        return;
    delete list.takeTopLevelItem(row);
    lines.removeAt(row);
}

void TSettingsForm::CheckFavoritePath(QTreeWidget& list, QStringList& lines) {
    const int row = SelectedFavoriteRow(list, lines);
    if (row < 0)
        return;
    if (FolderExists(SplitFavoriteLine(lines[row]).path.toStdString()))
        ShowMessage(this, QMessageBox::Information, Texts::CaptionInformation,
                    Texts::SettingsPathExists);
    else
        ShowMessage(this, QMessageBox::Warning, Texts::CaptionAttention,
                    Texts::SettingsPathMissing);
}

void TSettingsForm::LoadSettings(const TRegistrySettings& settings) {
    const auto readBool = [&](const char* name, bool defaultValue) {
        return settings.ReadBool(SN::SectionSettings, name, defaultValue);
    };
    cbShowHiddenFiles->setChecked(readBool(SN::ShowHiddenFiles, SN::DefaultShowHiddenFiles));
    cbShowVirtualFolders->setChecked(
        readBool(SN::ShowVirtualFolders, SN::DefaultShowVirtualFolders));
    cbHotTrack->setChecked(readBool(SN::HotTrack, SN::DefaultHotTrack));
    cbFlatBtns->setChecked(readBool(SN::FlatBtns, SN::DefaultFlatBtns));
    cbRestoreAssociations->setChecked(
        readBool(SN::RestoreAssociations, SN::DefaultRestoreAssociations));
    SelectSize(*cbBytes, settings.ReadInteger(SN::SectionSettings, SN::DefaultBlockSize,
                                              SN::DefaultDefaultBlockSize));
    SelectSize(*cbBuffer, settings.ReadInteger(SN::SectionSettings, SN::DefaultBufferSize,
                                               SN::DefaultBufferSizeInDialog));
    // A mode number outside the list (only a hand edit stores one) shows as
    // normal splitting, so the dialog never writes a number the list lacks.
    const int mode = settings.ReadInteger(SN::SectionSettings, SN::SplitMode, SN::DefaultSplitMode);
    cbMode->setCurrentIndex(mode >= 0 && mode < cbMode->count() ? mode : 0);
    cbAskForEachDisk->setChecked(readBool(SN::AskForEachDisk, SN::DefaultAskForEachDisk));
    cbKeepOriginalExt->setChecked(readBool(SN::KeepOriginalExt, SN::DefaultKeepOriginalExt));
    sgFilter->SetFilters(LoadFilters(settings));
}

bool TSettingsForm::CheckValues() {
    const struct {
        QComboBox* box;
        const char* name;
    } sizes[] = {{cbBytes, Texts::SettingsBlockSizeName},
                 {cbBuffer, Texts::SettingsBufferSizeName}};
    for (const auto& size : sizes) {
        const TSizeCheck check = CheckSizeText(size.box->currentText(), size.name);
        if (!check.value) {
            SetPage(pgSplitting);
            ShowMessage(this, QMessageBox::Critical, Texts::CaptionError, check.problem);
            size.box->setFocus();
            size.box->lineEdit()->selectAll();
            return false;
        }
    }
    if (const QString problem = FilterRowsProblem(sgFilter->Rows()); !problem.isEmpty()) {
        SetPage(pgFilter);
        ShowMessage(this, QMessageBox::Critical, Texts::CaptionError, problem);
        sgFilter->setFocus();
        return false;
    }
    return true;
}

void TSettingsForm::SaveSettings(TRegistrySettings& settings) const {
    // Checked once more here, so that no way round OK stores a size below 1.
    const TSizeCheck blockSize =
        CheckSizeText(cbBytes->currentText(), Texts::SettingsBlockSizeName);
    const TSizeCheck bufferSize =
        CheckSizeText(cbBuffer->currentText(), Texts::SettingsBufferSizeName);
    for (const TSizeCheck* check : {&blockSize, &bufferSize})
        if (!check->value)
            throw ESettingsError(check->problem);

    TSettingsBatch batch(settings);
    const auto writeBool = [&](const char* name, const QCheckBox* box) {
        settings.WriteBool(SN::SectionSettings, name, box->isChecked());
    };
    writeBool(SN::ShowHiddenFiles, cbShowHiddenFiles);
    writeBool(SN::ShowVirtualFolders, cbShowVirtualFolders);
    writeBool(SN::HotTrack, cbHotTrack);
    writeBool(SN::FlatBtns, cbFlatBtns);
    writeBool(SN::RestoreAssociations, cbRestoreAssociations);
    settings.WriteInteger(SN::SectionSettings, SN::DefaultBlockSize, *blockSize.value);
    settings.WriteInteger(SN::SectionSettings, SN::DefaultBufferSize, *bufferSize.value);
    settings.WriteInteger(SN::SectionSettings, SN::SplitMode, std::max(0, cbMode->currentIndex()));
    writeBool(SN::AskForEachDisk, cbAskForEachDisk);
    writeBool(SN::KeepOriginalExt, cbKeepOriginalExt);
    SaveFilters(settings, sgFilter->Rows());
    batch.Commit();
}

void TSettingsForm::accept() {
    // Leaving a box by Enter or a click on OK tidies it as leaving it would.
    SizeBoxLeft(*cbBytes);
    SizeBoxLeft(*cbBuffer);
    if (CheckValues())
        TModalFrame::accept();
}

void TSettingsForm::SizeBoxLeft(QComboBox& box) {
    const TSizeCheck check = CheckSizeText(box.currentText(), "");
    if (check.value)
        box.setEditText(GroupedNumber(*check.value));
}

int TSettingsForm::Page() const {
    return Notebook1->currentIndex();
}

void TSettingsForm::SetPage(int page) {
    if (page < 0 || page >= PageCount)
        return;
    Notebook1->setCurrentIndex(page);
    SetDescription(Texts::SettingsDescriptions[page]);
    QRadioButton* selectors[] = {rbGeneral, rbSplitting, rbSourceFavorites, rbTargetFavorites,
                                 rbFilter};
    selectors[page]->setChecked(true);
}

QString TSettingsForm::HelpMacro() const {
    return FormatQText(Texts::SettingsHelpMacro, {HelpFileName, Texts::SettingsHelpWindow,
                                                  Texts::SettingsHelpTopics[Page()]});
}

void TSettingsForm::btnHelpClick() {
    if (ShowHelp)
        ShowHelp(this, HelpMacro());
}

// Acts at once; Cancel does not undo it.
void TSettingsForm::btnRestoreAssociationsClick() {
    try {
        RegisterFileAssociation();
    } catch (const std::exception& error) {
        ShowMessage(this, QMessageBox::Critical, Texts::CaptionError,
                    QString::fromUtf8(error.what()));
    }
}

void TSettingsForm::showEvent(QShowEvent* event) {
    TModalFrame::showEvent(event);
    if (OnShownForTest)
        QTimer::singleShot(0, this, [this] { OnShownForTest(*this); });
}

bool ExecuteSettings(QWidget* parent, QStringList& sourceFavorites, QStringList& targetFavorites) {
    TSettingsForm form(parent, sourceFavorites, targetFavorites);
    {
        const TRegistrySettings settings;
        form.LoadSettings(settings);
    }
    if (form.exec() != QDialog::Accepted)
        return false;
    try {
        TRegistrySettings settings;
        form.SaveSettings(settings);
    } catch (const std::exception& error) {
        TSettingsForm::ShowMessage(
            parent, QMessageBox::Critical, Texts::CaptionError,
            FormatQText(Texts::SettingsNotSaved, {QString::fromUtf8(error.what())}));
        return false;
    }
    sourceFavorites = form.SourceFavorites();
    targetFavorites = form.TargetFavorites();
    return true;
}
