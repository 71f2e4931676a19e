#include "shell/ShellTreeView.h"

#include <QFileInfo>

#include "shell/MountWatcher.h"
#include "shell/SystemImageList.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"
#include "texts/TreeTexts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidgetItemIterator>
#include <QWheelEvent>

#include <algorithm>
#include <numeric>
#include <optional>
#include <utility>

namespace {

template <typename TIterator> QList<QTreeWidgetItem*> ItemList(TIterator first, TIterator last) {
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(last - first));
    for (; first != last; ++first)
        items.append(*first);
    return items;
}

// Ends a label edit through the tree's rename rules instead of writing the
// text straight into the item.
class TLabelDelegate : public QStyledItemDelegate {
public:
    explicit TLabelDelegate(TShellTreeView* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        auto* node = static_cast<TShellNode*>(m_tree->itemFromIndex(index));
        if (line != nullptr && node != nullptr)
            m_tree->ApplyLabelEdit(node, line->text());
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_tree->EditorOpened(editor, index);
        return editor;
    }

protected:
    // Hot tracking in any style: not every style marks the row under the mouse.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(option->state & QStyle::State_MouseOver))
            return;
        if (!m_tree->HotTrack()) {
            option->state &= ~QStyle::State_MouseOver;
            return;
        }
        option->font.setUnderline(true);
        if (!(option->state & QStyle::State_Selected))
            option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Link));
    }

private:
    TShellTreeView* m_tree;
};

// Shows the hourglass for as long as a level is read.
struct TBusyCursor {
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

std::string IdKey(const TItemIdList& list) {
    const TItemIdList first = list.FirstId();
    return first.Bytes();
}

// Mount points and paths compare without a trailing "/" (except the root).
QString WithoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

// Suspends repainting while a tree operation changes many nodes; brackets nest.
class TShellTreeView::TUpdateBracket {
public:
    explicit TUpdateBracket(TShellTreeView* tree) : m_tree(tree) { m_tree->BeginUpdate(); }
    ~TUpdateBracket() { m_tree->EndUpdate(); }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
    TShellTreeView* m_tree;
};

TShellTreeView::TShellTreeView(QWidget* parent) : QTreeWidget(parent) {
    m_desktopFolder = ShellDesktopFolder();
    m_userDefinedRoot = TItemIdList::Empty();
    setColumnCount(1);
    header()->hide();
    setAnimated(false);
    setSortingEnabled(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(new TLabelDelegate(this));
    connect(this, &QTreeWidget::itemExpanded, this, &TShellTreeView::ItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &TShellTreeView::ItemCollapsed);
    connect(this, &QTreeWidget::itemChanged, this, &TShellTreeView::ItemChanged);
    connect(this, &QTreeWidget::currentItemChanged, this, &TShellTreeView::CurrentChanged);

    // Stands in for the hidden window that received the device broadcasts.
    m_mountWatcher = new TMountWatcher(this);
    m_mountWatcher->OnDriveEvent = [this](bool arrival, const std::vector<std::string>& points) {
        DriveEvent(arrival, points);
    };
}

TShellTreeView::~TShellTreeView() {
    // Nodes go while this object is still whole: each stops its monitor, and
    // no signal of the dying tree may reach the handlers.
    m_destroying = true;
    blockSignals(true);
    m_rootNode = nullptr;
    clear();
}

// ---------------------------------------------------------------------------
// Properties

void TShellTreeView::SetRootDir(const QString& rootDir) {
    const QString normalised = WithoutTrailingSeparator(NormalizePath(rootDir));
    if (normalised.isEmpty() || normalised == m_rootDir)
        return;
    m_rootDir = normalised;
    if (m_handleCreated && !m_rootUsePIDL)
        Rebuild(rbRootFolder);
}

void TShellTreeView::SetRootPIDL(TPidls rootPIDL) {
    if (rootPIDL == m_rootPIDL)
        return;
    m_rootPIDL = rootPIDL;
    if (m_handleCreated && m_rootUsePIDL)
        Rebuild(rbRootList);
}

void TShellTreeView::SetRootUsePIDL(bool rootUsePIDL) {
    if (rootUsePIDL == m_rootUsePIDL)
        return;
    m_rootUsePIDL = rootUsePIDL;
    if (m_handleCreated)
        Rebuild(rbPlain);
}

std::uint32_t TShellTreeView::ComputeNotifyFilter() const {
    std::uint32_t filter = NOTIFY_ATTRIBUTES;
    if (m_options.testFlag(TF_FOLDERS))
        filter |= NOTIFY_DIR_NAME;
    if (m_options.testFlag(TF_NONFOLDERS))
        filter |= NOTIFY_FILE_NAME;
    return filter;
}

void TShellTreeView::SetOptions(TVisOptions options) {
    const bool changed = options != m_options;
    m_options = options;
    const std::uint32_t filter = ComputeNotifyFilter();
    if (filter != m_notifyFilter) {
        m_notifyFilter = filter;
        PropagateFilter(filter);
    }
    if (changed && m_handleCreated)
        RefreshAll();
}

void TShellTreeView::SetShowIcons(bool showIcons) {
    if (showIcons == m_showIcons)
        return;
    m_showIcons = showIcons;
    ApplyIconsAll();
}

void TShellTreeView::SetUserDefinedRoot(const TItemIdList& root) {
    if (root == m_userDefinedRoot)
        return;
    m_userDefinedRoot = root.Copy();
    if (m_handleCreated && m_rootUsePIDL && m_rootPIDL == PIDL_USERDEFINED)
        Rebuild(rbRootList);
}

void TShellTreeView::SetShowVirtualFolders(bool value) {
    if (value == m_showVirtualFolders)
        return;
    m_showVirtualFolders = value;
    RefreshAll();
}

void TShellTreeView::SetFileMask(const QString& fileMask) {
    m_masks = MaskListFromText(fileMask);
    if (m_options.testFlag(TF_NONFOLDERS))
        RefreshAll();
}

void TShellTreeView::SetFileMaskUse(bool value) {
    if (value == m_fileMaskUse)
        return;
    m_fileMaskUse = value;
    if (m_options.testFlag(TF_NONFOLDERS))
        RefreshAll();
}

void TShellTreeView::SetFileSortType(TFileSortType sortType) {
    if (sortType == m_fileSortType)
        return;
    m_fileSortType = sortType;
    SortAll();
}

void TShellTreeView::SetFileSortOrder(TFileSortOrder sortOrder) {
    if (sortOrder == m_fileSortOrder)
        return;
    m_fileSortOrder = sortOrder;
    SortAll();
}

void TShellTreeView::SetShowSharedOverlay(bool value) {
    if (value == m_showSharedOverlay)
        return;
    m_showSharedOverlay = value;
    RefreshAll();
}

void TShellTreeView::SetShowLinkOverlay(bool value) {
    if (value == m_showLinkOverlay)
        return;
    m_showLinkOverlay = value;
    RefreshAll();
}

void TShellTreeView::SetPopupMenu(QMenu* menu) {
    // The QPointer clears itself when the menu is destroyed.
    m_popupMenu = menu;
}

QWidget* TShellTreeView::MessageOwner() const {
    if (m_messageOwnerSuspended || !m_showMessages)
        return nullptr;
    QWidget* top = window();
    if (top != nullptr && top != this)
        return top;
    if (parentWidget() != nullptr)
        return parentWidget();
    return const_cast<TShellTreeView*>(this);
}

void TShellTreeView::SetCheckBoxes(bool value) {
    if (value == m_checkBoxes)
        return;
    m_checkBoxes = value;
    TUpdateBracket bracket(this);
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it)
        PrepareNode(static_cast<TShellNode*>(*it));
}

void TShellTreeView::SetHotTrack(bool value) {
    if (value == m_hotTrack)
        return;
    m_hotTrack = value;
    // Item views learn the row under the mouse from moves without a button.
    viewport()->setMouseTracking(value);
    viewport()->setAttribute(Qt::WA_Hover, value);
    viewport()->update();
}

void TShellTreeView::SetReadOnly(bool value) {
    if (value == m_readOnly)
        return;
    m_readOnly = value;
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it)
        PrepareNode(static_cast<TShellNode*>(*it));
}

