#include "ShellTreeTestSupport.h"
#include "support/EventLoopWait.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 5;

// Keeps creating and deleting files and folders in the watched folders until
// told to stop.
class TChurn {
public:
    explicit TChurn(fs::path root) : m_root(std::move(root)), m_thread([this] { Run(); }) {}
    ~TChurn() {
        m_stop = true;
        m_thread.join();
    }
    int Changes() const { return m_changes.load(); }

private:
    void Run() {
        for (int n = 0; !m_stop; ++n) {
            const fs::path folder = m_root / ("d" + std::to_string(n % kFolders));
            const fs::path file = folder / ("w" + std::to_string(n % 7) + ".txt");
            const fs::path sub = folder / "s1" / ("x" + std::to_string(n % 3));
            std::error_code ignored;
            if (fs::exists(file, ignored))
                fs::remove(file, ignored);
            else
                std::ofstream(file) << n;
            if (n % 5 == 0) {
                if (!fs::create_directory(sub, ignored))
                    fs::remove(sub, ignored);
            }
            if (n % 11 == 0)
                std::ofstream(m_root / "top.txt") << n;
            ++m_changes;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    }

    fs::path m_root;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_changes{0};
    std::thread m_thread;
};

// True once every monitor of the tree has its watch or has given up (a
// folder the churn removed); the event loop runs meanwhile, delivering
// the changes handed over.
bool WatchesSettled(const TShellTreeView& tree) {
    for (TDiscMonitorThread* monitor : tree.Monitors()) {
        if (monitor->WatchCount() == 0 && !monitor->Failed())
            return false;
    }
    return true;
}

class TreeStressTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < kFolders; ++i) {
            const fs::path folder = temp.Path() / ("d" + std::to_string(i));
            fs::create_directories(folder / "s0");
            fs::create_directories(folder / "s1");
            std::ofstream(folder / "s0" / "inside.txt") << i;
        }
    }

    TScopedXdgHome xdg;
    TTempFolder temp;
};

TEST_F(TreeStressTest, ExpandCollapseAndDestroyWhileFilesChange) {
    const int running = TDiscMonitorThread::RunningCount();
    TChurn churn(temp.Path());
    for (int round = 0; round < 6; ++round) {
        auto tree = MakeShownTree(temp.Path(), TF_FOLDERS | TF_NONFOLDERS);
        for (int step = 0; step < 10; ++step) {
            TShellNode* folder =
                ChildNamed(tree->RootNode(), "d" + QString::number((round + step) % kFolders));
            ASSERT_NE(folder, nullptr);
            if (folder->isExpanded()) {
                folder->setExpanded(false);
            } else {
                tree->ExpandNode(folder);
                if (TShellNode* sub = ChildNamed(folder, "s1"))
                    tree->ExpandNode(sub);
            }
            if (step == 5)
                tree->SetOptions(round % 2 == 0 ? TVisOptions(TF_FOLDERS)
                                                : TF_FOLDERS | TF_NONFOLDERS);
            // Let the monitors hand over a few changes before the next step.
            const int changes = churn.Changes();
            ASSERT_TRUE(WaitUntil(
                [&] { return churn.Changes() >= changes + 20 && WatchesSettled(*tree); }));
        }
        // The tree still matches the disk where nothing changes.
        tree->ExpandNode(ChildNamed(tree->RootNode(), "d0"));
        EXPECT_NE(ChildNamed(ChildNamed(tree->RootNode(), "d0"), "s0"), nullptr);

        // The tree goes while the root's monitor waits for the user-interface
        // thread with a change left undelivered (its own or the churn's); a
        // new folder is a change whether files are listed or not.
        TDiscMonitorThread* rootMonitor = tree->RootNode()->Monitor();
        ASSERT_NE(rootMonitor, nullptr);
        fs::create_directory(temp.Path() / ("round" + std::to_string(round)));
        ASSERT_TRUE(
            SpinUntil([&] { return rootMonitor->HandOvers() > rootMonitor->HandOversDone(); }));
        tree.reset();
        EXPECT_EQ(TDiscMonitorThread::RunningCount(), running);
        QApplication::processEvents(); // nothing may be left to deliver
    }
}

TEST_F(TreeStressTest, TreeDeletedLaterFromItsOwnRefresh) {
    // A handler asks for the tree's deletion during an automatic refresh; the
    // refresh finishes on a whole tree and the deletion follows.
    const int running = TDiscMonitorThread::RunningCount();
    auto* tree = MakeShownTree(temp.Path(), TF_FOLDERS | TF_NONFOLDERS).release();
    QPointer<TShellTreeView> guard(tree);
    tree->ExpandNode(ChildNamed(tree->RootNode(), "d1"));
    ASSERT_TRUE(WaitUntil([&] { return WatchesSettled(*tree); }));
    tree->OnFileAdd = [tree](const QString& name, std::uint32_t, bool&) {
        if (name.endsWith("trigger.txt"))
            tree->deleteLater();
    };
    std::ofstream(temp.Path() / "d1" / "trigger.txt") << 1;
    ASSERT_TRUE(WaitUntil([&] { return guard.isNull(); }));
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running);
}

} // namespace
