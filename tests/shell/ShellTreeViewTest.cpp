#include "ShellTreeTestSupport.h"
#include "shell/SystemImageList.h"
#include "support/EventLoopWait.h"
#include "support/TempFolder.h"
#include "texts/Texts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Folders alpha/inner, beta (empty), gamma (files only) and .hidden; files in
// the default order, so_Ascending, which lists names from Z to A after them.
class ShellTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"alpha/inner", "beta", "gamma", ".hidden"})
            fs::create_directories(temp.Path() / folder);
        for (const char* file :
             {"alpha/a.txt", "gamma/g1.vrn", "gamma/g2.txt", "gamma/README", ".hiddenfile"})
            WriteText(temp.Path() / file);
        WriteText(temp.Path() / "archive.vrn", 300);
        WriteText(temp.Path() / "notes.txt", 100);
        WriteText(temp.Path() / "README", 200);
    }

    // A shown tree (showing builds the root) over the temporary folder.
    TShellTreeView& MakeTree(TVisOptions options,
                             const std::function<void(TShellTreeView&)>& before = {}) {
        tree.reset(); // the old tree's monitors go first
        tree = MakeShownTree(temp.Path(), options, before);
        EXPECT_NE(tree->RootNode(), nullptr);
        return *tree;
    }

    TShellNode* Root() const { return tree->RootNode(); }
    TShellNode* Node(const QString& caption) const { return ChildNamed(Root(), caption); }

    void WaitForWatches() {
        for (TDiscMonitorThread* monitor : tree->Monitors())
            ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() >= 1; }));
    }

    TScopedXdgHome xdg;
    TTempFolder homeFolder; // apart from the tree's folder, which would list it
    TScopedHome home{homeFolder.Path()};
    TTempFolder temp;
    std::unique_ptr<TShellTreeView> tree;
};

TEST_F(ShellTreeViewTest, FoldersAreProbedAndReadWhenExpandedOrRefreshed) {
    MakeTree(TF_FOLDERS);
    ASSERT_TRUE(Root()->isExpanded());
    EXPECT_EQ(tree->Path(), Text(temp.Path())); // the root is selected
    EXPECT_EQ(Root()->text(0), Text(temp.Path().filename()));
    EXPECT_EQ(Captions(Root()), (QStringList{"alpha", "beta", "gamma"}));
    // Not read yet, but with its button; gamma holds only files, not listed.
    TShellNode* alpha = Node("alpha");
    EXPECT_EQ(std::tuple(alpha->childCount(), alpha->HasChildren(), alpha->Populated()),
              std::tuple(0, true, false));
    EXPECT_FALSE(Node("gamma")->HasChildren());
    const int reads = tree->PopulateCount();
    tree->ExpandNode(alpha);
    EXPECT_EQ(tree->PopulateCount(), reads + 1);
    EXPECT_EQ(Captions(alpha), QStringList{"inner"});

    // A recursive refresh reads open levels, stales the rest, keeps the nodes.
    TShellNode* gamma = Node("gamma");
    gamma->SetPopulated(true);
    fs::create_directory(temp.Path() / "alpha" / "second");
    tree->RefreshNode(Root(), true);
    EXPECT_EQ(tree->PopulateCount(), reads + 3); // alpha, then the root and alpha
    EXPECT_EQ(Captions(alpha), (QStringList{"inner", "second"}));
    EXPECT_FALSE(gamma->Populated());
    EXPECT_EQ(std::pair(Node("alpha"), alpha->isExpanded()), std::pair(alpha, true));
    // UpdAutoRec makes an expansion refresh the open levels below as well.
    tree->SetUpdAutoRec(true);
    Root()->setExpanded(false);
    const int before = tree->PopulateCount();
    tree->ExpandNode(Root());
    EXPECT_EQ(tree->PopulateCount(), before + 2);

    // Listing files, gamma keeps its button; with UpdAuto off only unpopulated
    // levels are read, so the probe (up to the first file) must not populate.
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [](TShellTreeView& t) { t.SetUpdAuto(false); });
    gamma = Node("gamma");
    EXPECT_EQ(std::pair(gamma->HasChildren(), Node("beta")->HasChildren()), std::pair(true, false));
    EXPECT_LE(gamma->childCount(), 1);
    tree->ExpandNode(gamma);
    EXPECT_EQ(Captions(gamma), (QStringList{"README", "g2.txt", "g1.vrn"}));
    gamma->setExpanded(false);
    tree->RefreshNode(Root(), false); // probes gamma again
    EXPECT_EQ(gamma->childCount(), 1);
    tree->ExpandNode(gamma);
    EXPECT_EQ(gamma->childCount(), 3);
    const int populated = tree->PopulateCount();
    gamma->setExpanded(false);
    tree->ExpandNode(gamma);
    EXPECT_EQ(tree->PopulateCount(), populated);
    // Files are nodes that never expand.
    TShellNode* readme = ChildNamed(gamma, "README");
    EXPECT_EQ(
        std::tuple(readme->IsFile(), readme->HasChildren(), readme->GetOwnFolder() == nullptr),
        std::tuple(true, false, true));
}