TShellNode* TShellTreeView::Selected() const {
    return static_cast<TShellNode*>(currentItem());
}

QString TShellTreeView::Path() const {
    TShellNode* node = Selected();
    return node != nullptr ? node->GetPath() : QString();
}

void TShellTreeView::SetPath(const QString& path) {
    if (path == Path())
        return;
    if (!m_handleCreated) {
        m_pendingPath = path;
        return;
    }
    auto list = ParsePath(m_desktopFolder, path, true);
    if (!list)
        return;
    TShellNode* node = nullptr;
    {
        TUpdateBracket bracket(this);
        node = FindNodeByIdList(*list, true, true, false);
    }
    if (node != nullptr) {
        ExpandNode(node);
        TShellNode* file = FileNodeBelow(node, path);
        if (file == nullptr && node->isExpanded()) {
            // A file just written may not be listed yet: its folder's
            // monitor refreshes at its own pace.
            RefreshNode(node, false);
            file = FileNodeBelow(node, path);
        }
        if (file != nullptr)
            node = file;
        setCurrentItem(node);
        scrollToItem(node);
    }
}

// The node of an existing file on `path` below its folder's node, where the
// tree lists files; the folder stays selected otherwise.
TShellNode* TShellTreeView::FileNodeBelow(TShellNode* folder, const QString& path) const {
    const QFileInfo file(path);
    if (!(m_options & TF_NONFOLDERS) || !file.isFile())
        return nullptr;
    const QString wanted = file.absoluteFilePath();
    for (int i = 0; i < folder->childCount(); ++i)
        if (folder->Child(i)->GetPath() == wanted)
            return folder->Child(i);
    return nullptr;
}

// ---------------------------------------------------------------------------
// Building

void TShellTreeView::HandleNeeded() {
    if (m_handleCreated)
        return;
    m_handleCreated = true;
    m_desktopList = SpecialFolderLocation(PIDL_DESKTOP).value_or(TItemIdList::Empty());
    m_drivesList = SpecialFolderLocation(PIDL_DRIVES).value_or(TItemIdList());
    m_drivesFolder = m_drivesList.IsNull() ? nullptr : m_desktopFolder->BindToObject(m_drivesList);
    Rebuild(rbPlain);
    if (!m_pendingPath.isEmpty()) {
        const QString pending = std::exchange(m_pendingPath, QString());
        SetPath(pending);
    }
}

void TShellTreeView::Rebuild(TRebuildMode mode) {
    TUpdateBracket bracket(this);
    if (!m_imagesReady) {
        m_imagesReady = true;
        TSystemImageList::Instance(); // the icon list exists from here on
    }
    const QString path = Path();
    const QString rootDir = m_rootDir;
    m_rootNode = nullptr;
    m_rootBuilt = false;
    clear();
    BuildRoot();
    if (mode == rbRootFolder)
        SetPath(path);
    else if (rootDir.size() >= 2)
        SetRootDir(rootDir);
}

std::optional<TItemIdList> TShellTreeView::ParsePath(const TShellFolderPtr& folder,
                                                     const QString& text, bool normalise) const {
    QString path = normalise ? NormalizePath(text) : text;
    if (path.isEmpty() || !folder)
        return std::nullopt;
    path = WithoutTrailingSeparator(path);
    std::uint32_t attributes = SFGAO_VALIDATE; // re-read the item, never a cached one
    return folder->ParseDisplayName(path, &attributes);
}

