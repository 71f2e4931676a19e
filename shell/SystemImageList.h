#pragma once

#include "shell/ItemIdList.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QVector>

// Overlays a tree node may carry on its icon.
inline constexpr int OVERLAY_NONE = -1;
inline constexpr int OVERLAY_SHARE = 0;
inline constexpr int OVERLAY_LINK = 1;

// The one image list of item icons in the process: icons from the desktop
// theme by MIME type (Qt's standard icons when the theme has none), each kept
// at a stable index for the life of the application. UI thread only.
class TSystemImageList : public QObject {
    Q_OBJECT
public:
    // The list; created on first use as a child of the application object.
    static TSystemImageList& Instance();

    // Icon index of an item by its absolute list; `open` asks for the open
    // folder icon of a folder (files and virtual items answer their usual icon).
    int IconIndexOf(const TItemIdList& absolute, bool open = false);
    // Icon index of a path in the file system (what IconIndexOf uses for files).
    int IconIndexOfPath(const QString& path, bool open = false);

    int Count() const { return m_icons.size(); }
    // How many items' icons were looked up so far (IconIndexOf calls).
    int LookupCount() const { return m_lookupCount; }
    // The icon at an index; a null icon for an index out of range.
    QIcon Icon(int index) const;
    // The icon at an index with an overlay (OVERLAY_SHARE, OVERLAY_LINK) drawn
    // into its lower left corner; OVERLAY_NONE gives Icon(index).
    QIcon IconWithOverlay(int index, int overlay);

private:
    explicit TSystemImageList(QObject* parent);
    int IndexOfKey(const QString& key, const QString& themeName, const QString& genericName,
                   int standardPixmap);

    QVector<QIcon> m_icons;
    QHash<QString, int> m_indexByKey;
    QHash<qint64, QIcon> m_overlaid;
    int m_lookupCount = 0;
};
