#include "ShellTreeTestSupport.h"
#include "shell/DiscMonitorThread.h"
#include "shell/MountWatcher.h"
#include "support/EventLoopWait.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/mount.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A running monitor whose watch exists, so nothing done afterwards is missed.
std::unique_ptr<TDiscMonitorThread> StartedMonitor(const fs::path& folder, uint32_t filter,
                                                   int* calls) {
    auto monitor = std::make_unique<TDiscMonitorThread>(nullptr, folder.string(), filter);
    monitor->OnChange = [calls] { ++*calls; };
    monitor->Resume();
    EXPECT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1; }));
    return monitor;
}

class DiscMonitorTest : public ::testing::Test {
protected:
    TScopedXdgHome xdg;
    TTempFolder temp;
};

TEST_F(DiscMonitorTest, HandlerRunsOnTheInterfaceThreadStopsWithoutDeadlockAndScales) {
    const int running = TDiscMonitorThread::RunningCount();
    int calls = 0;
    Qt::HANDLE handlerThread = nullptr;
    auto monitor = std::make_unique<TDiscMonitorThread>(nullptr, temp.Path().string(), 6);
    monitor->OnChange = [&] {
        handlerThread = QThread::currentThreadId();
        // A change made by the handler causes one more call, which ends it.
        if (++calls == 1)
            WriteText(temp.Path() / "during.txt");
        else
            monitor.reset();
    };
    EXPECT_FALSE(monitor->isRunning()); // created suspended
    monitor->SetFilter(7);              // while suspended: used on resume
    monitor->Resume();
    ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1; }));
    EXPECT_EQ(monitor->AppliedFilter(), 7u);
    WriteText(temp.Path() / "first.txt");
    ASSERT_TRUE(WaitUntil([&] { return monitor == nullptr; }));
    EXPECT_EQ(std::tuple(calls, handlerThread, TDiscMonitorThread::RunningCount()),
              std::tuple(2, QCoreApplication::instance()->thread()->currentThreadId(), running));

    // Stopped while a hand-over waits, it drops the change without deadlock.
    calls = 0;
    monitor = StartedMonitor(temp.Path(), 7, &calls);
    WriteText(temp.Path() / "pending.txt");
    // Without the event loop the thread sits in the hand-over.
    ASSERT_TRUE(SpinUntil([&] { return monitor->HandOvers() == 1; }));
    monitor.reset(); // waits for the thread, which must give up the hand-over
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);

    // More folders than the user's 128 inotify instances must still work.
    constexpr int kCount = 200;
    std::vector<std::unique_ptr<TDiscMonitorThread>> monitors;
    std::vector<int> heard(kCount, 0);
    for (int i = 0; i < kCount; ++i) {
        const fs::path folder = temp.Path() / ("m" + std::to_string(i));
        fs::create_directory(folder);
        monitors.push_back(std::make_unique<TDiscMonitorThread>(nullptr, folder.string(), 7));
        monitors.back()->OnChange = [&heard, i] { ++heard[i]; };
        monitors.back()->Resume();
    }
    for (auto& monitor : monitors) {
        ASSERT_TRUE(WaitUntil([&] { return monitor->WatchCount() == 1 || monitor->Failed(); }));
        ASSERT_FALSE(monitor->Failed()) << monitor->Directory();
    }
    // Two monitors of one folder both hear of a change; each only of its own.
    auto twin = StartedMonitor(temp.Path() / "m7", 7, &heard[8]);
    WriteText(temp.Path() / "m7" / "x");
    WriteText(temp.Path() / ("m" + std::to_string(kCount - 1)) / "y");
    ASSERT_TRUE(
        WaitUntil([&] { return heard[7] >= 1 && heard[8] >= 1 && heard[kCount - 1] >= 1; }));
    EXPECT_EQ(heard[0], 0);
    // One of the two leaving does not blind the other.
    twin.reset();
    const int before = heard[7];
    WriteText(temp.Path() / "m7" / "z");
    ASSERT_TRUE(WaitUntil([&] { return heard[7] > before; }));
}