TEST_F(ShellTreeViewTest, ItemsShownTheirIconsCheckBoxesAndRootModesFollowTheSettings) {
    std::map<QString, std::uint32_t> attributes; // of every item asked about
    auto admit = [&](const QString& name, std::uint32_t bits, bool& allow) {
        EXPECT_TRUE(allow);
        // A level is read under the hourglass.
        EXPECT_TRUE(QApplication::overrideCursor() != nullptr &&
                    QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        attributes[name] = bits & (SFGAO_FILESYSTEM | SFGAO_FOLDER);
        allow = !name.endsWith("/beta") && !name.endsWith("/notes.txt");
    };
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [&](TShellTreeView& t) {
        t.OnDirAdd = admit;
        t.OnFileAdd = admit;
    });
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // and restored after
    EXPECT_EQ(Captions(Root()), (QStringList{"alpha", "gamma", "README", "archive.vrn"}));

    // Full paths, and the attribute bits as asked for.
    EXPECT_EQ(attributes[Text(temp.Path() / "alpha")], SFGAO_FILESYSTEM | SFGAO_FOLDER);
    EXPECT_EQ(attributes[Text(temp.Path() / "README")], SFGAO_FILESYSTEM);

    // A node that exists and is rejected later goes at the end of that pass.
    tree->OnDirAdd = nullptr;
    tree->OnFileAdd = [](const QString& name, std::uint32_t, bool& allow) {
        allow = !name.endsWith(".vrn");
    };
    tree->RefreshNode(Root(), false);
    EXPECT_EQ(Captions(Root()), (QStringList{"alpha", "beta", "gamma", "README", "notes.txt"}));

    // Options and masks choose the items too.
    tree->OnFileAdd = nullptr;
    const QStringList folders{"alpha", "beta", "gamma"};
    const QStringList files{"README", "notes.txt", "archive.vrn"};
    // Options, masks, mask in use, captions. Folders never meet the masks.
    const std::tuple<TVisOptions, const char*, bool, QStringList> cases[] = {
        {TF_FOLDERS | TF_NONFOLDERS, " *.vrn ; *.001;;", true,
         folders + QStringList{"archive.vrn"}},
        {TF_FOLDERS | TF_NONFOLDERS | TF_HIDDEN, "*.vrn", false,
         QStringList{".hidden"} + folders + files + QStringList{".hiddenfile"}},
        {TF_FOLDERS | TF_HIDDEN, "*.*", true, QStringList{".hidden"} + folders},
    };
    for (const auto& [options, masks, maskUse, captions] : cases) {
        tree->SetOptions(options);
        tree->SetFileMask(masks);
        tree->SetFileMaskUse(maskUse);
        EXPECT_EQ(Captions(Root()), captions) << masks;
    }

    fs::create_symlink(temp.Path() / "notes.txt", temp.Path() / "link.txt");
    std::vector<std::pair<TShellNode*, bool>> events;
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [&](TShellTreeView& t) {
        t.SetCheckBoxes(true);
        t.OnCheckBoxChanged = [&](TShellNode* node, bool state) {
            events.emplace_back(node, state);
        };
    });
    TShellNode* alpha = Node("alpha");
    TShellNode* notes = Node("notes.txt");
    // Folders open when selected; files keep one icon.
    EXPECT_NE(alpha->SelectedIndex(), -1);
    EXPECT_EQ(notes->SelectedIndex(), notes->ImageIndex());
    // Icons and the link mark are on by default; the mark re-reads the level.
    EXPECT_FALSE(alpha->icon(0).isNull());
    EXPECT_EQ(Node("link.txt")->OverlayIndex(), OVERLAY_LINK);
    EXPECT_EQ(notes->OverlayIndex(), OVERLAY_NONE);
    for (bool on : {false, true}) {
        tree->SetShowIcons(on);
        tree->SetShowLinkOverlay(on);
        EXPECT_EQ(Node("alpha")->icon(0).isNull(), !on);
        EXPECT_EQ(Node("link.txt")->OverlayIndex(), on ? OVERLAY_LINK : OVERLAY_NONE);
    }

    // Check boxes raise their event once per change, and for nothing else.
    TShellNode* beta = Node("beta");
    EXPECT_TRUE(beta->flags() & Qt::ItemIsUserCheckable);
    beta->setCheckState(0, Qt::Checked);
    beta->setCheckState(0, Qt::Checked);
    beta->setText(0, "other caption");
    beta->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(events, (decltype(events){{beta, true}, {beta, false}}));

    MakeTree(TF_FOLDERS, [](TShellTreeView& t) { t.SetShowVirtualFolders(false); });
    tree->ExpandNode(Node("gamma"));
    tree->SetRootDir(Text(temp.Path() / "alpha"));
    // One root with only its own level; a relative path is ignored.
    tree->SetRootDir("relative/path");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(
        std::tuple(Root()->text(0), Root()->GetPath(), tree->RootDir()),
        std::tuple(QString("alpha"), Text(temp.Path() / "alpha"), Text(temp.Path() / "alpha")));
    EXPECT_EQ(Captions(Root()), QStringList{"inner"});

    // The desktop, with and without virtual folders, which get no monitor.
    tree->SetRootUsePIDL(true);
    EXPECT_EQ(Root()->AbsoluteIdList().ItemCount(), 0u);
    auto virtualItems = [&] {
        std::vector<TShellNode*> items = Children(Root());
        std::erase_if(items, [](TShellNode* item) {
            return item->ShellAttributes() & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR);
        });
        return items;
    };
    EXPECT_TRUE(virtualItems().empty());
    EXPECT_GT(Root()->childCount(), 0); // the computer at least
    tree->SetShowVirtualFolders(true);
    ASSERT_FALSE(virtualItems().empty());
    for (TShellNode* item : virtualItems())
        EXPECT_EQ(item->Monitor(), nullptr);

    // At the computer a volume that left loses its children, not its button.
    tree->SetRootPIDL(PIDL_DRIVES);
    EXPECT_EQ(Root()->AbsoluteIdList(), *SpecialFolderLocation(PIDL_DRIVES));
    const std::vector<TShellNode*> volumes = Children(Root());
    auto found = std::find_if(volumes.begin(), volumes.end(),
                              [](TShellNode* volume) { return volume->GetPath() == "/"; });
    ASSERT_NE(found, volumes.end());
    TShellNode* rootVolume = *found;
    tree->ExpandNode(rootVolume);
    ASSERT_GT(rootVolume->childCount(), 0);
    rootVolume->setExpanded(false);
    tree->DriveEvent(false, {"/"});
    EXPECT_EQ(std::pair(rootVolume->childCount(), rootVolume->HasChildren()), std::pair(0, true));
    tree->DriveEvent(true, {"/elsewhere"});
    EXPECT_TRUE(rootVolume->HasChildren());

    tree->SetRootUsePIDL(false);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(Root()->GetPath(), Text(temp.Path() / "alpha"));

    // Rooted at a volume: only an event on that volume reads the root again.
    tree->SetRootDir("/");
    EXPECT_EQ(Root()->AbsoluteIdList().ItemCount(), 2u);
    const int reads = tree->PopulateCount();
    tree->DriveEvent(true, {"/media/not-the-root"});
    EXPECT_EQ(tree->PopulateCount(), reads);
    tree->DriveEvent(true, {"/"});
    EXPECT_EQ(tree->PopulateCount(), reads + 1);
}

