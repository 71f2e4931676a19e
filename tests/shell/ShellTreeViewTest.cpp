#include "shell/ShellTreeView.h"
#include "shell/SystemImageList.h"
#include "support/EventLoopWait.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& path, std::size_t bytes = 1) {
    std::ofstream(path) << std::string(bytes, 'x');
}

QStringList Captions(const TShellNode* node) {
    QStringList captions;
    for (int i = 0; i < node->childCount(); ++i)
        captions << node->child(i)->text(0);
    return captions;
}

TShellNode* ChildNamed(const TShellNode* node, const QString& caption) {
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->text(0) == caption)
            return node->Child(i);
    }
    return nullptr;
}

QString Text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A folder of this shape:
//   alpha/inner/        alpha/a.txt
//   beta/               (empty)
//   gamma/g1.vrn gamma/g2.txt gamma/README
//   .hidden/            .hiddenfile
//   archive.vrn  notes.txt  README
class ShellTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(temp.Path() / "alpha" / "inner");
        WriteText(temp.Path() / "alpha" / "a.txt");
        fs::create_directory(temp.Path() / "beta");
        fs::create_directory(temp.Path() / "gamma");
        WriteText(temp.Path() / "gamma" / "g1.vrn");
        WriteText(temp.Path() / "gamma" / "g2.txt");
        WriteText(temp.Path() / "gamma" / "README");
        fs::create_directory(temp.Path() / ".hidden");
        WriteText(temp.Path() / ".hiddenfile");
        WriteText(temp.Path() / "archive.vrn", 300);
        WriteText(temp.Path() / "notes.txt", 100);
        WriteText(temp.Path() / "README", 200);
    }

    // A tree rooted at the temporary folder, shown (which builds the root).
    TShellTreeView& MakeTree(TVisOptions options,
                             std::function<void(TShellTreeView&)> before = {}) {
        tree = std::make_unique<TShellTreeView>();
        tree->SetShowMessages(false);
        tree->SetOptions(options);
        tree->SetRootUsePIDL(false);
        tree->SetRootDir(Text(temp.Path()));
        if (before)
            before(*tree);
        tree->show();
        EXPECT_NE(tree->RootNode(), nullptr);
        return *tree;
    }

    TShellNode* Root() const { return tree->RootNode(); }

    TScopedXdgHome xdg;
    TTempFolder temp;
    std::unique_ptr<TShellTreeView> tree;
};

TEST_F(ShellTreeViewTest, LevelsAreReadOnlyWhenExpanded) {
    MakeTree(TF_FOLDERS);
    ASSERT_TRUE(Root()->isExpanded());
    EXPECT_EQ(tree->RootDir(), Text(temp.Path()));
    EXPECT_EQ(tree->Path(), Text(temp.Path())); // the root is selected
    EXPECT_EQ(Root()->text(0), Text(temp.Path().filename()));
    EXPECT_EQ(Captions(Root()), (QStringList{"alpha", "beta", "gamma"}));
    const int reads = tree->PopulateCount();

    TShellNode* alpha = ChildNamed(Root(), "alpha");
    TShellNode* beta = ChildNamed(Root(), "beta");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->childCount(), 0); // not read yet...
    EXPECT_TRUE(alpha->HasChildren()); // ...but it shows its button
    EXPECT_FALSE(beta->HasChildren()); // no subfolders, and files are not listed
    EXPECT_FALSE(alpha->Populated());

    tree->ExpandNode(alpha);
    EXPECT_EQ(tree->PopulateCount(), reads + 1);
    EXPECT_TRUE(alpha->Populated());
    EXPECT_EQ(Captions(alpha), QStringList{"inner"});
    EXPECT_EQ(alpha->Child(0)->GetPath(), Text(temp.Path() / "alpha" / "inner"));
}

TEST_F(ShellTreeViewTest, FoldersHoldingOnlyFilesKeepTheirButton) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    TShellNode* gamma = ChildNamed(Root(), "gamma");
    TShellNode* beta = ChildNamed(Root(), "beta");
    ASSERT_NE(gamma, nullptr);
    EXPECT_TRUE(gamma->HasChildren());
    EXPECT_LE(gamma->childCount(), 1); // the probe stops at the first file
    EXPECT_FALSE(beta->HasChildren());
    tree->ExpandNode(gamma);
    EXPECT_EQ(gamma->childCount(), 3);
    // Folders first, then files; files are nodes that never expand.
    EXPECT_EQ(Captions(Root()).mid(0, 3), (QStringList{"alpha", "beta", "gamma"}));
    TShellNode* readme = ChildNamed(gamma, "README");
    ASSERT_NE(readme, nullptr);
    EXPECT_TRUE(readme->IsFile());
    EXPECT_FALSE(readme->HasChildren());
    EXPECT_EQ(readme->GetOwnFolder(), nullptr);
}

