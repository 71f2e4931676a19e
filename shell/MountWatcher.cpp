#include "shell/MountWatcher.h"

#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace {

// A mount point's identity: when the same point carries another device or file
// system afterwards, the medium changed.
std::string MountIdentity(const TMountRecord& mount) {
    return mount.source + '\n' + mount.fsType + '\n' + mount.root + '\n' +
           std::to_string(mount.major) + ':' + std::to_string(mount.minor);
}

// Each point with what is visible there: the last mount stacked on it.
std::map<std::string, std::string> TopMounts(const std::vector<TMountRecord>& mounts) {
    std::map<std::string, std::string> top;
    for (const auto& mount : mounts)
        top[mount.mountPoint] = MountIdentity(mount);
    return top;
}

} // namespace

TMountChange DiffMounts(const std::vector<TMountRecord>& before,
                        const std::vector<TMountRecord>& after) {
    const auto old = TopMounts(before);
    const auto now = TopMounts(after);
    TMountChange change;
    for (const auto& [point, identity] : old) {
        auto found = now.find(point);
        if (found == now.end() || found->second != identity)
            change.left.push_back(point);
    }
    for (const auto& [point, identity] : now) {
        auto found = old.find(point);
        if (found == old.end() || found->second != identity)
            change.arrived.push_back(point);
    }
    return change;
}

TMountWatcher::TMountWatcher(QObject* parent, std::string mountInfoPath)
    : QObject(parent), m_mountInfoPath(std::move(mountInfoPath)) {
    m_fd = open(m_mountInfoPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd >= 0) {
        // The kernel flags a changed mount table as an exceptional condition
        // (POLLPRI) on an open mountinfo file.
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { Rescan(); });
    }
    m_mounts = ReadTable();
}

TMountWatcher::~TMountWatcher() {
    if (m_notifier != nullptr)
        m_notifier->setEnabled(false);
    delete m_notifier; // before the descriptor it watches is closed
    m_notifier = nullptr;
    if (m_fd >= 0)
        close(m_fd);
}

std::vector<TMountRecord> TMountWatcher::ReadTable() {
    // Reading through the watched descriptor from its start also acknowledges
    // the change, so the notifier does not fire again for it.
    int fd = m_fd;
    bool own = false;
    if (fd < 0 || lseek(fd, 0, SEEK_SET) != 0) {
        fd = open(m_mountInfoPath.c_str(), O_RDONLY | O_CLOEXEC);
        own = true;
    }
    if (fd < 0)
        return m_mounts; // unreadable: nothing is known to have changed
    std::string text;
    char buffer[16384];
    bool complete = true;
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            complete = false;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<size_t>(got));
    }
    if (own)
        close(fd);
    // Half a table would report every mount after the break as removed.
    return complete ? ParseMountInfo(text) : m_mounts;
}

void TMountWatcher::Rescan() {
    auto table = ReadTable();
    TMountChange change = DiffMounts(m_mounts, table);
    m_mounts = std::move(table);
    QPointer<TMountWatcher> self(this);
    // A handler may destroy the watcher (its tree closing); stop then.
    if (!change.left.empty() && OnDriveEvent) {
        auto handler = OnDriveEvent;
        handler(false, change.left);
    }
    if (self && !change.arrived.empty() && OnDriveEvent) {
        auto handler = OnDriveEvent;
        handler(true, change.arrived);
    }
}