TEST_F(ShellTreeViewTest, PathAndIdListsFindAndSelectItems) {
    // Options, path (below the temporary folder unless relative), selection.
    const std::tuple<TVisOptions, std::string, std::string> cases[] = {
        {TF_FOLDERS, "/alpha/inner/missing/deeper", "/alpha/inner"},
        {TF_FOLDERS, "/gamma/g1.vrn", "/gamma"},                        // a file: its folder
        {TF_FOLDERS, "alpha", "/beta"},                                 // relative: nothing changes
        {TF_FOLDERS | TF_NONFOLDERS, "/gamma/g1.vrn", "/gamma/g1.vrn"}, // files are listed
    };
    const std::string base = temp.Path().string();
    for (const auto& [options, path, selected] : cases) {
        MakeTree(options);
        tree->SetPath(Text(temp.Path() / "beta"));
        tree->SetPath(QString::fromStdString(path.rfind('/', 0) == 0 ? base + path : path));
        EXPECT_EQ(tree->Path(), QString::fromStdString(base + selected)) << path;
    }

    // A path set before the window exists is selected once it does.
    MakeTree(TF_FOLDERS, [&](TShellTreeView& early) {
        early.SetPath(Text(temp.Path() / "alpha" / "inner"));
        EXPECT_EQ(early.Path(), ""); // nothing exists yet
    });
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "alpha" / "inner"));
    EXPECT_TRUE(tree->Selected()->isExpanded());

    MakeTree(TF_FOLDERS);
    const auto inner = ParsePathToIdList(Text(temp.Path() / "alpha" / "inner"));
    ASSERT_TRUE(inner);
    // The walk cannot pass the unexpanded alpha: no node, even as best match.
    EXPECT_EQ(tree->FindNodeByIdList(*inner, false, true, false), nullptr);
    // With the last id missing, best match and exact mode both answer its parent.
    TShellNode* alpha = Node("alpha");
    tree->ExpandNode(alpha);
    fs::remove(temp.Path() / "alpha" / "inner");
    tree->RefreshNode(alpha, false);
    EXPECT_EQ(tree->FindNodeByIdList(*inner, true, true, false), alpha);
    EXPECT_EQ(tree->FindNodeByIdList(*inner, true, true, true), alpha);
    fs::create_directory(temp.Path() / "alpha" / "inner");
    tree->RefreshNode(alpha, false);
    // Exact, with expansion; then relative to the selection.
    TShellNode* node = tree->FindNodeByIdList(*inner, true, true, true);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(tree->FindNodeByIdList(Root()->AbsoluteIdList(), true, true, true), Root());
    tree->setCurrentItem(alpha);
    EXPECT_TRUE(tree->SelectByIdList(false, node->RelativeIdList()));
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "alpha" / "inner"));
    EXPECT_EQ(tree->SelectSpecialFolder(PIDL_USERDEFINED), nullptr);

    // OnExpanding may veto a level; an exact find through it finds none.
    int asked = 0;
    MakeTree(TF_FOLDERS, [&](TShellTreeView& t) {
        t.OnExpanding = [&](TShellTreeView* sender, TShellNode* vetoed, bool& allow) {
            EXPECT_EQ(sender, &t);
            ++asked;
            allow = allow && vetoed->text(0) != "alpha";
        };
    });
    EXPECT_EQ(asked, 1); // the root
    tree->ExpandNode(Node("alpha"));
    EXPECT_EQ(std::tuple(Node("alpha")->isExpanded(), Node("alpha")->childCount()),
              std::tuple(false, 0));
    EXPECT_EQ(tree->FindNodeByIdList(*inner, true, true, true), nullptr);
    EXPECT_FALSE(tree->SelectByIdList(true, *inner));
}