TEST_F(ShellTreeViewTest, MasksFilterFilesOnlyWhileInUse) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [](TShellTreeView& t) {
        t.SetFileMask("*.*");
        t.SetFileMaskUse(true);
    });
    QStringList captions = Captions(Root());
    EXPECT_TRUE(captions.contains("archive.vrn"));
    EXPECT_TRUE(captions.contains("notes.txt"));
    EXPECT_FALSE(captions.contains("README")); // "*.*" wants a dot
    EXPECT_TRUE(captions.contains("beta"));    // folders never meet the masks

    tree->SetFileMask(" *.vrn ; *.001;;");
    EXPECT_EQ(tree->FileMask(), "*.vrn;*.001");
    captions = Captions(Root());
    EXPECT_TRUE(captions.contains("archive.vrn"));
    EXPECT_FALSE(captions.contains("notes.txt"));

    tree->SetFileMaskUse(false);
    captions = Captions(Root());
    EXPECT_TRUE(captions.contains("README"));
    EXPECT_TRUE(captions.contains("notes.txt"));

    tree->SetFileMask("   ");
    EXPECT_EQ(tree->FileMask(), "*.*");
}

TEST_F(ShellTreeViewTest, HiddenItemsOnlyWithTheHiddenOption) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    EXPECT_EQ(ChildNamed(Root(), ".hidden"), nullptr);
    EXPECT_EQ(ChildNamed(Root(), ".hiddenfile"), nullptr);

    tree->SetOptions(TF_FOLDERS | TF_NONFOLDERS | TF_HIDDEN);
    EXPECT_NE(ChildNamed(Root(), ".hidden"), nullptr);
    EXPECT_NE(ChildNamed(Root(), ".hiddenfile"), nullptr);

    tree->SetOptions(TF_FOLDERS | TF_HIDDEN); // files leave, hidden folders stay
    EXPECT_NE(ChildNamed(Root(), ".hidden"), nullptr);
    EXPECT_EQ(ChildNamed(Root(), ".hiddenfile"), nullptr);
    EXPECT_EQ(ChildNamed(Root(), "notes.txt"), nullptr);
}

TEST_F(ShellTreeViewTest, AdmissionEventsRejectItems) {
    std::vector<std::pair<QString, std::uint32_t>> dirs;
    std::vector<std::pair<QString, std::uint32_t>> files;
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [&](TShellTreeView& t) {
        t.OnDirAdd = [&](const QString& name, std::uint32_t attributes, bool& allow) {
            EXPECT_TRUE(allow);
            dirs.emplace_back(name, attributes);
            allow = !name.endsWith("/beta");
        };
        t.OnFileAdd = [&](const QString& name, std::uint32_t attributes, bool& allow) {
            EXPECT_TRUE(allow);
            // A level is read under the hourglass.
            EXPECT_TRUE(QApplication::overrideCursor() != nullptr &&
                        QApplication::overrideCursor()->shape() == Qt::WaitCursor);
            files.emplace_back(name, attributes);
            allow = !name.endsWith("/notes.txt");
        };
    });
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // and restored after
    EXPECT_EQ(ChildNamed(Root(), "beta"), nullptr);
    EXPECT_EQ(ChildNamed(Root(), "notes.txt"), nullptr);
    EXPECT_NE(ChildNamed(Root(), "alpha"), nullptr);
    EXPECT_NE(ChildNamed(Root(), "README"), nullptr);

    // Full paths and the attribute bits as asked for.
    auto alpha = std::find_if(dirs.begin(), dirs.end(),
                              [&](auto& d) { return d.first == Text(temp.Path() / "alpha"); });
    ASSERT_NE(alpha, dirs.end());
    EXPECT_EQ(alpha->second & (SFGAO_FILESYSTEM | SFGAO_FOLDER), SFGAO_FILESYSTEM | SFGAO_FOLDER);
    auto readme = std::find_if(files.begin(), files.end(),
                               [&](auto& f) { return f.first == Text(temp.Path() / "README"); });
    ASSERT_NE(readme, files.end());
    EXPECT_EQ(readme->second & (SFGAO_FILESYSTEM | SFGAO_FOLDER), SFGAO_FILESYSTEM);

    // A node that exists and is rejected later goes at the end of that pass.
    ASSERT_NE(ChildNamed(Root(), "archive.vrn"), nullptr);
    tree->OnFileAdd = [](const QString& name, std::uint32_t, bool& allow) {
        allow = !name.endsWith(".vrn");
    };
    tree->RefreshNode(Root(), false);
    EXPECT_EQ(ChildNamed(Root(), "archive.vrn"), nullptr);
    EXPECT_NE(ChildNamed(Root(), "notes.txt"), nullptr);
}