void TShellTreeView::BuildRoot() {
    TItemIdList list;
    if (m_rootUsePIDL) {
        if (m_rootPIDL == PIDL_USERDEFINED)
            list = m_userDefinedRoot.Copy();
        else
            list =
                SpecialFolderLocation(m_rootPIDL)
                    .value_or(SpecialFolderLocation(PIDL_DESKTOP).value_or(TItemIdList::Empty()));
    } else {
        auto parsed = ParsePath(m_desktopFolder, m_rootDir, true);
        if (!parsed)
            parsed = ParsePath(m_desktopFolder, QStringLiteral("/"), false);
        list = parsed.value_or(TItemIdList::Empty());
    }
    m_rootNode = nullptr;
    auto* root = new TShellNode();
    addTopLevelItem(root);
    root->InitItem(m_desktopFolder, std::move(list), false);
    PrepareNode(root);
    root->RefreshCaption();
    root->SetHasChildren(true);
    root->UpdateIcons();
    m_rootBuilt = true;
    ExpandNode(root);
    setCurrentItem(root);
    m_rootNode = root;
    if (!m_rootUsePIDL)
        m_rootDir = root->GetPath();
}

TShellNode* TShellTreeView::NewChild(TShellNode* parent) {
    auto* node = new TShellNode();
    PrepareNode(node); // before it joins the model, which then has nothing to announce
    if (m_joiningChildren != nullptr && m_unseenOwner == parent) {
        // Adding thousands of nodes one by one costs the model a notice each.
        node->SetJoiningParent(parent);
        m_joiningChildren->push_back(node);
    } else {
        parent->addChild(node);
    }
    return node;
}

void TShellTreeView::PrepareNode(TShellNode* node) {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_readOnly)
        flags |= Qt::ItemIsEditable;
    if (m_checkBoxes)
        flags |= Qt::ItemIsUserCheckable;
    if (node->flags() != flags)
        node->setFlags(flags);
    if (m_checkBoxes)
        node->setCheckState(0, node->CheckState() ? Qt::Checked : Qt::Unchecked);
    else if (node->data(0, Qt::CheckStateRole).isValid())
        node->setData(0, Qt::CheckStateRole, QVariant());
}

// ---------------------------------------------------------------------------
// Enumeration

unsigned TShellTreeView::EnumFlags() const {
    unsigned flags = 0;
    if (m_options.testFlag(TF_FOLDERS))
        flags |= SHCONTF_FOLDERS;
    if (m_options.testFlag(TF_NONFOLDERS))
        flags |= SHCONTF_NONFOLDERS;
    if (m_options.testFlag(TF_HIDDEN))
        flags |= SHCONTF_INCLUDEHIDDEN;
    return flags;
}

void TShellTreeView::RefreshAll() {
    if (m_rootNode == nullptr)
        return;
    TUpdateBracket bracket(this);
    RefreshNode(m_rootNode, true);
}

void TShellTreeView::RefreshNode(TShellNode* node, bool recursive) {
    PopulateNode(node, false);
    if (!recursive)
        return;
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode* child = node->Child(i);
        if (child->childCount() > 0 && child->isExpanded())
            RefreshNode(child, true);
        else
            child->SetPopulated(false);
    }
}

void TShellTreeView::PopulateNode(TShellNode* node, bool probe) {
    TShellFolderPtr folder = node->GetOwnFolder();
    if (!folder)
        return;
    ++m_populateCount;
    TUpdateBracket bracket(this);
    // Once for the outermost level: every folder probed on the way would set
    // and restore the cursor of every window again.
    std::optional<TBusyCursor> cursor;
    if (m_populateDepth == 0)
        cursor.emplace();
    ++m_populateDepth;

    std::unordered_multimap<std::string, TShellNode*> unseen;
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode* child = node->Child(i);
        child->SetSeen(false);
        unseen.emplace(IdKey(child->RelativeIdList()), child);
    }
    std::vector<TShellNode*> joining;
    std::vector<TShellNode*> watches;
    bool sortedOnJoin = false;
    {
        // The outer level's state comes back and the new nodes join the level
        // however the enumeration ends.
        struct TLevelScope {
            TShellTreeView* tree;
            TShellNode* node;
            std::vector<TShellNode*>& joining;
            std::unordered_multimap<std::string, TShellNode*>* outerUnseen;
            TShellNode* outerOwner;
            std::vector<TShellNode*>* outerJoining;
            std::vector<TShellNode*>& watches;
            std::vector<TShellNode*>* outerWatches;
            bool freshLevel;
            bool& sortedOnJoin;
            ~TLevelScope() {
                tree->m_unseenChildren = outerUnseen;
                tree->m_unseenOwner = outerOwner;
                tree->m_joiningChildren = outerJoining;
                tree->m_joiningWatches = outerWatches;
                --tree->m_populateDepth;
                for (TShellNode* child : joining)
                    child->SetJoiningParent(nullptr);
                if (freshLevel)
                    sortedOnJoin = tree->JoinSortedLevel(node, joining);
                else
                    node->addChildren(ItemList(joining.begin(), joining.end()));
                tree->StartWatches(watches);
            }
        } scope{this, node, joining, std::exchange(m_unseenChildren, &unseen),
                std::exchange(m_unseenOwner, node), std::exchange(m_joiningChildren, &joining),
                watches, std::exchange(m_joiningWatches, &watches),
                // A level read for the first time holds at most the child
                // its probe found.
                unseen.size() <= 1 && !probe, sortedOnJoin};
        m_probeDepth += probe ? 1 : 0;
        const auto probeDone = qScopeGuard([this, probe] { m_probeDepth -= probe ? 1 : 0; });
        if (auto enumeration = folder->EnumObjects(EnumFlags())) {
            enumeration->Reset();
            TItemIdList item;
            while (enumeration->Next(item)) {
                const bool accepted = AddItem(node, std::move(item));
                item = TItemIdList();
                if (probe && accepted)
                    break;
            }
        }
    }

    std::vector<QTreeWidgetItem*> gone;
    for (int i = 0; i < node->childCount(); ++i) {
        if (!node->Child(i)->Seen())
            gone.push_back(node->child(i));
    }
    for (QTreeWidgetItem* child : gone)
        delete child;
    node->SetHasChildren(node->childCount() > 0);
    if (!sortedOnJoin)
        SortLevel(node);
    // A probe keeps at most one child, which is no longer the level's list.
    if (probe)
        node->SetPopulated(false);
}