// Monitors start for open levels and leaf folders, follow the filter, show
// changes unasked and stop with their level or their tree.
TEST_F(ShellTreeViewTest, MonitorsFollowTheOpenLevelsAndShowChanges) {
    const int running = TDiscMonitorThread::RunningCount();
    MakeTree(TF_FOLDERS);
    TShellNode* alpha = Node("alpha");
    tree->ExpandNode(alpha);
    TShellNode* inner = ChildNamed(alpha, "inner");
    // A leaf folder is watched as well.
    for (TShellNode* node : {alpha, inner, Node("beta")})
        ASSERT_NE(node->Monitor(), nullptr) << node->text(0).toStdString();
    WaitForWatches();

    // Each monitor re-creates its watch on its own thread: a second watch.
    const std::size_t monitors = tree->Monitors().size();
    EXPECT_EQ(tree->NotifyFilter(), 6u);
    tree->SetOptions(TF_FOLDERS | TF_NONFOLDERS);
    ASSERT_EQ(tree->Monitors().size(), monitors);
    for (TDiscMonitorThread* monitor : tree->Monitors()) {
        ASSERT_TRUE(WaitUntil([&] { return monitor->AppliedFilter() == 7; }));
        EXPECT_EQ(monitor->WatchCount(), 2);
    }
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running + int(monitors));

    // A collapsed level keeps its own monitor and stops those below.
    alpha->setExpanded(false);
    EXPECT_EQ(std::tuple(inner->Monitor(), inner->MonitorStarted(), alpha->Monitor() != nullptr),
              std::tuple(nullptr, false, true));
    Root()->setExpanded(false);
    EXPECT_EQ(alpha->Monitor(), nullptr);
    EXPECT_EQ(tree->Monitors(), std::vector{Root()->Monitor()});
    // Expanding again reads the level and starts the leaves' monitors again.
    tree->ExpandNode(Root());
    EXPECT_NE(Node("beta")->Monitor(), nullptr);
    WaitForWatches();

    tree->ExpandNode(Node("gamma")); // an expanded subfolder has its own monitor
    WaitForWatches();
    WriteText(temp.Path() / "fresh.vrn");
    ASSERT_TRUE(WaitUntil([&] { return Node("fresh.vrn") != nullptr; }));
    fs::rename(temp.Path() / "fresh.vrn", temp.Path() / "renamed.vrn");
    ASSERT_TRUE(WaitUntil([&] { return !Node("fresh.vrn") && Node("renamed.vrn"); }));
    WriteText(temp.Path() / "gamma" / "late.txt");
    ASSERT_TRUE(WaitUntil([&] { return ChildNamed(Node("gamma"), "late.txt") != nullptr; }));
    // A folder deleted on disk goes from the tree with its monitor.
    fs::remove_all(temp.Path() / "beta");
    ASSERT_TRUE(WaitUntil([&] { return Node("beta") == nullptr; }));

    // Without UpdAutoThread the monitor keeps running and the tree stays.
    TDiscMonitorThread* monitor = Root()->Monitor();
    tree->SetUpdAutoThread(false);
    const int reads = tree->PopulateCount();
    const int handedOver = monitor->HandOversDone();
    WriteText(temp.Path() / "unseen.txt");
    ASSERT_TRUE(WaitUntil([&] { return monitor->HandOversDone() > handedOver; }));
    EXPECT_EQ(std::tuple(tree->PopulateCount(), Node("unseen.txt"), monitor->isRunning()),
              std::tuple(reads, nullptr, true));

    // The tree goes while the root's monitor waits with a change undelivered.
    WriteText(temp.Path() / "pending.txt");
    ASSERT_TRUE(SpinUntil([&] { return monitor->HandOvers() > monitor->HandOversDone(); }));
    tree.reset();
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running);
    QApplication::processEvents(); // nothing may be left to deliver

    // Deleted later from its own automatic refresh, which ends on a whole tree.
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    QPointer<TShellTreeView> guard(tree.get());
    WaitForWatches();
    tree->OnFileAdd = [this](const QString& name, std::uint32_t, bool&) {
        if (name.endsWith("trigger.txt") && tree)
            tree.release()->deleteLater();
    };
    WriteText(temp.Path() / "trigger.txt");
    ASSERT_TRUE(WaitUntil([&] { return guard.isNull(); }));
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running);
}

