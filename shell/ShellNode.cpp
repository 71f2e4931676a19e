#include "shell/ShellNode.h"

#include "shell/ShellMasks.h"
#include "shell/ShellNamespace.h"
#include "shell/ShellTreeView.h"
#include "shell/SystemImageList.h"

#include <utility>

TShellNode::TShellNode() : QTreeWidgetItem(QTreeWidgetItem::UserType) {}

TShellNode::~TShellNode() {
    // While the tree is whole (it sets its destroying mark before deleting
    // its nodes), an editor open on this node closes first.
    if (TShellTreeView* tree = Tree())
        tree->NodeGoing(this);
    // The tree may already be half destroyed here, so only the node's own
    // state is touched: the monitor goes before the children and the lists.
    m_monitorStarted = false;
    m_monitor.reset();
}

TShellTreeView* TShellNode::Tree() const {
    return static_cast<TShellTreeView*>(treeWidget());
}

const TShellNode* TShellNode::Above() const {
    return parent() != nullptr ? ParentNode() : m_joiningParent;
}

void TShellNode::InitItem(const TShellFolderPtr& folder, TItemIdList relative, bool recursive,
                          const std::uint32_t* attributes) {
    const TItemIdList& attributeList = relative.IsNull() ? m_relativeIdList : relative;
    if (attributes != nullptr) {
        m_shellAttributes = *attributes;
    } else if (folder && !attributeList.IsNull()) {
        if (auto attributes = folder->GetAttributesOf(attributeList, SFGAO_TREEREQUEST))
            m_shellAttributes = *attributes;
    }
    m_parentFolder = folder;
    if (!relative.IsNull()) {
        m_ownFolder.reset();
        m_ownFolderBound = false;
        if (!(relative == m_relativeIdList))
            m_relativeIdList = std::move(relative);
    }
    if (const TShellNode* above = Above(); above == nullptr)
        m_absoluteIdList = m_relativeIdList.Copy();
    else
        m_absoluteIdList = TItemIdList::Append(above->m_absoluteIdList, m_relativeIdList);
    if (recursive) {
        TShellFolderPtr own = GetOwnFolder();
        for (int i = 0; i < childCount(); ++i) {
            TShellNode* node = Child(i);
            node->InitItem(own, node->m_relativeIdList, true);
        }
    }
}

TShellFolderPtr TShellNode::GetOwnFolder() {
    if (m_ownFolderBound && !m_ownFolder)
        m_ownFolderBound = false;
    if (!m_ownFolderBound) {
        m_ownFolderBound = true;
        if (m_relativeIdList.ItemCount() == 0)
            m_ownFolder = m_parentFolder; // the desktop as root is its own folder
        else if (m_parentFolder)
            m_ownFolder = m_parentFolder->BindToObject(m_relativeIdList);
    }
    return m_ownFolder;
}

QString TShellNode::GetPath() const {
    return PathFromIdList(m_absoluteIdList);
}

QString TShellNode::DisplayNameOf(const TItemIdList& list) const {
    if (!m_parentFolder || list.IsNull())
        return QString();
    auto name = m_parentFolder->GetDisplayNameOf(list, SHGDN_NORMAL);
    if (!name || name->isEmpty())
        name = m_parentFolder->GetDisplayNameOf(list, SHGDN_FORPARSING);
    return name ? *name : QString();
}

QString TShellNode::GetDisplayName() const {
    if (Above() == nullptr && m_relativeIdList.ItemCount() > 0) {
        QString name = DisplayNameOf(m_relativeIdList.LastId());
        if (name.isEmpty())
            name = DisplayNameOf(m_relativeIdList);
        return name;
    }
    return DisplayNameOf(m_relativeIdList);
}

void TShellNode::RefreshCaption() {
    const QString caption = GetDisplayName();
    if (text(0) != caption)
        setText(0, caption);
}