bool TShellTreeView::AddItem(TShellNode* parent, TItemIdList relative) {
    TShellFolderPtr folder = parent->GetOwnFolder();
    if (!folder)
        return false;
    TShellNode* existing = nullptr;
    if (m_unseenChildren != nullptr && m_unseenOwner == parent) {
        auto range = m_unseenChildren->equal_range(IdKey(relative));
        // The first unseen child of the level with this id: the map keeps
        // several entries per id in insertion order.
        for (auto it = range.first; it != range.second; ++it) {
            if (!it->second->Seen()) {
                existing = it->second;
                m_unseenChildren->erase(it);
                break;
            }
        }
    } else {
        for (int i = 0; i < parent->childCount(); ++i) {
            TShellNode* child = parent->Child(i);
            if (!child->Seen() && ItemIdsEqual(child->RelativeIdList().Data(), relative.Data())) {
                existing = child;
                break;
            }
        }
    }
    if (existing != nullptr)
        existing->SetSeen(true);

    // With files shown, a probe decides whether a folder can be expanded, so
    // reading it beforehand for subfolders would open every folder twice.
    const std::uint32_t request = m_options.testFlag(TF_NONFOLDERS)
                                      ? SFGAO_TREEREQUEST & ~SFGAO_HASSUBFOLDER
                                      : SFGAO_TREEREQUEST;
    const std::uint32_t attributes = folder->GetAttributesOf(relative, request).value_or(0);
    bool accepted = true;
    if (!m_showVirtualFolders && !(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
        accepted = false;
    if (accepted && (attributes & SFGAO_FILESYSTEM)) {
        const bool isFolder = attributes & SFGAO_FOLDER;
        if (!isFolder && m_options.testFlag(TF_NONFOLDERS)) {
            if (m_fileMaskUse || OnFileAdd) {
                const QString name =
                    folder->GetDisplayNameOf(relative, SHGDN_FORPARSING).value_or(QString());
                const QString fileName = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
                if (m_fileMaskUse && !MatchesAnyMask(fileName, m_masks))
                    accepted = false;
                else if (OnFileAdd)
                    OnFileAdd(name, attributes, accepted);
            }
        } else if (OnDirAdd) {
            const QString name =
                folder->GetDisplayNameOf(relative, SHGDN_FORPARSING).value_or(QString());
            OnDirAdd(name, attributes, accepted);
        }
    }

    if (!accepted) {
        if (existing != nullptr)
            existing->SetSeen(false);
        return false;
    }

    TShellNode* node = existing;
    if (node == nullptr) {
        node = NewChild(parent);
        node->InitItem(folder, std::move(relative), false, &attributes);
        node->SetPopulated(false);
    } else {
        node->InitItem(folder, std::move(relative), false, &attributes);
    }
    node->RefreshCaption();
    StartMonitor(parent);
    node->SetSeen(true);
    node->SetShellAttributes(attributes);

    bool hasSubfolders = attributes & SFGAO_HASSUBFOLDER;
    if (m_options.testFlag(TF_NONFOLDERS) && !hasSubfolders && (attributes & SFGAO_FOLDER) &&
        node->GetOwnFolder()) {
        // With files shown, a folder without subfolders may still hold files;
        // the probe finds out without listing them all.
        // The child a probe finds is not shown, and its level is read afresh
        // when its parent expands, so probing it in turn would be wasted.
        if (!node->isExpanded() && m_probeDepth == 0) {
            PopulateNode(node, true);
            hasSubfolders = node->childCount() > 0;
        } else {
            hasSubfolders = true;
        }
    }
    if (!hasSubfolders) {
        node->SetPopulated(false);
        node->DeleteChildren();
        // So that something created in it later is noticed; a new node of a
        // level being read gets its watch once the level is complete.
        if (existing == nullptr && m_joiningWatches != nullptr && m_unseenOwner == parent)
            m_joiningWatches->push_back(node);
        else
            StartMonitor(node);
    }
    node->SetHasChildren(hasSubfolders);
    // A monitor's refresh meets every listed item again; only a new one needs
    // its icon looked up, which is slow enough to matter in a folder of
    // thousands. Other refreshes may come from a changed overlay setting.
    if (existing == nullptr || !m_monitorRefresh)
        node->UpdateIcons();
    return true;
}

// ---------------------------------------------------------------------------
// Expansion

void TShellTreeView::ExpandNode(TShellNode* node) {
    if (node != nullptr && !node->isExpanded())
        node->setExpanded(true);
}

void TShellTreeView::SetExpandedQuietly(TShellNode* node, bool expanded) {
    ++m_quietExpansion;
    node->setExpanded(expanded);
    --m_quietExpansion;
}

void TShellTreeView::ItemExpanded(QTreeWidgetItem* item) {
    if (m_quietExpansion > 0 || m_destroying)
        return;
    auto* node = static_cast<TShellNode*>(item);
    bool allow = m_rootBuilt;
    if (OnExpanding)
        OnExpanding(this, node, allow);
    if (!allow) {
        SetExpandedQuietly(node, false);
        return;
    }
    if (m_updAuto || !node->Populated()) {
        RefreshNode(node, m_updAutoRec);
        node->SetPopulated(true);
    }
}

void TShellTreeView::ItemCollapsed(QTreeWidgetItem* item) {
    if (m_quietExpansion > 0 || m_destroying)
        return;
    auto* node = static_cast<TShellNode*>(item);
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, node, allow);
    if (!allow) {
        SetExpandedQuietly(node, true);
        return;
    }
    // The node was still expanded when the collapse was decided, so its
    // children count as below an expanded node.
    for (int i = 0; i < node->childCount(); ++i)
        StopMonitorsBelow(node->Child(i), false);
}

// ---------------------------------------------------------------------------
// Finding nodes

TShellNode* TShellTreeView::FindNodeByIdList(const TItemIdList& list, bool expand, bool fromRoot,
                                             bool exact) {
    TShellNode* start = fromRoot ? m_rootNode : Selected();
    if (start == nullptr || list.IsNull())
        return nullptr;
    const std::size_t startCount = start->AbsoluteIdList().ItemCount();
    const std::size_t targetCount = list.ItemCount();
    // Ids of our namespace are equal exactly when their bytes are.
    TShellNode* candidate =
        (targetCount == startCount && list == start->AbsoluteIdList()) ? start : nullptr;
    std::size_t index = 0;
    if (fromRoot) {
        if (startCount >= targetCount)
            return candidate;
        index = startCount;
    }
    const auto ids = list.Ids();
    if (index >= ids.size())
        return candidate;

    TShellNode* current = start;
    if (expand)
        ExpandNode(current);
    bool reachedEnd = false;
    for (;;) {
        const TItemIdList wanted = TItemIdList::FromId(ids[index]);
        TShellNode* found = nullptr;
        for (int i = 0; i < current->childCount(); ++i) {
            TShellNode* child = current->Child(i);
            if (ItemIdsEqual(child->RelativeIdList().Data(), wanted.Data())) {
                found = child;
                break;
            }
        }
        if (found == nullptr)
            break;
        current = found;
        if (++index == ids.size()) {
            reachedEnd = true;
            break;
        }
        if (expand)
            ExpandNode(current);
        if (!current->isExpanded())
            return nullptr;
    }
    if (reachedEnd || !exact)
        return current;
    if (index + 1 == ids.size())
        return current; // only the final id was missing: its parent
    return candidate;
}

TShellNode* TShellTreeView::SelectSpecialFolder(TPidls pidl) {
    if (pidl == PIDL_USERDEFINED)
        return nullptr;
    auto list = SpecialFolderLocation(pidl);
    if (!list)
        return nullptr;
    TShellNode* node = FindNodeByIdList(*list, true, true, true);
    if (node != nullptr) {
        setCurrentItem(node);
        scrollToItem(node);
    }
    return node;
}

bool TShellTreeView::SelectByIdList(bool fromRoot, const TItemIdList& list) {
    TShellNode* node = FindNodeByIdList(list, true, fromRoot, true);
    if (node == nullptr)
        return false;
    setCurrentItem(node);
    scrollToItem(node);
    return true;
}

// ---------------------------------------------------------------------------
// Sorting

std::optional<std::vector<TLevelKeys>>
TShellTreeView::LevelKeysOf(const std::vector<TShellNode*>& children) const {
    // Each item's keys are read once; comparing through the folder would
    // resolve both items' facts on every one of the n log n comparisons.
    std::vector<TLevelKeys> keys(children.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const TShellNode* child = children[i];
        const TShellFolderPtr& folder = child->ParentFolder();
        std::optional<TSortKey> nameKey =
            folder ? folder->SortKeyOf(SHCOL_NAME, child->RelativeIdList()) : std::nullopt;
        if (!nameKey)
            return std::nullopt;
        keys[i].attributes = child->ShellAttributes();
        keys[i].nameKey = std::move(*nameKey);
        if (m_fileSortType != so_Name && child->IsFile()) {
            std::optional<TSortKey> columnKey =
                folder->SortKeyOf(static_cast<int>(m_fileSortType), child->RelativeIdList());
            if (!columnKey)
                return std::nullopt;
            keys[i].columnKey = std::move(*columnKey);
        }
    }
    return keys;
}

bool TShellTreeView::SortNewLevel(std::vector<TShellNode*>& children) const {
    const std::optional<std::vector<TLevelKeys>> keys = LevelKeysOf(children);
    if (!keys)
        return false;
    std::vector<std::size_t> order(children.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return CompareLevelKeys((*keys)[a], (*keys)[b], m_fileSortOrder, m_fileSortType) < 0;
    });
    std::vector<TShellNode*> sorted;
    sorted.reserve(children.size());
    for (const std::size_t index : order)
        sorted.push_back(children[index]);
    children = std::move(sorted);
    return true;
}