TEST_F(ShellTreeViewTest, LabelEditAndPopupMenuAreAskedFor) {
    int changes = 0;
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [&](TShellTreeView& t) {
        t.OnChange = [&](TShellTreeView*, TShellNode*) { ++changes; };
    });
    TShellNode* notes = Node("notes.txt");
    // The item menu: vetoed, then the application's own.
    int asked = 0;
    tree->OnPopupMenu = [&](TShellNode* node, bool& allow) {
        ++asked;
        EXPECT_NE(node, nullptr);
        allow = false;
    };
    QMenu menu;
    menu.addAction("entry");
    tree->SetPopupMenuMode(pmm_PopupMenu);
    tree->SetPopupMenu(&menu);

    // Over empty space: no event, no menu.
    tree->resize(300, 600);
    QContextMenuEvent empty(QContextMenuEvent::Mouse, QPoint(10, 580), QPoint(10, 580));
    QApplication::sendEvent(tree->viewport(), &empty);
    EXPECT_EQ(asked, 0);

    // A right click leaves the selection where it was.
    tree->setCurrentItem(Node("alpha"));
    const QPoint betaPoint = tree->visualItemRect(Node("beta")).center();
    QMouseEvent press(QEvent::MouseButtonPress, betaPoint, tree->viewport()->mapToGlobal(betaPoint),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &press);
    EXPECT_EQ(tree->Selected(), Node("alpha"));

    // From the keyboard with a selection: the veto keeps the menu shut.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(-1, -1), QPoint(-1, -1));
    QApplication::sendEvent(tree->viewport(), &key);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(menu.isVisible());

    tree->OnPopupMenu = nullptr;
    QApplication::sendEvent(tree->viewport(), &key);
    EXPECT_TRUE(menu.isVisible());
    menu.close();

    // Without a selection the keyboard shows nothing.
    tree->setCurrentItem(nullptr);
    QApplication::sendEvent(tree->viewport(), &key);
    EXPECT_FALSE(menu.isVisible());

    // A destroyed menu clears the property.
    auto* shortLived = new QMenu;
    tree->SetPopupMenu(shortLived);
    delete shortLived;
    EXPECT_EQ(tree->PopupMenu(), nullptr);

    // OnEditing may keep the editor closed.
    asked = 0;
    tree->OnEditing = [&](TShellTreeView*, TShellNode*, bool& allow) {
        ++asked;
        allow = false;
    };
    tree->editItem(notes);
    EXPECT_EQ(std::tuple(asked, tree->findChild<QLineEdit*>()), std::tuple(1, nullptr));
    tree->OnEditing = nullptr;
    tree->editItem(notes);
    EXPECT_NE(tree->findChild<QLineEdit*>(), nullptr);

    // The same caption: nothing happens.
    changes = 0;
    EXPECT_FALSE(tree->ApplyLabelEdit(notes, "notes.txt"));

    // OnEdited may change the text before the rename.
    tree->OnEdited = [](TShellTreeView*, TShellNode*, QString& text) { text += ".bak"; };
    EXPECT_TRUE(tree->ApplyLabelEdit(notes, "kept"));
    EXPECT_EQ(std::tuple(notes->text(0), notes->GetPath(), changes),
              std::tuple(QString("kept.bak"), Text(temp.Path() / "kept.bak"), 1));

    // A renamed folder's subtree gets new lists; omega now sorts after gamma.
    TShellNode* alpha = Node("alpha");
    tree->ExpandNode(alpha);
    EXPECT_TRUE(alpha->Rename("omega"));
    EXPECT_EQ(ChildNamed(alpha, "inner")->GetPath(), Text(temp.Path() / "omega" / "inner"));
    EXPECT_EQ(Captions(Root()).mid(0, 3), (QStringList{"beta", "gamma", "omega"}));
}

