#include "DiscMonitorThread.h"

#include <QPointer>

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>
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
bool WaitReadable(pollfd* fds, nfds_t count) {
    for (nfds_t i = 0; i < count; ++i)
        fds[i].revents = 0;
    for (;;) {
        if (poll(fds, count, -1) >= 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

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
      m_doneEvent(MakeEvent()) {
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

bool TDiscMonitorThread::DrainEvents(int inotifyFd, uint32_t filter, bool& watchGone) {
    bool relevant = false;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        ssize_t length = read(inotifyFd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return relevant; // EAGAIN: the queue is empty
        for (char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_IGNORED)
                watchGone = true;
            if (event->mask & IN_Q_OVERFLOW)
                relevant = true; // changes were lost, so re-read to be safe
            if (event->mask & kNameEvents) {
                const uint32_t bit = (event->mask & IN_ISDIR) ? NOTIFY_DIR_NAME : NOTIFY_FILE_NAME;
                if (filter & bit)
                    relevant = true;
            }
            if ((event->mask & IN_ATTRIB) && (filter & NOTIFY_ATTRIBUTES))
                relevant = true;
        }
    }
}

void TDiscMonitorThread::run() {
    TRunningGuard running;
    if (m_stopEvent < 0 || m_filterEvent < 0 || m_doneEvent < 0) {
        m_failed.store(true);
        return;
    }

    int inotifyFd = -1;
    uint32_t filter = 0;
    auto createWatch = [&] {
        CloseFd(inotifyFd);
        filter = m_notifyFilter.load();
        uint32_t mask = IN_ONLYDIR;
        if (filter & (NOTIFY_FILE_NAME | NOTIFY_DIR_NAME))
            mask |= kNameEvents;
        if (filter & NOTIFY_ATTRIBUTES)
            mask |= IN_ATTRIB;
        inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (inotifyFd < 0)
            return;
        if (inotify_add_watch(inotifyFd, m_directory.c_str(), mask) < 0) {
            CloseFd(inotifyFd);
            return;
        }
        m_appliedFilter.store(filter);
        ++m_watchCount;
    };

    createWatch();
    for (;;) {
        if (inotifyFd < 0) {
            m_failed.store(true);
            break;
        }
        pollfd fds[3] = {
            {m_stopEvent, POLLIN, 0}, {m_filterEvent, POLLIN, 0}, {inotifyFd, POLLIN, 0}};
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
        bool watchGone = false;
        const bool relevant = DrainEvents(inotifyFd, filter, watchGone);
        if (!relevant)
            ++m_batchesRead;
        if (relevant) {
            ++m_handOvers;
            // Hand the change over and wait until it has run, but keep
            // listening for the stop event: the user-interface thread may be
            // the one stopping us, and it will not run the change meanwhile.
            QMetaObject::invokeMethod(
                this, [this] { DeliverChange(); }, Qt::QueuedConnection);
            pollfd handOver[2] = {{m_stopEvent, POLLIN, 0}, {m_doneEvent, POLLIN, 0}};
            if (!WaitReadable(handOver, 2) || handOver[0].revents) {
                ResetEvent(m_stopEvent);
                break;
            }
            ResetEvent(m_doneEvent);
            ++m_batchesRead;
        }
        if (watchGone) {
            // The directory was deleted or its volume unmounted.
            m_failed.store(true);
            break;
        }
    }
    CloseFd(inotifyFd);
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