void TShellNode::UpdateIcons() {
    const bool looked = !m_iconsStale;
    m_iconsStale = true;
    // A view asks again only for what it is told has changed.
    if (looked && Tree() != nullptr)
        emitDataChanged();
}

void TShellNode::ResolveIcons() const {
    if (!m_iconsStale)
        return;
    m_iconsStale = false;
    TSystemImageList& images = TSystemImageList::Instance();
    m_imageIndex = images.IconIndexOf(m_absoluteIdList, false);
    m_selectedIndex = (m_shellAttributes & SFGAO_FOLDER)
                          ? images.IconIndexOf(m_absoluteIdList, true)
                          : m_imageIndex;
    m_overlayIndex = OVERLAY_NONE;
    TShellTreeView* tree = Tree();
    // The share mark wins over the link mark.
    if (tree != nullptr && tree->ShowSharedOverlay() && (m_shellAttributes & SFGAO_SHARE))
        m_overlayIndex = OVERLAY_SHARE;
    else if (tree != nullptr && tree->ShowLinkOverlay() && (m_shellAttributes & SFGAO_LINK))
        m_overlayIndex = OVERLAY_LINK;
}

int TShellNode::ImageIndex() const {
    ResolveIcons();
    return m_imageIndex;
}

int TShellNode::SelectedIndex() const {
    ResolveIcons();
    return m_selectedIndex;
}

int TShellNode::OverlayIndex() const {
    ResolveIcons();
    return m_overlayIndex;
}

void TShellNode::ApplyIcon() {
    if (Tree() != nullptr)
        emitDataChanged();
}

QVariant TShellNode::data(int column, int role) const {
    if (column != 0 || role != Qt::DecorationRole)
        return QTreeWidgetItem::data(column, role);
    TShellTreeView* tree = Tree();
    if (tree == nullptr || !tree->ShowIcons())
        return QVariant();
    ResolveIcons();
    if (m_imageIndex < 0)
        return QVariant();
    return tree->NodeIcon(m_imageIndex, m_selectedIndex, m_overlayIndex);
}

bool TShellNode::Rename(const QString& newName) {
    if (newName == text(0))
        return false;
    if (!m_parentFolder)
        return false;
    m_renameError.clear();
    auto renamed =
        m_parentFolder->SetNameOf(m_relativeIdList, newName, SHGDN_NORMAL, &m_renameError);
    if (!renamed)
        return false;
    InitItem(m_parentFolder, std::move(*renamed), true);
    RefreshCaption();
    UpdateIcons();
    TShellTreeView* tree = Tree();
    if (tree != nullptr) {
        if (ParentNode() != nullptr)
            tree->SortLevel(ParentNode());
        if (tree->OnChange)
            tree->OnChange(tree, this);
    }
    return true;
}

bool TShellNode::IsFile() const {
    return (m_shellAttributes & SFGAO_FILESYSTEM) && !(m_shellAttributes & SFGAO_FOLDER);
}

void TShellNode::SetHasChildren(bool hasChildren) {
    m_hasChildren = hasChildren;
    setChildIndicatorPolicy(hasChildren ? QTreeWidgetItem::ShowIndicator
                                        : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TShellNode::DeleteChildren() {
    while (childCount() > 0)
        delete child(childCount() - 1);
}

bool TShellNode::operator<(const QTreeWidgetItem& other) const {
    const auto& node = static_cast<const TShellNode&>(other);
    TShellTreeView* tree = Tree();
    if (!m_parentFolder || tree == nullptr)
        return text(0) < other.text(0);
    if (m_sortKeys != nullptr && node.m_sortKeys != nullptr)
        return CompareLevelKeys(*m_sortKeys, *node.m_sortKeys, tree->FileSortOrder(),
                                tree->FileSortType()) < 0;
    TLevelItem a{&m_relativeIdList, m_shellAttributes};
    TLevelItem b{&node.m_relativeIdList, node.m_shellAttributes};
    return CompareLevelItems(*m_parentFolder, a, b, tree->FileSortOrder(), tree->FileSortType()) <
           0;
}