// A tree as the window's source tree: files listed, read-only labels.
class TreeItemMenuTest : public ShellTreeViewTest {
protected:
    void SetUp() override {
        ShellTreeViewTest::SetUp();
        MakeTree(TF_FOLDERS | TF_NONFOLDERS, [](TShellTreeView& t) {
            t.SetReadOnly(true);
            t.resize(300, 400);
        });
    }

    // Chooses the item menu's rename on the node, as a user does from the keyboard.
    void ChooseRename(TShellNode* node) {
        tree->setCurrentItem(node);
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text() == QString::fromUtf8(Texts::MenuRename))
                    menu->setActiveAction(action);
            }
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(menu, &enter);
        });
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(-1, -1), QPoint(-1, -1));
        QApplication::sendEvent(tree->viewport(), &key);
    }

    // The open label editor; a closed one may wait for its deferred deletion.
    QLineEdit* Editor() const {
        for (QLineEdit* editor : tree->findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }

    void Type(const QString& text) {
        ASSERT_NE(Editor(), nullptr);
        Editor()->setText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(Editor(), &enter);
        QApplication::processEvents();
    }
};

TEST_F(TreeItemMenuTest, RenameFromTheMenuAndHotTrack) {
    // No automatic refresh may take a node (and its editor) away unasked.
    tree->SetUpdAutoThread(false);
    TShellNode* notes = Node("notes.txt");
    ChooseRename(notes);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), "notes.txt");
    Type("diary.txt");
    EXPECT_EQ(std::pair(notes->text(0), notes->GetPath()),
              std::pair(QString("diary.txt"), Text(temp.Path() / "diary.txt")));
    EXPECT_FALSE(fs::exists(temp.Path() / "notes.txt"));
    EXPECT_EQ(ReadFileBytes((temp.Path() / "diary.txt").string()), std::string(100, 'x'));
    // The labels are read-only again: a key no longer starts an edit.
    EXPECT_FALSE(notes->flags() & Qt::ItemIsEditable);
    tree->editItem(notes);
    EXPECT_EQ(Editor(), nullptr);

    // A refused rename shows the error after the edit and changes nothing.
    ChooseRename(notes);
    QStringList boxes; // closed as they come, keeping their texts
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(5);
    Type("README");
    EXPECT_TRUE(WaitUntil([&] { return !boxes.isEmpty(); }));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(Text(temp.Path() / "diary.txt")));
    EXPECT_EQ(ReadFileBytes((temp.Path() / "README").string()), std::string(200, 'x'));
    EXPECT_EQ(notes->GetPath(), Text(temp.Path() / "diary.txt"));
    EXPECT_FALSE(notes->flags() & Qt::ItemIsEditable);

    // A node deleted during its edit takes the editor along, renaming nothing.
    WriteText(temp.Path() / "notes.txt", 100);
    tree->RefreshAll();
    ChooseRename(Node("notes.txt"));
    ASSERT_NE(Editor(), nullptr);
    Editor()->setText("other.txt");
    fs::rename(temp.Path() / "notes.txt", temp.Path() / "moved.txt");
    tree->RefreshAll();
    EXPECT_EQ(Node("notes.txt"), nullptr);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_TRUE(fs::exists(temp.Path() / "moved.txt"));
    EXPECT_FALSE(fs::exists(temp.Path() / "other.txt"));

    // Hot tracking marks the row under the mouse.
    tree->setCurrentItem(tree->RootNode());
    const QRect row = tree->visualItemRect(Node("alpha"));
    const QImage plain = tree->viewport()->grab(row).toImage();
    auto rowWithMouseAt = [&](QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, tree->viewport()->mapToGlobal(point),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &move);
        return tree->viewport()->grab(row).toImage();
    };
    // Off: the mouse over the row changes nothing.
    EXPECT_EQ(rowWithMouseAt(row.center()), plain);
    tree->setProperty("HotTrack", true); // by name, as the window sets it
    EXPECT_NE(rowWithMouseAt(row.center()), plain);
    EXPECT_EQ(rowWithMouseAt(QPoint(row.center().x(), tree->viewport()->height() - 2)), plain);
}

