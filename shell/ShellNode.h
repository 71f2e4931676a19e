#pragma once

#include "shell/DiscMonitorThread.h"
#include "shell/ItemIdList.h"
#include "shell/ShellFolder.h"
#include "shell/ShellMasks.h"

#include <QString>
#include <QTreeWidgetItem>

#include <cstdint>
#include <memory>

class TShellTreeView;

// One namespace item shown in a TShellTreeView: its item-id lists, the folders
// around it, its attribute bits, the marks of the tree's refresh logic and the
// monitor watching its directory. The node owns its lists and its monitor.
class TShellNode : public QTreeWidgetItem {
public:
    TShellNode();
    // Stops the node's monitor (waiting for its thread) before the children go.
    ~TShellNode() override;
    TShellNode(const TShellNode&) = delete;
    TShellNode& operator=(const TShellNode&) = delete;

    // The tree holding the node, or nullptr while it is not in one.
    TShellTreeView* Tree() const;
    TShellNode* ParentNode() const { return static_cast<TShellNode*>(parent()); }
    TShellNode* Child(int index) const { return static_cast<TShellNode*>(child(index)); }

    // Re-reads the item: attributes (kept when the query fails), parent folder,
    // lists (a null `relative` keeps the present ones); with `recursive` the
    // whole subtree gets new absolute lists (after a folder was renamed).
    // `attributes`, when given, were just read by the caller and are not asked again.
    void InitItem(const TShellFolderPtr& folder, TItemIdList relative, bool recursive,
                  const std::uint32_t* attributes = nullptr);
    // The node this new node is about to join: the tree adds a level's new
    // nodes in one batch, and until then their lists are built as if they
    // were below it already.
    void SetJoiningParent(TShellNode* parent) { m_joiningParent = parent; }
    // The item as a folder, bound on first use; nullptr for non-folders.
    TShellFolderPtr GetOwnFolder();
    // The item's file-system path; "" for items without one.
    QString GetPath() const;
    // The caption: the item's normal name, else its parsing name, else "".
    virtual QString GetDisplayName() const;
    // Sets the caption to GetDisplayName().
    void RefreshCaption();
    // Image, selected image and overlay from the item and the tree's settings,
    // looked up when first asked for (a row that is shown asks): a folder of
    // thousands of files would wait for every file's type otherwise.
    virtual void UpdateIcons();
    // Renames the item; false (and nothing changed) when the name equals the
    // caption or the namespace refuses.
    virtual bool Rename(const QString& newName);
    // Why the last Rename was refused by the namespace ("" after a success).
    const QString& RenameError() const { return m_renameError; }
    // A file-system item that is not a folder.
    bool IsFile() const;
    // All bits of `mask` are set in ShellAttributes.
    bool HasAttributes(std::uint32_t mask) const { return (m_shellAttributes & mask) == mask; }

    const TItemIdList& RelativeIdList() const { return m_relativeIdList; }
    const TItemIdList& AbsoluteIdList() const { return m_absoluteIdList; }
    const TShellFolderPtr& ParentFolder() const { return m_parentFolder; }
    std::uint32_t ShellAttributes() const { return m_shellAttributes; }
    void SetShellAttributes(std::uint32_t attributes) { m_shellAttributes = attributes; }
    bool Populated() const { return m_populated; }
    void SetPopulated(bool populated) { m_populated = populated; }
    bool Seen() const { return m_seen; }
    void SetSeen(bool seen) { m_seen = seen; }
    bool CheckState() const { return m_checkState; }
    void SetCheckState(bool checked) { m_checkState = checked; }
    bool MonitorStarted() const { return m_monitorStarted; }
    void SetMonitorStarted(bool started) { m_monitorStarted = started; }
    TDiscMonitorThread* Monitor() const { return m_monitor.get(); }
    void SetMonitor(std::unique_ptr<TDiscMonitorThread> monitor) { m_monitor = std::move(monitor); }
    std::unique_ptr<TDiscMonitorThread> TakeMonitor() { return std::move(m_monitor); }

    // The expansion button: shown while true, else only with children.
    bool HasChildren() const { return m_hasChildren; }
    void SetHasChildren(bool hasChildren);
    // Deletes every child node (their monitors stop first).
    void DeleteChildren();

    int ImageIndex() const;
    int SelectedIndex() const;
    int OverlayIndex() const;
    // Shows the node's images again (the selected image shows while the node
    // is selected); no icon while the tree hides icons.
    void ApplyIcon();
    // The icon comes from the node's images, looked up on first use.
    QVariant data(int column, int role) const override;

    // Orders siblings by the tree's level comparison and sort settings.
    bool operator<(const QTreeWidgetItem& other) const override;
    // Keys read for one sort of the level (nullptr outside it): the
    // comparison then needs no facts of its own.
    void SetSortKeys(const TLevelKeys* keys) { m_sortKeys = keys; }

private:
    QString DisplayNameOf(const TItemIdList& list) const;
    const TShellNode* Above() const;
    void ResolveIcons() const;

    bool m_ownFolderBound = false;
    bool m_monitorStarted = false;
    TItemIdList m_relativeIdList;
    TItemIdList m_absoluteIdList;
    TShellFolderPtr m_parentFolder;
    TShellFolderPtr m_ownFolder;
    std::uint32_t m_shellAttributes = 0;
    bool m_populated = false;
    bool m_seen = false;
    bool m_checkState = false;
    bool m_hasChildren = false;
    TShellNode* m_joiningParent = nullptr;
    const TLevelKeys* m_sortKeys = nullptr;
    mutable bool m_iconsStale = true;
    mutable int m_imageIndex = -1;
    mutable int m_selectedIndex = -1;
    mutable int m_overlayIndex = -1;
    std::unique_ptr<TDiscMonitorThread> m_monitor;
    QString m_renameError;
};