// A level read for the first time joins in its sorted order, so the view lays
// it out once. The child a probe found stays in place and the new items join
// before and after it.
bool TShellTreeView::JoinSortedLevel(TShellNode* node, std::vector<TShellNode*>& joining) {
    if (node->childCount() > 1) {
        node->addChildren(ItemList(joining.begin(), joining.end()));
        return false;
    }
    TShellNode* const probed = node->childCount() == 1 ? node->Child(0) : nullptr;
    if (probed != nullptr)
        joining.push_back(probed);
    const bool sorted = SortNewLevel(joining);
    const auto split = std::find(joining.begin(), joining.end(), probed);
    node->insertChildren(0, ItemList(joining.begin(), split));
    node->addChildren(ItemList(split == joining.end() ? split : split + 1, joining.end()));
    return sorted;
}

void TShellTreeView::SortLevel(TShellNode* node) {
    if (node == nullptr || node->childCount() < 2)
        return;
    std::vector<TShellNode*> children;
    for (int i = 0; i < node->childCount(); ++i)
        children.push_back(node->Child(i));
    std::optional<std::vector<TLevelKeys>> keys = LevelKeysOf(children);
    if (keys) {
        for (std::size_t i = 0; i < children.size(); ++i)
            children[i]->SetSortKeys(&(*keys)[i]);
    }
    node->sortChildren(0, Qt::AscendingOrder);
    for (TShellNode* child : children)
        child->SetSortKeys(nullptr);
}