TEST_F(TreeItemMenuTest,
       LargeLevelLooksUpIconsForShownRowsScrollsByPagesAndSortsAsTheFolderCompares) {
    const fs::path big = temp.Path() / "big";
    fs::create_directory(big);
    const char* extensions[] = {".txt", ".vrn", ".png", ".tar.gz", ""};
    for (int i = 0; i < 200; ++i) {
        std::ofstream(big / ("File" + std::to_string(i * 7 % 200) + extensions[i % 5]))
            << std::string(static_cast<std::size_t>(i % 9), 'x');
        if (i % 5 == 0)
            fs::create_directory(big / ("dir" + std::to_string(i)));
    }
    TSystemImageList& images = TSystemImageList::Instance();
    tree->RefreshAll();
    TShellNode* node = Node("big");
    ASSERT_NE(node, nullptr);
    const int before = images.LookupCount();
    tree->ExpandNode(node);
    ASSERT_EQ(node->childCount(), 240);
    EXPECT_EQ(images.LookupCount(), before);

    // Shown rows get the icons of their full names; others are not looked up.
    auto shownRowsRight = [&] {
        tree->viewport()->grab();
        int shown = 0;
        for (TShellNode* child : Children(node)) {
            if (!tree->viewport()->rect().intersects(tree->visualItemRect(child)))
                continue;
            ++shown;
            EXPECT_EQ(child->ImageIndex(), images.IconIndexOfPath(child->GetPath()))
                << child->text(0).toStdString();
        }
        return shown;
    };
    const int shown = shownRowsRight();
    EXPECT_GT(shown, 0);
    EXPECT_LT(images.LookupCount() - before, 2 * shown + 50);
    QScrollBar* bar = tree->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 3 * bar->pageStep());
    bar->setValue(bar->maximum());
    EXPECT_GT(shownRowsRight(), 0);
    EXPECT_LT(images.LookupCount() - before, 200);

    // One wheel notch turns one page. Turns: eighths of a degree, value after.
    const int bottom = bar->value();
    const int page = bar->pageStep();
    std::vector<std::pair<int, int>> turns{
        {120, bottom - page}, {-120, bottom}, {240, bottom - 2 * page}};
    // A fine wheel: nothing until a whole notch has added up.
    turns.insert(turns.end(), 7, {-15, bottom - 2 * page});
    turns.emplace_back(-15, bottom - page);
    for (std::size_t i = 0; i < turns.size(); ++i) {
        QWheelEvent event(QPointF(50, 50), tree->mapToGlobal(QPoint(50, 50)), QPoint(),
                          QPoint(0, turns[i].first), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(tree->viewport(), &event);
        EXPECT_EQ(bar->value(), turns[i].second) << "turn " << i;
    }

    // Its empty folders get their watches once the event loop runs.
    QApplication::processEvents();
    for (TShellNode* child : Children(node))
        EXPECT_TRUE(child->IsFile() || child->Monitor()) << child->text(0).toStdString();

    for (TFileSortType type : {so_Name, so_Size, so_Type, so_Date}) {
        for (TFileSortOrder order : {so_Ascending, so_Descending}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " order " << order);
            tree->SetFileSortType(type);
            tree->SetFileSortOrder(order);
            const std::vector<TShellNode*> children = Children(node);
            EXPECT_TRUE(std::is_sorted(children.begin(), children.end(), [&](auto* a, auto* b) {
                const TLevelItem left{&a->RelativeIdList(), a->ShellAttributes()};
                const TLevelItem right{&b->RelativeIdList(), b->ShellAttributes()};
                return CompareLevelItems(*a->ParentFolder(), left, right, order, type) < 0;
            }));
            // The sorted root level keeps the expanded folder as it was.
            EXPECT_EQ(std::pair(Node("big"), node->isExpanded()), std::pair(node, true));
        }
    }
}

} // namespace