TEST_F(ShellTreeViewTest, PathSelectsTheDeepestExistingFolder) {
    MakeTree(TF_FOLDERS);
    tree->SetPath(Text(temp.Path() / "alpha" / "inner" / "missing" / "deeper"));
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "alpha" / "inner"));

    tree->SetPath(Text(temp.Path() / "gamma" / "g1.vrn")); // a file: its folder
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "gamma"));

    tree->SetPath("alpha"); // relative: nothing changes
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "gamma"));
    tree->SetPath("");
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "gamma"));

    MakeTree(TF_FOLDERS | TF_NONFOLDERS); // where files are listed, the file itself
    tree->SetPath(Text(temp.Path() / "gamma" / "g1.vrn"));
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "gamma" / "g1.vrn"));
}

TEST_F(ShellTreeViewTest, PathSetBeforeTheWindowWaitsForIt) {
    TShellTreeView& t = MakeTree(TF_FOLDERS, [&](TShellTreeView& early) {
        early.SetPath(Text(temp.Path() / "alpha" / "inner"));
        EXPECT_EQ(early.Path(), ""); // nothing exists yet
    });
    EXPECT_EQ(t.Path(), Text(temp.Path() / "alpha" / "inner"));
    EXPECT_TRUE(t.Selected()->isExpanded());
}

TEST_F(ShellTreeViewTest, UnparsableRootDirFallsBackToTheFileSystemRoot) {
    TShellTreeView t;
    t.SetShowMessages(false);
    t.SetRootUsePIDL(false);
    t.SetRootDir("relative/path"); // normalises to nothing: ignored
    EXPECT_EQ(t.RootDir(), "/");
    t.show();
    ASSERT_NE(t.RootNode(), nullptr);
    EXPECT_EQ(t.RootNode()->GetPath(), "/");
}

TEST_F(ShellTreeViewTest, FilesSortBySizeWithTheDesignedOrderRule) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    // notes.txt 100 < README 200 < archive.vrn 300 bytes.
    tree->SetFileSortType(so_Size);
    tree->SetFileSortOrder(so_Descending); // the shell's ascending order
    EXPECT_EQ(Captions(Root()),
              (QStringList{"alpha", "beta", "gamma", "notes.txt", "README", "archive.vrn"}));
    tree->SetFileSortOrder(so_Ascending); // reversed
    EXPECT_EQ(Captions(Root()),
              (QStringList{"alpha", "beta", "gamma", "archive.vrn", "README", "notes.txt"}));
    // Expanded levels below keep their expansion through a sort.
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    tree->ExpandNode(alpha);
    tree->SetFileSortType(so_Name);
    EXPECT_TRUE(ChildNamed(Root(), "alpha")->isExpanded());
}

TEST_F(ShellTreeViewTest, FileChangesShowWithoutUserAction) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    ASSERT_NE(Root()->Monitor(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Root()->Monitor()->WatchCount() == 1; }));

    WriteText(temp.Path() / "fresh.vrn");
    ASSERT_TRUE(WaitUntil([&] { return ChildNamed(Root(), "fresh.vrn") != nullptr; }));

    fs::rename(temp.Path() / "fresh.vrn", temp.Path() / "renamed.vrn");
    ASSERT_TRUE(WaitUntil([&] {
        return ChildNamed(Root(), "fresh.vrn") == nullptr &&
               ChildNamed(Root(), "renamed.vrn") != nullptr;
    }));

    fs::remove(temp.Path() / "renamed.vrn");
    ASSERT_TRUE(WaitUntil([&] { return ChildNamed(Root(), "renamed.vrn") == nullptr; }));

    // An expanded subfolder has its own monitor.
    TShellNode* gamma = ChildNamed(Root(), "gamma");
    tree->ExpandNode(gamma);
    ASSERT_NE(gamma->Monitor(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return gamma->Monitor()->WatchCount() == 1; }));
    WriteText(temp.Path() / "gamma" / "late.txt");
    ASSERT_TRUE(WaitUntil([&] { return ChildNamed(gamma, "late.txt") != nullptr; }));
}

