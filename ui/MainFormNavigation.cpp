// The small commands around the two trees: the sort button and its menu, the
// desktop buttons, the new-folder button, Shift+F12 and Delete in the source
// tree, and the glyphs of the tree headers.

#include "engine/FileUtils.h"
#include "resources/ToolbarGlyphs.h"
#include "settings/PlatformHelpers.h"
#include "shell/ItemMenu.h"
#include "shell/ShellTreeView.h"
#include "texts/NavigationTexts.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"
#include "texts/WindowTexts.h"
#include "ui/MainForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>

namespace {

// Hands the events of the objects it watches to a function; true eats them.
class TEventHook : public QObject {
public:
    TEventHook(std::function<bool(QObject*, QEvent*)> hook, QObject* parent)
        : QObject(parent), m_hook(std::move(hook)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        return m_hook(watched, event) || QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QObject*, QEvent*)> m_hook;
};

// The sort items' tags 1 to 4 stand for these sort types.
TFileSortType SortTypeOfTag(int tag) {
    switch (tag) {
    case 2:
        return so_Type;
    case 3:
        return so_Size;
    case 4:
        return so_Date;
    default:
        return so_Name;
    }
}

int SortGlyph(TFileSortType sortType, TFileSortOrder sortOrder) {
    const bool descending = sortOrder == so_Descending;
    switch (sortType) {
    case so_Type:
        return descending ? VarnGlyphs::glByTypeAZ : VarnGlyphs::glByTypeZA;
    case so_Size:
        return descending ? VarnGlyphs::glBySizeAZ : VarnGlyphs::glBySizeZA;
    case so_Date:
        return descending ? VarnGlyphs::glByDateAZ : VarnGlyphs::glByDateZA;
    case so_Name:
        break;
    }
    return descending ? VarnGlyphs::glByNameAZ : VarnGlyphs::glByNameZA;
}

// The folder that holds what a path names: the part before its file-name
// part; a path without one ("/") is its own folder.
QString ContainingFolder(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash < 0 || slash == trimmed.size() - 1)
        return path;
    return slash == 0 ? QStringLiteral("/") : trimmed.left(slash);
}

bool DefaultInputBox(QWidget* parent, const QString& caption, const QString& prompt,
                     QString& text) {
    bool accepted = false;
    const QString typed =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &accepted);
    if (accepted)
        text = typed;
    return accepted;
}

bool DefaultConfirmDelete(QWidget* parent, const QString& path) {
    return QMessageBox::question(parent, QString::fromUtf8(Texts::CaptionAttention),
                                 FormatQText(Texts::MenuDeleteConfirm, {path}),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

void TMainFormVarnSplit::CreateNavigation() {
    m_dialogs.inputBox = DefaultInputBox;
    m_dialogs.confirmDelete = DefaultConfirmDelete;

    btnSourceDesktop->setObjectName("btnSourceDesktop");
    btnTargetDesktop->setObjectName("btnTargetDesktop");
    btnSortOrder->setObjectName("btnSortOrder");
    btnTargetNewFolder->setObjectName("btnTargetNewFolder");
    SortPopupMenu = new QMenu(btnSortOrder);
    SortPopupMenu->setObjectName("SortPopupMenu");
    auto* sortGroup = new QActionGroup(SortPopupMenu);
    const std::pair<QAction**, const char*> items[] = {
        {&item_SortByName, Texts::SortByName},
        {&item_SortByType, Texts::SortByType},
        {&item_SortBySize, Texts::SortBySize},
        {&item_SortByDate, Texts::SortByDate},
    };
    int tag = 1;
    for (auto [item, text] : items) {
        *item = SortPopupMenu->addAction(QString::fromUtf8(text));
        (*item)->setCheckable(true);
        (*item)->setData(tag++);
        sortGroup->addAction(*item);
    }
    item_SortByName->setObjectName("item_SortByName");
    item_SortByType->setObjectName("item_SortByType");
    item_SortBySize->setObjectName("item_SortBySize");
    item_SortByDate->setObjectName("item_SortByDate");
    for (QAction* item : sortGroup->actions()) {
        if (SortTypeOfTag(item->data().toInt()) == shtSourceData->FileSortType())
            item->setChecked(true);
    }
    connect(sortGroup, &QActionGroup::triggered, this, &TMainFormVarnSplit::item_SortByDateClick);
    // The button toggles the order; its arrow opens the menu.
    btnSortOrder->setMenu(SortPopupMenu);
    btnSortOrder->setPopupMode(QToolButton::MenuButtonPopup);
    connect(btnSortOrder, &QToolButton::clicked, this, &TMainFormVarnSplit::btnSortOrderClick);

    connect(btnSourceDesktop, &QToolButton::clicked, this,
            &TMainFormVarnSplit::btnSourceDesktopClick);
    connect(btnTargetDesktop, &QToolButton::clicked, this,
            &TMainFormVarnSplit::btnTargetDesktopClick);
    connect(btnTargetNewFolder, &QToolButton::clicked, this,
            &TMainFormVarnSplit::btnTargetNewFolderClick);

    // The window sees its keys before the control with the focus does.
    qApp->installEventFilter(new TEventHook(
        [this](QObject* watched, QEvent* event) {
            if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
                static_cast<QWidget*>(watched)->window() != this)
                return false;
            return FormKeyDown(static_cast<QKeyEvent*>(event));
        },
        this));
    shtSourceData->installEventFilter(new TEventHook(
        [this](QObject*, QEvent* event) {
            return event->type() == QEvent::KeyRelease &&
                   shtSourceDataKeyUp(static_cast<QKeyEvent*>(event));
        },
        this));
    ApplyToolbarGlyphs();
}

void TMainFormVarnSplit::ApplyToolbarGlyphs() {
    using namespace VarnGlyphs;
    const std::pair<QToolButton*, int> glyphs[] = {
        {btnSourceDesktop, glDesktop},
        {btnSourceFavorites, glFavorites},
        {btnSourceAddToFavorites, glAddToFavorites},
        {btnTargetDesktop, glDesktop},
        {btnTargetNewFolder, glNewFolder},
        {btnTargetFavorites, glFavorites},
        {btnTargetAddToFavorites, glAddToFavorites},
        {btnHelpWhatsThis, glWhatsThis},
        {btnSizeCalc, glCalc},
    };
    for (auto [button, glyph] : glyphs)
        button->setIcon(Glyph(glyph));
    SetSortGlyph();
}

void TMainFormVarnSplit::SetSortGlyph() {
    btnSortOrder->setIcon(VarnGlyphs::Glyph(
        SortGlyph(shtSourceData->FileSortType(), shtSourceData->FileSortOrder())));
}

void TMainFormVarnSplit::btnSortOrderClick() {
    if (Busy())
        return;
    shtSourceData->SetFileSortOrder(shtSourceData->FileSortOrder() == so_Ascending ? so_Descending
                                                                                   : so_Ascending);
    SetSortGlyph();
}

void TMainFormVarnSplit::item_SortByDateClick(QAction* item) {
    if (Busy())
        return;
    item->setChecked(true);
    shtSourceData->SetFileSortType(SortTypeOfTag(item->data().toInt()));
    SetSortGlyph();
}

void TMainFormVarnSplit::btnSourceDesktopClick() {
    GoToDesktop(shtSourceData);
}

void TMainFormVarnSplit::btnTargetDesktopClick() {
    GoToDesktop(shtTargetData);
}

void TMainFormVarnSplit::GoToDesktop(TShellTreeView* tree) {
    if (Busy())
        return;
    try {
        tree->collapseAll();
        // The trees start at Computer; the desktop holds it.
        tree->SetRootPIDL(PIDL_DESKTOP);
        if (!tree->HandleAllocated())
            return;
        tree->ExpandNode(tree->SelectSpecialFolder(PIDL_DESKTOP));
    } catch (const std::exception& error) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, QString::fromUtf8(error.what()));
    }
}

