#include "shell/DiscMonitorThread.h"

#include <QPointer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace {

std::atomic<int> s_runningCount{0};

int MakeEvent() {
    return eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

void SignalEvent(int fd) {
    if (fd < 0)
        return;
    const uint64_t one = 1;
    // The counter only overflows after 2^64 - 2 unread signals; a failed write
    // can therefore only mean the event is already signalled.
    [[maybe_unused]] ssize_t written = write(fd, &one, sizeof one);
}

// Auto-reset: one read consumes every signal given so far.
void ResetEvent(int fd) {
    uint64_t count = 0;
    [[maybe_unused]] ssize_t got = read(fd, &count, sizeof count);
}

void CloseFd(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// Waits for any of the descriptors to become readable; returns false only when
// poll itself fails for a reason other than a signal.
bool WaitReadable(pollfd* fds, nfds_t count, int timeoutMs = -1) {
    for (nfds_t i = 0; i < count; ++i)
        fds[i].revents = 0;
    for (;;) {
        if (poll(fds, count, timeoutMs) >= 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

// After a refresh, the next change waits a few times as long as that refresh
// took. A folder being filled with thousands of pieces would otherwise be
// re-listed after every one, keeping the user-interface thread busy for ever
// and the split waiting on it.
int PauseAfterRefreshMs(std::chrono::steady_clock::duration refresh) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(refresh).count();
    return static_cast<int>(std::clamp<long long>(ms * 4, 0, 2000));
}

constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

// The kernel's inotify instances are a small per-user budget (128 by default,
// shared with every program of the user), while a tree may watch hundreds of
// folders. So every monitor of the process shares one instance: a reader
// thread takes its events apart by watch and signals each monitor whose
// filter the event passes. The monitors keep their own threads, events and
// filters.
class TInotifyHub {
public:
    static TInotifyHub& Instance() {
        static TInotifyHub hub;
        return hub;
    }

    ~TInotifyHub() {
        SignalEvent(m_stopEvent);
        if (m_reader.joinable())
            m_reader.join();
        CloseFd(m_fd);
        CloseFd(m_stopEvent);
    }

    // Watches `directory` (not its subdirectories) for `subscriber`; -1 when
    // the watch cannot be created (missing, not a directory, no instance).
    int Subscribe(const std::string& directory, uint32_t filter, int changeEvent,
                  std::atomic<bool>* gone, std::atomic<int>* seen) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!StartLocked())
            return -1;
        // One mask for every subscriber of a directory, so that a second
        // subscriber never narrows what the first one sees.
        const int wd =
            inotify_add_watch(m_fd, directory.c_str(), kNameEvents | IN_ATTRIB | IN_ONLYDIR);
        if (wd < 0)
            return -1;
        const int id = m_nextId++;
        m_subscribers.emplace(id, TSubscriber{wd, filter, changeEvent, gone, seen});
        m_idsByWatch.emplace(wd, id);
        return id;
    }

    void Unsubscribe(int id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto found = m_subscribers.find(id);
        if (found == m_subscribers.end())
            return;
        const int wd = found->second.wd;
        m_subscribers.erase(found);
        if (wd < 0)
            return; // the kernel already dropped that watch
        auto range = m_idsByWatch.equal_range(wd);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == id) {
                m_idsByWatch.erase(it);
                break;
            }
        }
        if (m_idsByWatch.count(wd) == 0)
            inotify_rm_watch(m_fd, wd);
    }

private:
    struct TSubscriber {
        int wd;
        uint32_t filter;
        int changeEvent;
        std::atomic<bool>* gone;
        std::atomic<int>* seen;
    };

    TInotifyHub() = default;

    bool StartLocked() {
        if (m_fd >= 0)
            return true;
        if (m_stopEvent < 0)
            m_stopEvent = MakeEvent();
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd < 0 || m_stopEvent < 0) {
            CloseFd(m_fd);
            return false;
        }
        m_reader = std::thread([this] { Run(); });
        return true;
    }

    static bool Passes(uint32_t mask, uint32_t filter) {
        if (mask & IN_Q_OVERFLOW)
            return true; // changes were lost, so every level is read again
        if ((mask & kNameEvents) &&
            (filter & ((mask & IN_ISDIR) ? NOTIFY_DIR_NAME : NOTIFY_FILE_NAME)))
            return true;
        return (mask & IN_ATTRIB) && (filter & NOTIFY_ATTRIBUTES);
    }

    void Notify(TSubscriber& subscriber, uint32_t mask) {
        if (mask & IN_IGNORED) {
            subscriber.wd = -1;
            subscriber.gone->store(true);
            SignalEvent(subscriber.changeEvent);
        } else if (Passes(mask, subscriber.filter)) {
            SignalEvent(subscriber.changeEvent);
        }
        ++*subscriber.seen;
    }

    void Dispatch(const inotify_event& event) {
        if (event.mask & IN_Q_OVERFLOW) {
            for (auto& [id, subscriber] : m_subscribers)
                Notify(subscriber, event.mask);
            return;
        }
        auto range = m_idsByWatch.equal_range(event.wd);
        for (auto it = range.first; it != range.second; ++it) {
            auto found = m_subscribers.find(it->second);
            if (found != m_subscribers.end())
                Notify(found->second, event.mask);
        }
        if (event.mask & IN_IGNORED)
            m_idsByWatch.erase(event.wd);
    }

    void Run() {
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            pollfd fds[2] = {{m_stopEvent, POLLIN, 0}, {m_fd, POLLIN, 0}};
            if (!WaitReadable(fds, 2) || fds[0].revents)
                return;
            for (;;) {
                const ssize_t length = read(m_fd, buffer, sizeof buffer);
                if (length < 0 && errno == EINTR)
                    continue;
                if (length <= 0)
                    break; // EAGAIN: the queue is empty
                std::lock_guard<std::mutex> lock(m_mutex);
                for (char* at = buffer; at < buffer + length;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(at);
                    at += sizeof(inotify_event) + event->len;
                    Dispatch(*event);
                }
            }
        }
    }

    std::mutex m_mutex;
    int m_fd = -1;
    int m_stopEvent = -1;
    std::thread m_reader;
    std::unordered_map<int, TSubscriber> m_subscribers; // by subscription id
    std::unordered_multimap<int, int> m_idsByWatch;     // watch -> subscription ids
    int m_nextId = 1;
};