TEST_F(ShellTreeViewTest, AutomaticRefreshFollowsUpdAutoThread) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    TDiscMonitorThread* monitor = Root()->Monitor();
    ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1; }));
    tree->SetUpdAutoThread(false);
    const int reads = tree->PopulateCount();
    WriteText(temp.Path() / "unseen.txt");
    ASSERT_TRUE(WaitUntil([&] { return monitor->HandOversDone() >= 1; })); // it ran
    EXPECT_EQ(tree->PopulateCount(), reads);
    EXPECT_EQ(ChildNamed(Root(), "unseen.txt"), nullptr);
    EXPECT_TRUE(monitor->isRunning()); // the monitor keeps running
}

TEST_F(ShellTreeViewTest, FileChangesCauseNoRefreshWithFoldersOnly) {
    MakeTree(TF_FOLDERS);
    TDiscMonitorThread* monitor = Root()->Monitor();
    ASSERT_NE(monitor, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1; }));
    EXPECT_EQ(monitor->AppliedFilter(), 6u);
    const int reads = tree->PopulateCount();

    WriteText(temp.Path() / "ignored.txt");
    ASSERT_TRUE(WaitUntil([&] { return monitor->EventsSeen() >= 1; }));
    QApplication::processEvents();
    EXPECT_EQ(tree->PopulateCount(), reads);

    fs::create_directory(temp.Path() / "delta");
    ASSERT_TRUE(WaitUntil([&] { return ChildNamed(Root(), "delta") != nullptr; }));
    EXPECT_GT(tree->PopulateCount(), reads);
}

TEST_F(ShellTreeViewTest, OptionsChangeMovesRunningMonitorsToTheNewFilter) {
    MakeTree(TF_FOLDERS);
    tree->ExpandNode(ChildNamed(Root(), "alpha"));
    const std::vector<TDiscMonitorThread*> before = tree->Monitors();
    // The root, alpha (a parent) and the leaves beta, gamma and inner.
    ASSERT_GE(before.size(), 4u);
    for (TDiscMonitorThread* monitor : before)
        ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1; }));
    EXPECT_EQ(tree->NotifyFilter(), 6u);

    tree->SetOptions(TF_FOLDERS | TF_NONFOLDERS);
    EXPECT_EQ(tree->NotifyFilter(), 7u);
    const std::vector<TDiscMonitorThread*> after = tree->Monitors();
    for (TDiscMonitorThread* monitor : before) {
        // The same objects, each re-creating its watch on its own thread.
        EXPECT_NE(std::find(after.begin(), after.end(), monitor), after.end());
        ASSERT_TRUE(WaitUntil([&] { return monitor->AppliedFilter() == 7; }));
        EXPECT_EQ(monitor->WatchCount(), 2);
        EXPECT_TRUE(monitor->isRunning());
    }
    // Files are now watched by the same threads.
    WriteText(temp.Path() / "alpha" / "inner" / "now.txt");
    TShellNode* inner = ChildNamed(ChildNamed(Root(), "alpha"), "inner");
    ASSERT_TRUE(WaitUntil([&] { return inner->HasChildren(); }));
}

TEST_F(ShellTreeViewTest, CollapseStopsTheMonitorsBelow) {
    MakeTree(TF_FOLDERS);
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    tree->ExpandNode(alpha);
    TShellNode* inner = ChildNamed(alpha, "inner");
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(alpha->Monitor(), nullptr);
    ASSERT_NE(inner->Monitor(), nullptr); // a leaf folder is watched
    TShellNode* beta = ChildNamed(Root(), "beta");
    ASSERT_NE(beta->Monitor(), nullptr);

    alpha->setExpanded(false);
    EXPECT_EQ(inner->Monitor(), nullptr);
    EXPECT_FALSE(inner->MonitorStarted());
    EXPECT_NE(alpha->Monitor(), nullptr); // its own stays

    Root()->setExpanded(false);
    EXPECT_NE(Root()->Monitor(), nullptr);
    EXPECT_EQ(alpha->Monitor(), nullptr);
    EXPECT_EQ(beta->Monitor(), nullptr);
    EXPECT_EQ(tree->Monitors().size(), 1u);

    // Expanding again reads the level and starts the leaves' monitors again.
    tree->ExpandNode(Root());
    beta = ChildNamed(Root(), "beta");
    EXPECT_NE(beta->Monitor(), nullptr);
}