void TMainFormVarnSplit::btnTargetNewFolderClick() {
    const QString target = TargetPath();
    // Without a folder selected the typed path would land under "/".
    if (Busy() || target.isEmpty())
        return;
    QString typed;
    if (!m_dialogs.inputBox(this, Texts::NewFolderCaption, Texts::NewFolderPrompt, typed) ||
        typed.trimmed().isEmpty())
        return;
    // The tree shows the new folders through its monitor.
    try {
        ForceFolders(AddTrailingSeparator(target.toStdString()) + typed.toStdString());
    } catch (const std::exception& error) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, QString::fromUtf8(error.what()));
    }
}

bool TMainFormVarnSplit::FormKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_F12 || event->modifiers() != Qt::ShiftModifier)
        return false;
    const QString source = SourcePath();
    if (!Busy() && !source.isEmpty())
        shtTargetData->SetPath(ContainingFolder(source));
    return true;
}

bool TMainFormVarnSplit::shtSourceDataKeyUp(QKeyEvent* event) {
    // A Delete in the label editor reaches the tree too, when the editor lets
    // it pass; it edits the name and must never delete the item.
    const QWidget* focus = QApplication::focusWidget();
    if (event->key() != Qt::Key_Delete || event->isAutoRepeat() ||
        (focus != nullptr && focus != shtSourceData && shtSourceData->isAncestorOf(focus)))
        return false;
    TShellNode* node = shtSourceData->Selected();
    if (Busy() || node == nullptr || node->GetPath().isEmpty() || !node->ParentFolder())
        return true;
    try {
        TItemMenu item(node->ParentFolder(), node->RelativeIdList(), this);
        item.OnConfirmDelete = [this](const QString& path) {
            return m_dialogs.confirmDelete(this, path);
        };
        // Shift deletes for good (after the question); without it the item
        // goes to the trash, which asks nothing.
        const QString verb = QString::fromLatin1(ItemVerbs::Delete);
        const Qt::KeyboardModifiers modifiers = event->modifiers() & Qt::ShiftModifier;
        // An item without the command (a volume, or one gone meanwhile) is
        // refused aloud: the user pressed the key and expects an answer.
        if (item.IndexOfVerb(verb) < 0)
            ShowMessage(QMessageBox::Critical, Texts::CaptionError,
                        FormatQText(Texts::ItemNotDeletable, {node->GetPath()}));
        else if (!item.InvokeCommand(verb, modifiers) && !item.LastError().isEmpty())
            ShowMessage(QMessageBox::Critical, Texts::CaptionError, item.LastError());
    } catch (const std::exception& error) {
        ShowMessage(QMessageBox::Critical, Texts::CaptionError, QString::fromUtf8(error.what()));
    }
    return true;
}