// Counts the running monitor threads for as long as `run` executes.
struct TRunningGuard {
    TRunningGuard() { ++s_runningCount; }
    ~TRunningGuard() { --s_runningCount; }
};

} // namespace

TDiscMonitorThread::TDiscMonitorThread(void* watchedNode, std::string directory,
                                       uint32_t notifyFilter, QObject* parent)
    : QThread(parent), m_watchedNode(watchedNode), m_directory(std::move(directory)),
      m_notifyFilter(notifyFilter), m_stopEvent(MakeEvent()), m_filterEvent(MakeEvent()),
      m_doneEvent(MakeEvent()), m_changeEvent(MakeEvent()) {
    // A tree may hold hundreds of monitors; each only polls, so a small stack
    // keeps their cost down.
    setStackSize(512 * 1024);
}

TDiscMonitorThread::~TDiscMonitorThread() {
    SignalEvent(m_stopEvent);
    // The thread never blocks on the user-interface thread without also
    // watching the stop event, so this wait cannot deadlock; a change it had
    // handed over and that has not run yet is removed with this object's
    // posted events.
    wait();
    CloseFd(m_stopEvent);
    CloseFd(m_filterEvent);
    CloseFd(m_doneEvent);
    CloseFd(m_changeEvent);
}

void TDiscMonitorThread::Resume() {
    if (!isRunning() && !isFinished())
        start();
}

void TDiscMonitorThread::SetFilter(uint32_t filter) {
    if (m_notifyFilter.load() == filter)
        return;
    m_notifyFilter.store(filter);
    if (isRunning())
        SignalEvent(m_filterEvent);
}

int TDiscMonitorThread::RunningCount() {
    return s_runningCount.load();
}

void TDiscMonitorThread::run() {
    TRunningGuard running;
    if (m_stopEvent < 0 || m_filterEvent < 0 || m_doneEvent < 0 || m_changeEvent < 0) {
        m_failed.store(true);
        return;
    }

    TInotifyHub& hub = TInotifyHub::Instance();
    int subscription = -1;
    auto createWatch = [&] {
        if (subscription >= 0)
            hub.Unsubscribe(subscription);
        const uint32_t filter = m_notifyFilter.load();
        subscription =
            hub.Subscribe(m_directory, filter, m_changeEvent, &m_watchGone, &m_eventsSeen);
        if (subscription < 0)
            return;
        m_appliedFilter.store(filter);
        ++m_watchCount;
    };

    createWatch();
    for (;;) {
        if (subscription < 0) {
            m_failed.store(true);
            break;
        }
        pollfd fds[3] = {
            {m_stopEvent, POLLIN, 0}, {m_filterEvent, POLLIN, 0}, {m_changeEvent, POLLIN, 0}};
        if (!WaitReadable(fds, 3)) {
            m_failed.store(true);
            break;
        }
        if (fds[0].revents) {
            ResetEvent(m_stopEvent);
            break;
        }
        if (fds[1].revents) {
            ResetEvent(m_filterEvent);
            createWatch();
            continue;
        }
        if (!fds[2].revents)
            continue;
        ResetEvent(m_changeEvent);
        if (m_watchGone.load()) {
            // The directory was deleted or its volume unmounted; the parent's
            // monitor sees that from its side.
            m_failed.store(true);
            break;
        }
        ++m_handOvers;
        // Hand the change over and wait until it has run, but keep listening
        // for the stop event: the user-interface thread may be the one
        // stopping us, and it will not run the change meanwhile. Changes that
        // arrive during the refresh stay signalled and cause one more.
        const auto handedOver = std::chrono::steady_clock::now();
        QMetaObject::invokeMethod(
            this, [this] { DeliverChange(); }, Qt::QueuedConnection);
        pollfd handOver[2] = {{m_stopEvent, POLLIN, 0}, {m_doneEvent, POLLIN, 0}};
        if (!WaitReadable(handOver, 2) || handOver[0].revents) {
            ResetEvent(m_stopEvent);
            break;
        }
        ResetEvent(m_doneEvent);
        ++m_handOversDone;
        pollfd pause[1] = {{m_stopEvent, POLLIN, 0}};
        const int pauseMs = PauseAfterRefreshMs(std::chrono::steady_clock::now() - handedOver);
        if (pauseMs > 0 && (!WaitReadable(pause, 1, pauseMs) || pause[0].revents)) {
            ResetEvent(m_stopEvent);
            break;
        }
    }
    if (subscription >= 0)
        hub.Unsubscribe(subscription);
}

void TDiscMonitorThread::DeliverChange() {
    QPointer<TDiscMonitorThread> self(this);
    // The handler may destroy this monitor (a refresh can delete its node), so
    // it runs from a copy and nothing of `this` is touched unless it survived.
    std::function<void()> handler = OnChange;
    if (handler)
        handler();
    if (self)
        SignalEvent(m_doneEvent);
}