TEST_F(ShellTreeViewTest, CollapseDropsAChangeWaitingForTheInterface) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    tree->ExpandNode(alpha);
    TShellNode* inner = ChildNamed(alpha, "inner");
    ASSERT_NE(inner, nullptr);
    TDiscMonitorThread* monitor = inner->Monitor(); // an empty leaf is watched
    ASSERT_NE(monitor, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1; }));

    // The change reaches the monitor, which waits for the interface thread;
    // the event loop does not run meanwhile.
    WriteText(temp.Path() / "alpha" / "inner" / "new.txt");
    QElapsedTimer clock;
    clock.start();
    while (monitor->HandOvers() == 0 && clock.elapsed() < 20000)
        QThread::msleep(1);
    ASSERT_EQ(monitor->HandOvers(), 1);
    const int reads = tree->PopulateCount();
    alpha->setExpanded(false); // stops inner's monitor: must not deadlock
    EXPECT_EQ(inner->Monitor(), nullptr);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(tree->PopulateCount(), reads); // the dropped change ran nothing
}

TEST_F(ShellTreeViewTest, MonitorsEndWithTheirNodes) {
    const int running = TDiscMonitorThread::RunningCount();
    MakeTree(TF_FOLDERS);
    tree->ExpandNode(ChildNamed(Root(), "alpha"));
    const auto monitors = tree->Monitors();
    for (TDiscMonitorThread* monitor : monitors)
        ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1; }));
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running + int(monitors.size()));

    // A folder deleted on disk goes from the tree with its monitor.
    fs::remove_all(temp.Path() / "alpha");
    ASSERT_TRUE(WaitUntil([&] { return ChildNamed(Root(), "alpha") == nullptr; }));
    tree.reset();
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running);
}

TEST_F(ShellTreeViewTest, ProbedFolderIsReadInFullOnItsNextExpansion) {
    // With UpdAuto off a level is read only when not populated; a probe of a
    // collapsed folder leaves one child, so it must not count as populated.
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [](TShellTreeView& t) { t.SetUpdAuto(false); });
    TShellNode* gamma = ChildNamed(Root(), "gamma");
    tree->ExpandNode(gamma);
    EXPECT_EQ(gamma->childCount(), 3);
    gamma->setExpanded(false);
    tree->RefreshNode(Root(), false); // probes gamma again
    EXPECT_EQ(gamma->childCount(), 1);
    tree->ExpandNode(gamma);
    EXPECT_EQ(gamma->childCount(), 3);

    // A populated level is not read again on expansion.
    const int reads = tree->PopulateCount();
    gamma->setExpanded(false);
    tree->ExpandNode(gamma);
    EXPECT_EQ(tree->PopulateCount(), reads);
}

TEST_F(ShellTreeViewTest, ExpandingVetoAndRootlessRefusal) {
    int asked = 0;
    MakeTree(TF_FOLDERS, [&](TShellTreeView& t) {
        t.OnExpanding = [&](TShellTreeView* sender, TShellNode* node, bool& allow) {
            EXPECT_EQ(sender, &t);
            ++asked;
            allow = allow && node->text(0) != "alpha";
        };
    });
    EXPECT_EQ(asked, 1); // the root
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    tree->ExpandNode(alpha);
    EXPECT_FALSE(alpha->isExpanded());
    EXPECT_EQ(alpha->childCount(), 0);
    // Finding through a vetoed node ends with none in exact mode.
    auto list = ParsePathToIdList(Text(temp.Path() / "alpha" / "inner"));
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(tree->FindNodeByIdList(*list, true, true, true), nullptr);
    EXPECT_FALSE(tree->SelectByIdList(true, *list));
}

TEST_F(ShellTreeViewTest, FindNodeByIdListModes) {
    MakeTree(TF_FOLDERS);
    auto inner = ParsePathToIdList(Text(temp.Path() / "alpha" / "inner"));
    ASSERT_TRUE(inner.has_value());
    // Without expansion the walk cannot pass the unexpanded alpha: no node,
    // even for a best match.
    EXPECT_EQ(tree->FindNodeByIdList(*inner, false, true, false), nullptr);
    // Best match stops at the deepest existing node.
    auto missing = ParsePathToIdList(Text(temp.Path() / "alpha" / "inner"));
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    tree->ExpandNode(alpha);
    fs::remove(temp.Path() / "alpha" / "inner");
    tree->RefreshNode(alpha, false);
    EXPECT_EQ(tree->FindNodeByIdList(*missing, true, true, false), alpha);
    // Exact mode with only the last id missing answers its parent.
    EXPECT_EQ(tree->FindNodeByIdList(*missing, true, true, true), alpha);
    fs::create_directory(temp.Path() / "alpha" / "inner");
    tree->RefreshNode(alpha, false);
    // Exact, with expansion.
    TShellNode* node = tree->FindNodeByIdList(*inner, true, true, true);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetPath(), Text(temp.Path() / "alpha" / "inner"));
    // The root itself.
    EXPECT_EQ(tree->FindNodeByIdList(Root()->AbsoluteIdList(), true, true, true), Root());
    // Relative to the selection.
    tree->setCurrentItem(ChildNamed(Root(), "alpha"));
    auto relative = ChildNamed(ChildNamed(Root(), "alpha"), "inner")->RelativeIdList();
    EXPECT_TRUE(tree->SelectByIdList(false, relative));
    EXPECT_EQ(tree->Path(), Text(temp.Path() / "alpha" / "inner"));
    EXPECT_EQ(tree->SelectSpecialFolder(PIDL_USERDEFINED), nullptr);
}

