#pragma once

#include "shell/DiscMonitorThread.h"
#include "shell/ItemIdList.h"
#include "shell/ItemMenu.h"
#include "shell/ShellFolder.h"
#include "shell/ShellMasks.h"
#include "shell/ShellNamespace.h"
#include "shell/ShellNode.h"

#include <QFlags>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <QTreeWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TMountWatcher;

// What a level of the tree lists.
enum TVisOption { TF_FOLDERS = 0x1, TF_NONFOLDERS = 0x2, TF_HIDDEN = 0x4 };
Q_DECLARE_FLAGS(TVisOptions, TVisOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TVisOptions)

// How Rebuild was asked for: plain, because the root special folder changed, or
// because RootDir changed.
enum TRebuildMode { rbPlain, rbRootList, rbRootFolder };

// A tree of the shell namespace: the desktop, the computer, its volumes and the
// folders (and optionally files) below them, filled one level at a time when a
// node expands, filtered by masks and events, sorted per level and kept current
// by directory monitors and mount events.
class TShellTreeView : public QTreeWidget {
    Q_OBJECT
    // The window sets it by name from its settings.
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack)
public:
    explicit TShellTreeView(QWidget* parent = nullptr);
    ~TShellTreeView() override;

    // --- properties ---
    QString RootDir() const { return m_rootDir; }
    void SetRootDir(const QString& rootDir);
    TPidls RootPIDL() const { return m_rootPIDL; }
    void SetRootPIDL(TPidls rootPIDL);
    bool RootUsePIDL() const { return m_rootUsePIDL; }
    void SetRootUsePIDL(bool rootUsePIDL);
    TVisOptions Options() const { return m_options; }
    void SetOptions(TVisOptions options);
    // The selected node's file-system path; "" without one.
    QString Path() const;
    // Selects the deepest existing folder on the path, or the file the path
    // names where the tree lists files (before the control is shown, the text
    // waits until it is).
    void SetPath(const QString& path);
    bool UpdAutoThread() const { return m_updAutoThread; }
    void SetUpdAutoThread(bool value) { m_updAutoThread = value; }
    bool UpdAuto() const { return m_updAuto; }
    void SetUpdAuto(bool value) { m_updAuto = value; }
    bool UpdAutoRec() const { return m_updAutoRec; }
    void SetUpdAutoRec(bool value) { m_updAutoRec = value; }
    bool ShowIcons() const { return m_showIcons; }
    void SetShowIcons(bool showIcons);
    const TItemIdList& UserDefinedRoot() const { return m_userDefinedRoot; }
    void SetUserDefinedRoot(const TItemIdList& root);
    bool UseShellCache() const { return m_useShellCache; }
    void SetUseShellCache(bool value) { m_useShellCache = value; }
    bool ShowVirtualFolders() const { return m_showVirtualFolders; }
    void SetShowVirtualFolders(bool value);
    // The masks joined by ";"; writing always re-reads the level lists.
    QString FileMask() const { return MaskListToText(m_masks); }
    void SetFileMask(const QString& fileMask);
    bool FileMaskUse() const { return m_fileMaskUse; }
    void SetFileMaskUse(bool value);
    TFileSortType FileSortType() const { return m_fileSortType; }
    void SetFileSortType(TFileSortType sortType);
    TFileSortOrder FileSortOrder() const { return m_fileSortOrder; }
    void SetFileSortOrder(TFileSortOrder sortOrder);
    bool ShowSharedOverlay() const { return m_showSharedOverlay; }
    void SetShowSharedOverlay(bool value);
    bool ShowLinkOverlay() const { return m_showLinkOverlay; }
    void SetShowLinkOverlay(bool value);
    TPopupMenuMode PopupMenuMode() const { return m_popupMenuMode; }
    void SetPopupMenuMode(TPopupMenuMode mode) { m_popupMenuMode = mode; }
    // Shown in pmm_PopupMenu mode; cleared when that menu is destroyed.
    QMenu* PopupMenu() const { return m_popupMenu.data(); }
    void SetPopupMenu(QMenu* menu);
    // The window item menus and messages belong to; nullptr while an
    // automatic refresh runs or with ShowMessages off.
    QWidget* MessageOwner() const;
    bool ShowMessages() const { return m_showMessages; }
    void SetShowMessages(bool value) { m_showMessages = value; }
    bool CheckBoxes() const { return m_checkBoxes; }
    void SetCheckBoxes(bool value);
    // Labels cannot be edited while true.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);
    // The node under the mouse is highlighted (underlined, in the link colour).
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool value);
    // The change filter every monitor gets, from Options.
    std::uint32_t NotifyFilter() const { return m_notifyFilter; }
    TShellNode* RootNode() const { return m_rootNode; }
    TShellNode* Selected() const;

    // --- events ---
    std::function<void(const QString& dirname, std::uint32_t attributes, bool& allow)> OnDirAdd;
    std::function<void(const QString& filename, std::uint32_t attributes, bool& allow)> OnFileAdd;
    std::function<void(TShellNode* node, bool& allow)> OnPopupMenu;
    std::function<void(TShellNode* node, bool newState)> OnCheckBoxChanged;
    // Declared for the form; the control never raises it.
    std::function<void(TShellNode* node, QMenu*& menu)> OnSystemContextMenu;
    std::function<void(TShellTreeView* sender, TShellNode* node, bool& allow)> OnExpanding;
    std::function<void(TShellTreeView* sender, TShellNode* node, bool& allow)> OnCollapsing;
    std::function<void(TShellTreeView* sender, TShellNode* node, bool& allow)> OnEditing;
    std::function<void(TShellTreeView* sender, TShellNode* node, QString& newText)> OnEdited;
    // Every selection change, and a successful rename.
    std::function<void(TShellTreeView* sender, TShellNode* node)> OnChange;

    // --- operations ---
    // Creates what the control needs once it has a window (the first show
    // does this): the special lists, the root, a pending Path.
    void HandleNeeded();
    bool HandleAllocated() const { return m_handleCreated; }
    void Rebuild(TRebuildMode mode = rbPlain);
    void RefreshAll();
    void RefreshNode(TShellNode* node, bool recursive);
    // Re-reads the node's own item (caption, attributes, icons).
    void RefreshNodeItem(TShellNode* node);
    // One level, marked and swept; `probe` stops at the first accepted item.
    void PopulateNode(TShellNode* node, bool probe = false);
    // Admits one enumerated item under `parent`; true when it was accepted.
    bool AddItem(TShellNode* parent, TItemIdList relative);
    // Expands a node (one level) as a user would, through the expansion rules.
    void ExpandNode(TShellNode* node);
    TShellNode* FindNodeByIdList(const TItemIdList& list, bool expand, bool fromRoot, bool exact);
    TShellNode* SelectSpecialFolder(TPidls pidl);
    // Finds a node exactly (expanding on the way), selects it and scrolls it
    // into view: `fromRoot` with an absolute list, else relative to the
    // selection. True when a node was found.
    bool SelectByIdList(bool fromRoot, const TItemIdList& list);
    // Sorts one level / every level from the root down.
    void SortLevel(TShellNode* node);
    void SortAll();

    // Directory monitors of the nodes.
    void StartMonitor(TShellNode* node);
    void StopMonitor(TShellNode* node);
    void StopMonitorsBelow(TShellNode* node, bool keepOwn);
    void PropagateFilter(std::uint32_t filter);
    // Monitors of this tree's nodes that exist now.
    std::vector<TDiscMonitorThread*> Monitors() const;

    // A volume mounted (arrival) or unmounted at the mount points; the mount
    // watcher calls this, tests may too.
    void DriveEvent(bool arrival, const std::vector<std::string>& mountPoints);

    // Ends a label edit with `text`: OnEdited, then Rename; the caption
    // changes only when the rename succeeds. False when nothing was renamed.
    bool ApplyLabelEdit(TShellNode* node, QString text);
    // Starts editing a node's label as the item menu's rename command asks:
    // also with read-only labels (which only keep clicks and keys from
    // starting edits), and a refused rename then always shows its error.
    // False when the item cannot be renamed or OnEditing refuses.
    bool BeginRename(TShellNode* node);
    // The label delegate tells which editor it opened on which index.
    void EditorOpened(QWidget* editor, const QModelIndex& index);

    // Number of levels enumerated so far (each PopulateNode that read a folder).
    int PopulateCount() const { return m_populateCount; }

    QSize sizeHint() const override { return QSize(170, 270); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // The sort keys of a level's items; none when an item has no key.
    std::optional<std::vector<TLevelKeys>>
    LevelKeysOf(const std::vector<TShellNode*>& children) const;
    // Puts a level's new items in sorted order before they join the view.
    bool SortNewLevel(std::vector<TShellNode*>& children) const;
    bool JoinSortedLevel(TShellNode* node, std::vector<TShellNode*>& joining);
    friend class TShellNode;
    class TUpdateBracket;

    void ItemExpanded(QTreeWidgetItem* item);
    void ItemCollapsed(QTreeWidgetItem* item);
    void ItemChanged(QTreeWidgetItem* item, int column);
    void CurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void ShowingChanged();
    void BuildRoot();
    TShellNode* FileNodeBelow(TShellNode* folder, const QString& path) const;
    std::optional<TItemIdList> ParsePath(const TShellFolderPtr& folder, const QString& text,
                                         bool normalise) const;
    TShellNode* NewChild(TShellNode* parent);
    void PrepareNode(TShellNode* node);
    unsigned EnumFlags() const;
    std::uint32_t ComputeNotifyFilter() const;
    void MonitorChanged(TShellNode* node);
    void StartWatches(const std::vector<TShellNode*>& nodes);
    void StartLateWatches();
    void UpdateDrives(bool arrival, const std::vector<std::string>& mountPoints,
                      TShellNode* drivesNode);
    void ApplyIconsAll();
    // One icon per (image, selected image, overlay), the selected image as
    // the icon's selected mode, made once and shared by every node.
    QIcon NodeIcon(int imageIndex, int selectedIndex, int overlayIndex);
    void SetExpandedQuietly(TShellNode* node, bool expanded);
    void ShowRenameError(TShellNode* node, const QString& reason);
    // A node about to be deleted: an open editor on it or below it closes
    // without renaming, and its watch no longer waits to start.
    void NodeGoing(TShellNode* node);
    void BeginUpdate();
    void EndUpdate();

    QString m_pendingPath;
    TMountWatcher* m_mountWatcher = nullptr;
    TShellFolderPtr m_desktopFolder;
    TItemIdList m_desktopList;
    TShellFolderPtr m_drivesFolder;
    TItemIdList m_drivesList;
    QString m_rootDir = QStringLiteral("/");
    TPidls m_rootPIDL = PIDL_DESKTOP;
    TVisOptions m_options = TF_FOLDERS;
    bool m_rootUsePIDL = true;
    bool m_rootBuilt = false;
    bool m_imagesReady = false;
    bool m_updAutoThread = true;
    bool m_updAuto = true;
    bool m_updAutoRec = false;
    bool m_showIcons = true;
    TItemIdList m_userDefinedRoot;
    bool m_useShellCache = false;
    bool m_showVirtualFolders = true;
    TMaskList m_masks{QStringLiteral("*.*")};
    bool m_fileMaskUse = false;
    TFileSortType m_fileSortType = so_Name;
    TFileSortOrder m_fileSortOrder = so_Ascending;
    bool m_showSharedOverlay = true;
    bool m_showLinkOverlay = true;
    TPopupMenuMode m_popupMenuMode = pmm_System;
    QPointer<QMenu> m_popupMenu;
    bool m_messageOwnerSuspended = false;
    // While a directory monitor's refresh runs: items already listed keep their icons.
    bool m_monitorRefresh = false;
    bool m_showMessages = true;
    bool m_checkBoxes = false;
    bool m_readOnly = false;
    bool m_hotTrack = false;
    // The node whose label the item menu's rename is editing.
    QPersistentModelIndex m_menuRename;
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_editIndex;
    std::uint32_t m_notifyFilter = NOTIFY_DIR_NAME | NOTIFY_ATTRIBUTES;
    TShellNode* m_rootNode = nullptr;

    bool m_handleCreated = false;
    bool m_destroying = false;
    int m_updateDepth = 0;
    int m_quietExpansion = 0;
    int m_wheelRemainder = 0;
    int m_populateCount = 0;
    QHash<quint64, QIcon> m_nodeIcons;
    // While PopulateNode runs: the unseen children by their first id, so that
    // AddItem finds the node of an item again without walking the whole level.
    std::unordered_multimap<std::string, TShellNode*>* m_unseenChildren = nullptr;
    TShellNode* m_unseenOwner = nullptr;
    // While PopulateNode runs: the level's new nodes, added to it in one go.
    std::vector<TShellNode*>* m_joiningChildren = nullptr;
    // ... and those of them that need a watch of their own.
    std::vector<TShellNode*>* m_joiningWatches = nullptr;
    // Watches of a large level, started from the event loop once it shows.
    std::unordered_set<TShellNode*> m_lateWatches;
    bool m_lateWatchesQueued = false;
    int m_populateDepth = 0;
    int m_probeDepth = 0;
};
