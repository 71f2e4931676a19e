#pragma once

#include "platform/Mounts.h"

#include <QObject>

#include <functional>
#include <set>
#include <string>
#include <vector>

class QSocketNotifier;

// The mount points that appeared and disappeared between two mount tables.
struct TMountChange {
    std::vector<std::string> arrived;
    std::vector<std::string> left;
};

// Mount points of `before` and `after` compared as sets (a point mounted twice
// counts once; a point whose mount was replaced by another counts as left and
// arrived again, like a medium changed in a drive).
TMountChange DiffMounts(const std::vector<TMountRecord>& before,
                        const std::vector<TMountRecord>& after);

// Tells the user-interface thread when volumes are mounted or unmounted, the
// way the system's device-change broadcast announces drive arrival and removal.
// It watches /proc/self/mountinfo for the kernel's priority event.
class TMountWatcher : public QObject {
    Q_OBJECT
public:
    // `mountInfoPath` exists for tests; a file that never raises the priority
    // event is only read again by `Rescan`.
    explicit TMountWatcher(QObject* parent = nullptr,
                           std::string mountInfoPath = "/proc/self/mountinfo");
    ~TMountWatcher() override;

    // Reads the table again and reports what changed since the last reading.
    void Rescan();
    // The mount table of the last reading.
    const std::vector<TMountRecord>& Mounts() const { return m_mounts; }

    // Raised once per reading with arrivals, once with removals (each only
    // when non-empty): `arrival` true for mounted points, false for removed.
    std::function<void(bool arrival, const std::vector<std::string>& mountPoints)> OnDriveEvent;

private:
    std::vector<TMountRecord> ReadTable();

    std::string m_mountInfoPath;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::vector<TMountRecord> m_mounts;
};