TEST_F(ShellTreeViewTest, LabelEditRenamesThroughTheNamespace) {
    int changes = 0;
    MakeTree(TF_FOLDERS | TF_NONFOLDERS, [&](TShellTreeView& t) {
        t.OnChange = [&](TShellTreeView*, TShellNode*) { ++changes; };
    });
    TShellNode* notes = ChildNamed(Root(), "notes.txt");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->HasAttributes(SFGAO_CANRENAME));

    // The same caption: nothing happens.
    changes = 0;
    EXPECT_FALSE(tree->ApplyLabelEdit(notes, "notes.txt"));
    EXPECT_EQ(changes, 0);

    // OnEdited may change the text before the rename.
    tree->OnEdited = [](TShellTreeView*, TShellNode*, QString& text) { text += ".bak"; };
    EXPECT_TRUE(tree->ApplyLabelEdit(notes, "kept"));
    EXPECT_EQ(notes->text(0), "kept.bak");
    EXPECT_TRUE(fs::exists(temp.Path() / "kept.bak"));
    EXPECT_FALSE(fs::exists(temp.Path() / "notes.txt"));
    EXPECT_EQ(notes->GetPath(), Text(temp.Path() / "kept.bak"));
    EXPECT_EQ(changes, 1);
    tree->OnEdited = nullptr;

    // Onto an existing name: refused, nothing changes on disk or in the tree.
    EXPECT_FALSE(tree->ApplyLabelEdit(notes, "README"));
    EXPECT_EQ(notes->text(0), "kept.bak");
    EXPECT_FALSE(notes->RenameError().isEmpty());
    EXPECT_EQ(ReadFileBytes((temp.Path() / "README").string()), std::string(200, 'x'));

    // A renamed folder gives its whole subtree new lists.
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    tree->ExpandNode(alpha);
    EXPECT_TRUE(alpha->Rename("omega"));
    TShellNode* inner = ChildNamed(alpha, "inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->GetPath(), Text(temp.Path() / "omega" / "inner"));
    // The level is sorted again: omega now comes after gamma.
    EXPECT_EQ(Captions(Root()).mid(0, 3), (QStringList{"beta", "gamma", "omega"}));
}

TEST_F(ShellTreeViewTest, ReadOnlyAndEditingVetoKeepEditorsClosed) {
    MakeTree(TF_FOLDERS, [](TShellTreeView& t) { t.SetReadOnly(true); });
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    auto editor = [&] { return tree->findChild<QLineEdit*>(); };
    tree->editItem(alpha);
    EXPECT_EQ(editor(), nullptr);
    tree->SetReadOnly(false);
    int asked = 0;
    tree->OnEditing = [&](TShellTreeView*, TShellNode*, bool& allow) {
        ++asked;
        allow = false;
    };
    tree->editItem(alpha);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(editor(), nullptr);
    tree->OnEditing = nullptr;
    tree->editItem(alpha);
    ASSERT_NE(editor(), nullptr);
    // Ending the edit goes through the rename.
    editor()->setText("alpha2");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor(), &enter);
    QApplication::processEvents();
    EXPECT_EQ(alpha->text(0), "alpha2");
    EXPECT_TRUE(fs::is_directory(temp.Path() / "alpha2"));
}

TEST_F(ShellTreeViewTest, CheckBoxChangesRaiseOncePerChange) {
    std::vector<std::pair<TShellNode*, bool>> events;
    MakeTree(TF_FOLDERS, [&](TShellTreeView& t) {
        t.SetCheckBoxes(true);
        t.OnCheckBoxChanged = [&](TShellNode* node, bool state) {
            events.emplace_back(node, state);
        };
    });
    TShellNode* beta = ChildNamed(Root(), "beta");
    EXPECT_TRUE(beta->flags() & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(events.empty());
    beta->setCheckState(0, Qt::Checked);
    beta->setCheckState(0, Qt::Checked);
    beta->setText(0, "other caption"); // not a check change
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].first, beta);
    EXPECT_TRUE(events[0].second);
    EXPECT_TRUE(beta->CheckState());
    beta->setCheckState(0, Qt::Unchecked);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[1].second);
}