TEST_F(DiscMonitorTest, FilterBitsSelectChangesAndFailedWatchesEndQuietly) {
    // The tree's filter without files: a file causes no hand-over, a folder does.
    int calls = 0;
    auto monitor = StartedMonitor(temp.Path(), NOTIFY_DIR_NAME | NOTIFY_ATTRIBUTES, &calls);
    WriteText(temp.Path() / "file.bin");
    std::ofstream(temp.Path() / "file.bin", std::ios::app) << "more";
    ASSERT_TRUE(WaitUntil([&] { return monitor->EventsSeen() >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(std::pair(monitor->HandOvers(), calls), std::pair(0, 0));

    fs::create_directory(temp.Path() / "sub");
    ASSERT_TRUE(WaitUntil([&] { return calls == 1; }));

    // Attribute changes count for files too.
    const int before = calls;
    fs::permissions(temp.Path() / "file.bin", fs::perms::owner_read);
    ASSERT_TRUE(WaitUntil([&] { return calls > before; }));

    // File names only: a folder removed is ignored, a file removed is not.
    int fileCalls = 0;
    auto fileMonitor = StartedMonitor(temp.Path(), NOTIFY_FILE_NAME, &fileCalls);
    fs::remove(temp.Path() / "sub");
    ASSERT_TRUE(WaitUntil([&] { return fileMonitor->EventsSeen() >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(fileCalls, 0);
    fs::rename(temp.Path() / "file.bin", temp.Path() / "renamed.bin");
    ASSERT_TRUE(WaitUntil([&] { return fileCalls >= 1; }));

    // A new filter takes effect at once.
    fileMonitor->SetFilter(NOTIFY_DIR_NAME);
    ASSERT_TRUE(WaitUntil([&] { return fileMonitor->AppliedFilter() == NOTIFY_DIR_NAME; }));
    const int seen = fileCalls;
    fs::create_directory(temp.Path() / "now-seen");
    ASSERT_TRUE(WaitUntil([&] { return fileCalls > seen; }));

    // A watch that cannot be made, or whose folder goes, ends quietly.
    const int running = TDiscMonitorThread::RunningCount();
    WriteText(temp.Path() / "plain-file");
    fs::create_directory(temp.Path() / "gone");
    for (const char* name : {"missing", "plain-file", "gone"}) {
        SCOPED_TRACE(name);
        TDiscMonitorThread monitor(nullptr, (temp.Path() / name).string(), 7);
        int calls = 0;
        monitor.OnChange = [&] { ++calls; };
        monitor.Resume();
        if (fs::is_directory(temp.Path() / name)) {
            ASSERT_TRUE(WaitUntil([&] { return monitor.WatchCount() == 1; }));
            fs::remove(temp.Path() / name); // the folder goes while watched
        } else {
            EXPECT_TRUE(WaitUntil([&] { return monitor.isFinished(); }));
            EXPECT_EQ(monitor.WatchCount(), 0);
        }
        ASSERT_TRUE(WaitUntil([&] { return monitor.isFinished(); }));
        EXPECT_TRUE(monitor.Failed());
        monitor.SetFilter(3); // a failed monitor ignores filter changes
        EXPECT_EQ(calls, 0);
    }
    EXPECT_EQ(TDiscMonitorThread::RunningCount(), running);
}

TMountRecord Mount(std::string point, std::string source, std::string type = "ext4") {
    return {std::move(point), "/", std::move(type), std::move(source)};
}

// Drive events as raised: arrival or removal, and the points.
using TDriveEvents = std::vector<std::pair<bool, std::vector<std::string>>>;

std::string MountLine(int id, const std::string& point, const std::string& source) {
    return std::to_string(id) + " 1 8:" + std::to_string(id) + " / " + point +
           " rw,relatime shared:1 - ext4 " + source + " rw\n";
}

TEST(MountDiff, DiffRescanAndRealMountsReportRemovalsAndArrivals) {
    using TPoints = std::vector<std::string>;
    const std::vector<TMountRecord> before = {Mount("/", "/dev/sda1"),
                                              Mount("/media/usb", "/dev/sdb1", "vfat"),
                                              Mount("/mnt/cd", "/dev/sr0", "iso9660")};
    const std::vector<TMountRecord> after = {Mount("/", "/dev/sda1"),
                                             Mount("/mnt/cd", "/dev/sr0", "udf"),
                                             Mount("/media/other", "/dev/sdc1", "vfat")};
    std::vector<TMountRecord> stacked = before;
    stacked.push_back(Mount("/media/usb", "tmpfs", "tmpfs")); // mounted over
    using TTable = std::vector<TMountRecord>;
    // From, to, left, arrived. The CD's type changed: it left and arrived
    // again. Stacked mounts count by the top one, both ways.
    const std::tuple<const TTable&, const TTable&, TPoints, TPoints> cases[] = {
        {before, after, {"/media/usb", "/mnt/cd"}, {"/media/other", "/mnt/cd"}},
        {before, before, {}, {}},
        {before, stacked, {"/media/usb"}, {"/media/usb"}},
        {stacked, before, {"/media/usb"}, {"/media/usb"}},
    };
    for (const auto& [from, to, left, arrived] : cases) {
        const TMountChange change = DiffMounts(from, to);
        EXPECT_EQ(std::pair(change.left, change.arrived), std::pair(left, arrived));
    }

    // A watcher's rescan reports the diff of its table, removals first.
    TScopedXdgHome xdg;
    TTempFolder temp;
    const std::string table = temp / "mountinfo";
    const std::string root = MountLine(1, "/", "/dev/sda1");
    WriteFileBytes(table, root + MountLine(2, "/media/a", "/dev/sdb1"));
    auto watcher = std::make_unique<TMountWatcher>(nullptr, table);
    ASSERT_EQ(watcher->Mounts().size(), 2u);

    TDriveEvents events;
    const auto record = [&](bool arrival, const std::vector<std::string>& points) {
        events.emplace_back(arrival, points);
    };
    watcher->OnDriveEvent = record;
    watcher->Rescan(); // nothing changed
    EXPECT_TRUE(events.empty());
    WriteFileBytes(table, root + MountLine(3, "/media/b", "/dev/sdc1"));
    watcher->Rescan();
    EXPECT_EQ(events, (TDriveEvents{{false, {"/media/a"}}, {true, {"/media/b"}}}));

    // A handler may destroy the watcher: the arrival half is not raised then.
    watcher->OnDriveEvent = [&](bool arrival, const std::vector<std::string>& points) {
        record(arrival, points);
        watcher.reset();
    };
    WriteFileBytes(table, root + MountLine(4, "/media/c", "/dev/sdd1"));
    watcher->Rescan();
    EXPECT_EQ(events.size(), 3u);

    // A real mount raises both events; it needs the right to mount.
    const fs::path point = temp.Path() / "volume";
    fs::create_directory(point);
    TMountWatcher live;
    events.clear();
    live.OnDriveEvent = record;
    if (mount("varntest", point.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting is not permitted here";
    const bool arrived = WaitUntil([&] { return !events.empty(); });
    umount2(point.c_str(), MNT_DETACH);
    ASSERT_TRUE(arrived);
    ASSERT_TRUE(WaitUntil([&] { return events.size() >= 2; }));
    events.resize(2);
    EXPECT_EQ(events, (TDriveEvents{{true, {point.string()}}, {false, {point.string()}}}));
}

} // namespace
