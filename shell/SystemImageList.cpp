#include "shell/SystemImageList.h"

#include "platform/Mounts.h"
#include "shell/ShellNamespace.h"

#include <QApplication>
#include <QFile>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QStyle>

#include <sys/stat.h>

#include <stdexcept>

namespace {

// Mount points under these folders hold media that come and go.
bool IsRemovableMountPoint(const std::string& point) {
    for (const std::string media : {"/media/", "/run/media/"}) {
        if (point.rfind(media, 0) == 0)
            return true;
    }
    return false;
}

void DrawOverlay(QPainter& painter, int size, int overlay) {
    const int mark = std::max(7, size / 2);
    const QRect box(0, size - mark, mark, mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (overlay == OVERLAY_LINK) {
        // The shortcut arrow: a bent arrow pointing up and right.
        QPainterPath arrow;
        const qreal unit = mark / 7.0;
        arrow.moveTo(box.left() + 1.5 * unit, box.bottom() - 1.0 * unit);
        arrow.quadTo(box.left() + 1.5 * unit, box.top() + 2.5 * unit, box.left() + 4.5 * unit,
                     box.top() + 2.5 * unit);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, std::max(1.0, unit)));
        painter.drawPath(arrow);
        QPolygonF head;
        head << QPointF(box.left() + 4.0 * unit, box.top() + 1.0 * unit)
             << QPointF(box.left() + 6.0 * unit, box.top() + 2.5 * unit)
             << QPointF(box.left() + 4.0 * unit, box.top() + 4.0 * unit);
        painter.setBrush(Qt::black);
        painter.drawPolygon(head);
    } else {
        // The share mark: an open hand reduced to a filled palm.
        painter.setBrush(QColor(0x30, 0x60, 0xC0));
        painter.drawEllipse(box.adjusted(2, 2, -2, -2));
    }
}

} // namespace

TSystemImageList::TSystemImageList(QObject* parent) : QObject(parent) {}

TSystemImageList& TSystemImageList::Instance() {
    // Owned by the application object, so that every icon is gone before the
    // application that painted it.
    static QPointer<TSystemImageList> instance;
    if (instance.isNull()) {
        if (QCoreApplication::instance() == nullptr)
            throw std::logic_error("the system image list needs an application object");
        instance = new TSystemImageList(QCoreApplication::instance());
    }
    return *instance;
}

int TSystemImageList::IndexOfKey(const QString& key, const QString& themeName,
                                 const QString& genericName, int standardPixmap) {
    const auto found = m_indexByKey.constFind(key);
    if (found != m_indexByKey.constEnd())
        return found.value();
    QIcon icon = QIcon::fromTheme(themeName);
    if (icon.isNull() && !genericName.isEmpty())
        icon = QIcon::fromTheme(genericName);
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(
            static_cast<QStyle::StandardPixmap>(standardPixmap));
    const int index = static_cast<int>(m_icons.size());
    m_icons.append(icon);
    m_indexByKey.insert(key, index);
    return index;
}

int TSystemImageList::IconIndexOfPath(const QString& path, bool open) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return open ? IndexOfKey(QStringLiteral("folder-open"), QStringLiteral("folder-open"),
                                 QStringLiteral("folder"), QStyle::SP_DirOpenIcon)
                    : IndexOfKey(QStringLiteral("folder"), QStringLiteral("folder"), QString(),
                                 QStyle::SP_DirIcon);
    }
    // By name only: reading every file's first bytes would make a large
    // folder slow to show.
    static const QMimeDatabase mimeDatabase;
    const QMimeType type = mimeDatabase.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return IndexOfKey(QStringLiteral("mime:") + type.name(), type.iconName(),
                      type.genericIconName(), QStyle::SP_FileIcon);
}

int TSystemImageList::IconIndexOf(const TItemIdList& absolute, bool open) {
    ++m_lookupCount;
    if (absolute.IsNull() || absolute.ItemCount() == 0)
        return IndexOfKey(QStringLiteral("desktop"), QStringLiteral("user-desktop"), QString(),
                          QStyle::SP_DesktopIcon);
    const std::optional<TItemIdParts> last = SplitItemId(absolute.LastId());
    const TItemKind kind = last ? last->kind : ikEntry;
    switch (kind) {
    case ikComputer:
        return IndexOfKey(QStringLiteral("computer"), QStringLiteral("computer"), QString(),
                          QStyle::SP_ComputerIcon);
    case ikTrash:
        return IndexOfKey(QStringLiteral("trash"), QStringLiteral("user-trash"), QString(),
                          QStyle::SP_TrashIcon);
    case ikNetwork:
        return IndexOfKey(QStringLiteral("network"), QStringLiteral("network-workgroup"),
                          QStringLiteral("network-server"), QStyle::SP_DriveNetIcon);
    case ikHome:
        return IndexOfKey(QStringLiteral("home"), QStringLiteral("user-home"),
                          QStringLiteral("folder"), QStyle::SP_DirHomeIcon);
    case ikVolume: {
        const std::string point = last->name;
        std::string fsType;
        try {
            const std::vector<TMountRecord> mounts = ReadMountTable();
            if (const TMountRecord* mount = MountOf(mounts, point);
                mount && mount->mountPoint == point)
                fsType = mount->fsType;
        } catch (const std::exception&) {
            // Without the mount table the volume gets the plain disk icon.
        }
        if (fsType == "iso9660" || fsType == "udf")
            return IndexOfKey(QStringLiteral("optical"), QStringLiteral("media-optical"), QString(),
                              QStyle::SP_DriveCDIcon);
        if (fsType == "nfs" || fsType == "nfs4" || fsType == "cifs" || fsType == "smb3" ||
            fsType == "fuse.sshfs")
            return IndexOfKey(QStringLiteral("remote"), QStringLiteral("folder-remote"), QString(),
                              QStyle::SP_DriveNetIcon);
        if (IsRemovableMountPoint(point))
            return IndexOfKey(QStringLiteral("removable"), QStringLiteral("drive-removable-media"),
                              QStringLiteral("drive-harddisk"), QStyle::SP_DriveFDIcon);
        return IndexOfKey(QStringLiteral("harddisk"), QStringLiteral("drive-harddisk"), QString(),
                          QStyle::SP_DriveHDIcon);
    }
    case ikEntry:
        break;
    }
    return IconIndexOfPath(PathFromIdList(absolute), open);
}

QIcon TSystemImageList::Icon(int index) const {
    if (index < 0 || index >= m_icons.size())
        return QIcon();
    return m_icons.at(index);
}

QIcon TSystemImageList::IconWithOverlay(int index, int overlay) {
    if (overlay != OVERLAY_LINK && overlay != OVERLAY_SHARE)
        return Icon(index);
    if (index < 0 || index >= m_icons.size())
        return QIcon();
    const qint64 key = static_cast<qint64>(index) * 4 + overlay;
    const auto found = m_overlaid.constFind(key);
    if (found != m_overlaid.constEnd())
        return found.value();
    QIcon composed;
    for (const int size : {16, 22, 32}) {
        QPixmap pixmap = m_icons.at(index).pixmap(size, size);
        if (pixmap.isNull()) {
            pixmap = QPixmap(size, size);
            pixmap.fill(Qt::transparent);
        }
        QPainter painter(&pixmap);
        DrawOverlay(painter, size, overlay);
        painter.end();
        composed.addPixmap(pixmap);
    }
    m_overlaid.insert(key, composed);
    return composed;
}