void TShellTreeView::SortAll() {
    if (m_rootNode == nullptr)
        return;
    TUpdateBracket bracket(this);
    std::vector<TShellNode*> pending{m_rootNode};
    while (!pending.empty()) {
        TShellNode* node = pending.back();
        pending.pop_back();
        SortLevel(node);
        for (int i = 0; i < node->childCount(); ++i)
            pending.push_back(node->Child(i));
    }
}

// ---------------------------------------------------------------------------
// Monitors

void TShellTreeView::StartMonitor(TShellNode* node) {
    if (node->MonitorStarted())
        return;
    node->SetMonitorStarted(true);
    // A file's watch can never be created, so no thread is spent finding
    // that out; a virtual item has no path and is never tried again.
    if (node->IsFile())
        return;
    const QString path = node->GetPath();
    QString trimmed = path;
    while (!trimmed.isEmpty() && trimmed.front() <= QLatin1Char(' '))
        trimmed.remove(0, 1);
    while (!trimmed.isEmpty() && trimmed.back() <= QLatin1Char(' '))
        trimmed.chop(1);
    if (trimmed.isEmpty())
        return;
    auto monitor = std::make_unique<TDiscMonitorThread>(node, PathBytes(path), m_notifyFilter);
    // The node owns the monitor and a monitor's pending change dies with it,
    // so the node is alive whenever this runs.
    monitor->OnChange = [this, node] { MonitorChanged(node); };
    monitor->Resume();
    node->SetMonitor(std::move(monitor));
}

void TShellTreeView::StartWatches(const std::vector<TShellNode*>& nodes) {
    // Each watch is a thread of its own: a level of a thousand empty folders
    // would keep the level from showing for as long as they take to start.
    constexpr std::size_t kWatchesAtOnce = 64;
    if (nodes.size() <= kWatchesAtOnce || m_destroying) {
        for (TShellNode* node : nodes)
            StartMonitor(node);
        return;
    }
    // Kept by pointer: a node's index costs a search of its whole level.
    m_lateWatches.insert(nodes.begin(), nodes.end());
    if (!m_lateWatchesQueued) {
        m_lateWatchesQueued = true;
        QTimer::singleShot(0, this, &TShellTreeView::StartLateWatches);
    }
}

void TShellTreeView::StartLateWatches() {
    m_lateWatchesQueued = false;
    const std::unordered_set<TShellNode*> pending = std::exchange(m_lateWatches, {});
    if (m_destroying)
        return;
    for (TShellNode* node : pending) {
        // A level collapsed meanwhile stopped its watches below and keeps them stopped.
        if (node->ParentNode() != nullptr && !node->ParentNode()->isExpanded())
            continue;
        StartMonitor(node);
    }
}

void TShellTreeView::StopMonitor(TShellNode* node) {
    if (!node->MonitorStarted() || node->Monitor() == nullptr)
        return;
    node->SetMonitorStarted(false);
    node->TakeMonitor().reset(); // waits for the thread
}

void TShellTreeView::StopMonitorsBelow(TShellNode* node, bool keepOwn) {
    if (!keepOwn)
        StopMonitor(node);
    if (node->isExpanded()) {
        for (int i = 0; i < node->childCount(); ++i)
            StopMonitorsBelow(node->Child(i), false);
    }
}

void TShellTreeView::PropagateFilter(std::uint32_t filter) {
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        auto* node = static_cast<TShellNode*>(*it);
        if (node->MonitorStarted() && node->Monitor() != nullptr && !node->Monitor()->Failed())
            node->Monitor()->SetFilter(filter);
    }
}

std::vector<TDiscMonitorThread*> TShellTreeView::Monitors() const {
    std::vector<TDiscMonitorThread*> monitors;
    for (QTreeWidgetItemIterator it(const_cast<TShellTreeView*>(this)); *it != nullptr; ++it) {
        auto* node = static_cast<TShellNode*>(*it);
        if (node->Monitor() != nullptr)
            monitors.push_back(node->Monitor());
    }
    return monitors;
}

void TShellTreeView::MonitorChanged(TShellNode* node) {
    if (!m_updAutoThread || m_destroying)
        return;
    // Automatic refreshes never show a message, whatever ShowMessages says.
    const bool suspended = std::exchange(m_messageOwnerSuspended, true);
    // A collapsed node shows only whether it has children, so a probe is
    // enough: listing a folder of thousands of files nobody sees would stall
    // the window each time one is written.
    const bool outer = std::exchange(m_monitorRefresh, true);
    if (node->isExpanded() || node == m_rootNode)
        RefreshNode(node, false);
    else
        PopulateNode(node, true);
    m_monitorRefresh = outer;
    m_messageOwnerSuspended = suspended;
}

// ---------------------------------------------------------------------------
// Mount events

