#pragma once

#include <QThread>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// Change-filter bits of a directory monitor, as the tree computes them from its
// options: names of non-folders, names of folders, attributes of any item.
enum : uint32_t {
    NOTIFY_FILE_NAME = 0x1,
    NOTIFY_DIR_NAME = 0x2,
    NOTIFY_ATTRIBUTES = 0x4,
};

// Watches one directory (never its subdirectories) on a thread of its own and
// hands each change to the user-interface thread, where `OnChange` runs; the
// thread does not look at the directory again until that call has finished.
class TDiscMonitorThread : public QThread {
    Q_OBJECT
public:
    // Created suspended: nothing is watched until `Resume`. `watchedNode` is
    // the caller's handle for the watched item and is never dereferenced here.
    TDiscMonitorThread(void* watchedNode, std::string directory, uint32_t notifyFilter,
                       QObject* parent = nullptr);
    // Stops the thread and waits for it; a change handed over but not yet run
    // is dropped with the object.
    ~TDiscMonitorThread() override;
    TDiscMonitorThread(const TDiscMonitorThread&) = delete;
    TDiscMonitorThread& operator=(const TDiscMonitorThread&) = delete;

    void Resume();

    void* WatchedNode() const { return m_watchedNode; }
    const std::string& Directory() const { return m_directory; }
    uint32_t NotifyFilter() const { return m_notifyFilter.load(); }
    // Stores the filter and, when the thread runs, makes it re-create its watch.
    void SetFilter(uint32_t filter);
    // The watch could not be created (or the directory went away); the thread
    // has then ended.
    bool Failed() const { return m_failed.load(); }
    // The filter the thread's current watch was created with; 0 before the
    // first watch exists.
    uint32_t AppliedFilter() const { return m_appliedFilter.load(); }
    // How many times the thread created its watch (1 + filter changes applied).
    int WatchCount() const { return m_watchCount.load(); }
    // Changes in the directory that met the filter so far, passed or not.
    int EventsSeen() const { return m_eventsSeen.load(); }
    // Changes handed to the user-interface thread, and those that have run.
    int HandOvers() const { return m_handOvers.load(); }
    int HandOversDone() const { return m_handOversDone.load(); }

    // Runs on the user-interface thread for every change the filter lets through.
    std::function<void()> OnChange;

    // Monitor threads of the whole process that are running now.
    static int RunningCount();

protected:
    void run() override;

private:
    void DeliverChange();

    void* m_watchedNode;
    std::string m_directory;
    std::atomic<uint32_t> m_notifyFilter;
    std::atomic<bool> m_failed{false};
    std::atomic<uint32_t> m_appliedFilter{0};
    std::atomic<int> m_watchCount{0};
    std::atomic<int> m_eventsSeen{0};
    std::atomic<int> m_handOvers{0};
    std::atomic<int> m_handOversDone{0};
    std::atomic<bool> m_watchGone{false};
    // eventfds: stop, filter change, "the user-interface thread has run the
    // change" and "the directory changed"; -1 when they could not be created.
    int m_stopEvent = -1;
    int m_filterEvent = -1;
    int m_doneEvent = -1;
    int m_changeEvent = -1;
};