TEST_F(ShellTreeViewTest, OneWheelNotchTurnsOnePage) {
    for (int i = 0; i < 200; ++i)
        WriteText(temp.Path() / ("file" + std::to_string(1000 + i) + ".txt"));
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    tree->resize(200, 200);
    QScrollBar* bar = tree->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 3 * bar->pageStep());
    bar->setValue(bar->maximum());
    const int bottom = bar->value();

    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(50, 50), tree->mapToGlobal(QPoint(50, 50)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tree->viewport(), &event);
    };
    wheel(120);
    EXPECT_EQ(bar->value(), bottom - bar->pageStep());
    wheel(-120);
    EXPECT_EQ(bar->value(), bottom);
    wheel(240);
    EXPECT_EQ(bar->value(), bottom - 2 * bar->pageStep());
    for (int i = 0; i < 7; ++i)
        wheel(-15); // a fine wheel: nothing until a whole notch has added up
    EXPECT_EQ(bar->value(), bottom - 2 * bar->pageStep());
    wheel(-15);
    EXPECT_EQ(bar->value(), bottom - bar->pageStep());
}

TEST_F(ShellTreeViewTest, PopupMenuVetoAndApplicationMenu) {
    MakeTree(TF_FOLDERS);
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
    tree->setCurrentItem(ChildNamed(Root(), "alpha"));
    const QPoint betaPoint = tree->visualItemRect(ChildNamed(Root(), "beta")).center();
    QMouseEvent press(QEvent::MouseButtonPress, betaPoint, tree->viewport()->mapToGlobal(betaPoint),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &press);
    EXPECT_EQ(tree->Selected(), ChildNamed(Root(), "alpha"));

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
}

TEST_F(ShellTreeViewTest, VolumeEventsUpdateTheComputerLevel) {
    TShellTreeView t;
    t.SetShowMessages(false);
    t.SetRootPIDL(PIDL_DRIVES);
    t.show();
    ASSERT_NE(t.RootNode(), nullptr);
    TShellNode* rootVolume = nullptr;
    for (int i = 0; i < t.RootNode()->childCount(); ++i) {
        if (t.RootNode()->Child(i)->GetPath() == "/")
            rootVolume = t.RootNode()->Child(i);
    }
    ASSERT_NE(rootVolume, nullptr);
    t.ExpandNode(rootVolume);
    ASSERT_GT(rootVolume->childCount(), 0);
    rootVolume->setExpanded(false);

    t.DriveEvent(false, {"/"});
    EXPECT_EQ(rootVolume->childCount(), 0); // children go, the button stays
    EXPECT_TRUE(rootVolume->HasChildren());

    t.DriveEvent(true, {"/elsewhere"}); // another point: the volume is left alone
    EXPECT_TRUE(rootVolume->HasChildren());
}

TEST_F(ShellTreeViewTest, VolumeEventOnAVolumeRootReadsTheRootAgain) {
    TShellTreeView t;
    t.SetShowMessages(false);
    t.SetRootUsePIDL(false);
    t.SetRootDir("/");
    t.show();
    ASSERT_NE(t.RootNode(), nullptr);
    EXPECT_EQ(t.RootNode()->AbsoluteIdList().ItemCount(), 2u);
    const int reads = t.PopulateCount();
    t.DriveEvent(true, {"/media/not-the-root"});
    EXPECT_EQ(t.PopulateCount(), reads);
    t.DriveEvent(true, {"/"});
    EXPECT_EQ(t.PopulateCount(), reads + 1);
    EXPECT_TRUE(t.ShowMessages() == false);
}