void TShellTreeView::DriveEvent(bool arrival, const std::vector<std::string>& mountPoints) {
    if (!m_useShellCache && m_drivesFolder)
        m_drivesFolder->Revalidate();
    if (m_rootNode == nullptr || m_drivesList.IsNull())
        return;
    const TItemIdList& rootList = m_rootNode->AbsoluteIdList();
    if (rootList.ItemCount() < 2) {
        TShellNode* drivesNode = FindNodeByIdList(m_drivesList, false, true, true);
        UpdateDrives(arrival, mountPoints, drivesNode);
        return;
    }
    TItemIdList parentList = rootList;
    if (rootList.ItemCount() < 3 && parentList.RemoveLastId() && parentList == m_drivesList)
        UpdateDrives(arrival, mountPoints, nullptr); // the root itself is a volume
}

void TShellTreeView::UpdateDrives(bool arrival, const std::vector<std::string>& mountPoints,
                                  TShellNode* drivesNode) {
    auto isEventPoint = [&](const QString& path) {
        const QString point = WithoutTrailingSeparator(path);
        return std::any_of(mountPoints.begin(), mountPoints.end(), [&](const std::string& bytes) {
            return WithoutTrailingSeparator(PathText(bytes)) == point;
        });
    };
    TUpdateBracket bracket(this);
    if (drivesNode != nullptr) {
        for (int i = 0; i < drivesNode->childCount(); ++i) {
            TShellNode* child = drivesNode->Child(i);
            const QString path = child->GetPath();
            if (!child->HasAttributes(SFGAO_FILESYSTEM) || path.isEmpty() || !isEventPoint(path))
                continue;
            // The old watch looked at the previous medium; the next
            // enumeration starts a new one.
            StopMonitor(child);
            if (!arrival)
                child->DeleteChildren();
            child->SetHasChildren(true);
            RefreshNodeItem(child);
        }
        // Unlike drive letters, mount points come and go with their volumes:
        // an open computer level is read again to show or drop them.
        if (drivesNode->isExpanded())
            RefreshNode(drivesNode, false);
        return;
    }
    const bool showMessages = std::exchange(m_showMessages, false);
    if (isEventPoint(m_rootNode->GetPath())) {
        StopMonitor(m_rootNode);
        RefreshNodeItem(m_rootNode);
        RefreshNode(m_rootNode, false);
    }
    m_showMessages = showMessages;
}

void TShellTreeView::RefreshNodeItem(TShellNode* node) {
    TUpdateBracket bracket(this);
    // Parsed through the node's own parent folder, the list is relative to it
    // (for the root, whose parent is the desktop, its whole absolute list).
    auto list = ParsePath(node->ParentFolder(), node->GetPath(), false);
    node->InitItem(node->ParentFolder(), list ? std::move(*list) : TItemIdList(), false);
    node->RefreshCaption();
    node->UpdateIcons();
}

// ---------------------------------------------------------------------------
// Painting, input, editing

void TShellTreeView::BeginUpdate() {
    if (m_updateDepth++ == 0)
        setUpdatesEnabled(false);
}

void TShellTreeView::EndUpdate() {
    if (--m_updateDepth == 0)
        setUpdatesEnabled(true);
}

void TShellTreeView::ApplyIconsAll() {
    // Nodes give their icons when a row is painted: painting them again is enough.
    viewport()->update();
}

QIcon TShellTreeView::NodeIcon(int imageIndex, int selectedIndex, int overlayIndex) {
    const quint64 key = (quint64(quint32(imageIndex)) << 32) ^
                        (quint64(quint32(selectedIndex)) << 8) ^ quint64(quint8(overlayIndex));
    auto found = m_nodeIcons.constFind(key);
    if (found != m_nodeIcons.constEnd())
        return *found;
    TSystemImageList& images = TSystemImageList::Instance();
    QIcon icon = images.IconWithOverlay(imageIndex, overlayIndex);
    if (selectedIndex != imageIndex) {
        const QIcon normal = icon;
        const QIcon selected = images.IconWithOverlay(selectedIndex, overlayIndex);
        icon = QIcon();
        for (int size : {16, 22, 32}) {
            icon.addPixmap(normal.pixmap(size), QIcon::Normal);
            icon.addPixmap(selected.pixmap(size), QIcon::Selected);
        }
    }
    m_nodeIcons.insert(key, icon);
    return icon;
}

void TShellTreeView::ShowingChanged() {
    ApplyIconsAll();
    RefreshAll();
}

void TShellTreeView::showEvent(QShowEvent* event) {
    QTreeWidget::showEvent(event);
    if (!m_handleCreated)
        HandleNeeded();
    else if (!event->spontaneous())
        ShowingChanged();
}

void TShellTreeView::hideEvent(QHideEvent* event) {
    QTreeWidget::hideEvent(event);
    if (m_handleCreated && !event->spontaneous() && !m_destroying)
        ShowingChanged();
}

void TShellTreeView::wheelEvent(QWheelEvent* event) {
    // One notch (120) turns one page; finer wheels add up to whole notches.
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder -= notches * 120;
    QScrollBar* bar = verticalScrollBar();
    for (int i = 0; i < notches; ++i)
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    for (int i = 0; i > notches; --i)
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    event->accept();
}