TEST_F(ShellTreeViewTest, VirtualFoldersFollowTheirProperty) {
    auto virtualCount = [](const TShellNode* node) {
        int count = 0;
        for (int i = 0; i < node->childCount(); ++i) {
            if (!(node->Child(i)->ShellAttributes() & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
                ++count;
        }
        return count;
    };
    TShellTreeView t;
    t.SetShowMessages(false);
    t.SetShowVirtualFolders(false);
    t.show();
    ASSERT_NE(t.RootNode(), nullptr);
    EXPECT_EQ(t.RootNode()->AbsoluteIdList().ItemCount(), 0u); // the desktop
    EXPECT_EQ(virtualCount(t.RootNode()), 0);
    EXPECT_GT(t.RootNode()->childCount(), 0); // the computer at least
    t.SetShowVirtualFolders(true);
    EXPECT_GT(virtualCount(t.RootNode()), 0);
    // A virtual item has no path, so it never gets a monitor.
    for (int i = 0; i < t.RootNode()->childCount(); ++i) {
        TShellNode* node = t.RootNode()->Child(i);
        if (node->GetPath().isEmpty()) {
            EXPECT_EQ(node->Monitor(), nullptr);
        }
    }
}

TEST_F(ShellTreeViewTest, FolderIconsOpenWhenSelected) {
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    TShellNode* notes = ChildNamed(Root(), "notes.txt");
    EXPECT_GE(alpha->ImageIndex(), 0);
    EXPECT_NE(alpha->SelectedIndex(), -1);
    EXPECT_EQ(notes->SelectedIndex(), notes->ImageIndex());
    EXPECT_FALSE(alpha->icon(0).isNull());
    tree->SetShowIcons(false);
    EXPECT_TRUE(alpha->icon(0).isNull());
    tree->SetShowIcons(true);
    EXPECT_FALSE(alpha->icon(0).isNull());
}

TEST_F(ShellTreeViewTest, LinkOverlayFollowsItsProperty) {
    fs::create_symlink(temp.Path() / "notes.txt", temp.Path() / "link.txt");
    MakeTree(TF_FOLDERS | TF_NONFOLDERS);
    TShellNode* link = ChildNamed(Root(), "link.txt");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->HasAttributes(SFGAO_LINK));
    EXPECT_EQ(link->OverlayIndex(), OVERLAY_LINK);
    EXPECT_EQ(ChildNamed(Root(), "notes.txt")->OverlayIndex(), OVERLAY_NONE);
    tree->SetShowLinkOverlay(false); // read again, without the mark
    EXPECT_EQ(ChildNamed(Root(), "link.txt")->OverlayIndex(), OVERLAY_NONE);
    tree->SetShowLinkOverlay(true);
    EXPECT_EQ(ChildNamed(Root(), "link.txt")->OverlayIndex(), OVERLAY_LINK);
}

TEST_F(ShellTreeViewTest, RecursiveRefreshReadsOpenLevelsAndStalesTheRest) {
    MakeTree(TF_FOLDERS);
    TShellNode* alpha = ChildNamed(Root(), "alpha");
    tree->ExpandNode(alpha);
    TShellNode* gamma = ChildNamed(Root(), "gamma");
    gamma->SetPopulated(true);
    const int reads = tree->PopulateCount();
    fs::create_directory(temp.Path() / "alpha" / "second");
    tree->RefreshNode(Root(), true);
    EXPECT_EQ(tree->PopulateCount(), reads + 2); // the root and the open alpha
    EXPECT_NE(ChildNamed(alpha, "second"), nullptr);
    EXPECT_FALSE(gamma->Populated());
    EXPECT_EQ(ChildNamed(Root(), "alpha"), alpha); // nodes stay, with their state
    EXPECT_TRUE(alpha->isExpanded());

    // UpdAutoRec makes an expansion refresh the open levels below as well.
    tree->SetUpdAutoRec(true);
    Root()->setExpanded(false);
    const int before = tree->PopulateCount();
    tree->ExpandNode(Root());
    EXPECT_EQ(tree->PopulateCount(), before + 2);
}

TEST_F(ShellTreeViewTest, RootModesRebuildTheTree) {
    MakeTree(TF_FOLDERS);
    TShellNode* oldRoot = Root();
    tree->SetRootDir(Text(temp.Path() / "alpha"));
    EXPECT_NE(Root(), oldRoot);
    EXPECT_EQ(Root()->GetPath(), Text(temp.Path() / "alpha"));
    EXPECT_EQ(Captions(Root()), QStringList{"inner"});

    tree->SetRootUsePIDL(true); // the desktop
    EXPECT_EQ(Root()->AbsoluteIdList().ItemCount(), 0u);
    EXPECT_EQ(tree->RootDir(), Text(temp.Path() / "alpha")); // kept for later
    tree->SetRootPIDL(PIDL_DRIVES);
    EXPECT_EQ(Root()->AbsoluteIdList(), *SpecialFolderLocation(PIDL_DRIVES));
    tree->SetRootUsePIDL(false);
    EXPECT_EQ(Root()->GetPath(), Text(temp.Path() / "alpha"));
}

} // namespace