void TShellTreeView::mousePressEvent(QMouseEvent* event) {
    // A right click opens the menu of the node under the mouse without
    // moving the selection.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TShellTreeView::contextMenuEvent(QContextMenuEvent* event) {
    TShellNode* node = nullptr;
    QPoint point;
    if (event->reason() == QContextMenuEvent::Keyboard) {
        node = Selected();
        if (node == nullptr)
            return;
        const QRect rect = visualItemRect(node);
        point = QPoint(rect.left() + rect.width() / 4, rect.top() + rect.height() / 4);
    } else {
        point = event->pos();
        node = static_cast<TShellNode*>(itemAt(point));
    }
    event->accept();
    if (node == nullptr)
        return;
    bool allow = true;
    if (OnPopupMenu)
        OnPopupMenu(node, allow);
    if (!allow)
        return;
    const QPoint screenPoint = viewport()->mapToGlobal(point);
    if (m_popupMenuMode == pmm_PopupMenu) {
        if (m_popupMenu)
            m_popupMenu->popup(screenPoint);
        return;
    }
    // Copies: a monitor's refresh may delete the node while the menu is open.
    const TShellFolderPtr folder = node->ParentFolder();
    if (!folder)
        return;
    const QPersistentModelIndex place(indexFromItem(node));
    const TItemIdList relative = node->RelativeIdList();
    TItemMenuResult result;
    try {
        result = ShowItemMenu(folder, {relative}, screenPoint, MessageOwner(), ima_Menu, 0);
    } catch (const std::exception& error) {
        // A handler of the window's event loop must not let an exception out.
        QMessageBox::critical(window(), QString::fromUtf8(Texts::CaptionError),
                              QString::fromLocal8Bit(error.what()));
        return;
    }
    if (result.renameRequested && place.isValid())
        BeginRename(static_cast<TShellNode*>(itemFromIndex(place)));
}

bool TShellTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    auto* node = static_cast<TShellNode*>(itemFromIndex(index));
    if (node == nullptr || m_readOnly || !node->HasAttributes(SFGAO_CANRENAME))
        return false;
    // Every click asks here; only a trigger that opens an editor asks the handler.
    const bool opens = trigger == QAbstractItemView::AllEditTriggers || (editTriggers() & trigger);
    if (!opens)
        return QTreeWidget::edit(index, trigger, event);
    bool allow = true;
    if (OnEditing)
        OnEditing(this, node, allow);
    if (!allow)
        return false;
    return QTreeWidget::edit(index, trigger, event);
}

bool TShellTreeView::BeginRename(TShellNode* node) {
    if (node == nullptr || node->treeWidget() != this || !node->HasAttributes(SFGAO_CANRENAME))
        return false;
    bool allow = true;
    if (OnEditing)
        OnEditing(this, node, allow);
    if (!allow)
        return false;
    setCurrentItem(node);
    scrollToItem(node);
    // Read-only labels lack the editable flag; it is there for this edit only.
    if (!(node->flags() & Qt::ItemIsEditable))
        node->setFlags(node->flags() | Qt::ItemIsEditable);
    const QModelIndex index = indexFromItem(node);
    m_menuRename = index;
    if (QTreeWidget::edit(index, QAbstractItemView::AllEditTriggers, nullptr))
        return true;
    m_menuRename = QPersistentModelIndex();
    PrepareNode(node);
    return false;
}

void TShellTreeView::EditorOpened(QWidget* editor, const QModelIndex& index) {
    m_editor = editor;
    m_editIndex = index;
}

void TShellTreeView::NodeGoing(TShellNode* node) {
    if (m_destroying)
        return;
    if (!m_lateWatches.empty())
        m_lateWatches.erase(node);
    if (m_editor.isNull() || !m_editIndex.isValid())
        return;
    const QModelIndex going = indexFromItem(node);
    QModelIndex edited = m_editIndex;
    while (edited.isValid() && edited != going)
        edited = edited.parent();
    if (!edited.isValid())
        return;
    // Closed unread: the view would otherwise hand the text to a rename of
    // the item while its node is half destroyed.
    QWidget* editor = m_editor;
    m_editor = nullptr;
    m_editIndex = QPersistentModelIndex();
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TShellTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == m_editor) {
        m_editor = nullptr;
        m_editIndex = QPersistentModelIndex();
    }
    QTreeWidget::closeEditor(editor, hint);
    if (!m_menuRename.isValid())
        return;
    auto* node = static_cast<TShellNode*>(itemFromIndex(m_menuRename));
    m_menuRename = QPersistentModelIndex();
    if (node != nullptr)
        PrepareNode(node);
}

void TShellTreeView::ShowRenameError(TShellNode* node, const QString& reason) {
    const bool fromMenu = m_menuRename.isValid() && itemFromIndex(m_menuRename) == node;
    QWidget* owner = fromMenu ? window() : MessageOwner();
    if (owner == nullptr || reason.isEmpty())
        return;
    QString path = node->GetPath();
    if (path.isEmpty())
        path = node->text(0);
    // Shown once the edit has ended: a modal box inside the editor's commit
    // would run while the view is still closing that editor.
    const QString message = FormatQText(Texts::TreeRenameFailed, {path, reason});
    QTimer::singleShot(0, owner, [owner, message] {
        QMessageBox::critical(owner, QString::fromUtf8(Texts::CaptionError), message);
    });
}

bool TShellTreeView::ApplyLabelEdit(TShellNode* node, QString text) {
    if (node == nullptr || text.isEmpty())
        return false;
    try {
        if (OnEdited)
            OnEdited(this, node, text);
        if (node->Rename(text))
            return true;
        ShowRenameError(node, node->RenameError());
    } catch (const std::exception& error) {
        // Reached from the editor's commit inside Qt's event handling.
        ShowRenameError(node, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void TShellTreeView::ItemChanged(QTreeWidgetItem* item, int column) {
    if (!m_checkBoxes || column != 0 || m_destroying)
        return;
    auto* node = static_cast<TShellNode*>(item);
    const bool checked = node->checkState(0) == Qt::Checked;
    if (checked == node->CheckState())
        return;
    node->SetCheckState(checked);
    if (OnCheckBoxChanged)
        OnCheckBoxChanged(node, checked);
}

void TShellTreeView::CurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    // `previous` may be a node in the middle of its destruction: never touched.
    Q_UNUSED(previous);
    if (m_destroying)
        return;
    if (OnChange)
        OnChange(this, static_cast<TShellNode*>(current));
}
