#include "shell/ShellNamespace.h"

#include "shell/ShellMasks.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

int SpecialFolderId(TPidls pidl) {
    // The published special-folder numbering; the gaps are folders this
    // program never roots a tree at.
    static constexpr int Ids[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21, -1};
    const int index = static_cast<int>(pidl);
    if (index < 0 || index >= static_cast<int>(std::size(Ids)))
        return -1;
    return Ids[index];
}

std::string MakeItemId(TItemKind kind, const std::string& name) {
    std::string payload(1, static_cast<char>(kind));
    payload += name;
    return payload;
}

std::optional<TItemIdParts> SplitItemId(const TItemIdList& list) {
    const std::uint8_t* id = list.Data();
    if (id == nullptr)
        return std::nullopt;
    const std::size_t size =
        static_cast<std::size_t>(id[0]) | (static_cast<std::size_t>(id[1]) << 8);
    if (size < 3)
        return std::nullopt; // the terminator, or an id without a kind byte
    const std::uint8_t kind = id[2];
    if (kind < ikComputer || kind > ikEntry)
        return std::nullopt;
    return TItemIdParts{static_cast<TItemKind>(kind),
                        std::string(reinterpret_cast<const char*>(id) + 3, size - 3)};
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString PathText(const std::string& bytes) {
    // QFile::decodeName's conversion (the local 8-bit encoding is UTF-8 for
    // Qt on Linux), without first copying the bytes or asking for the codec.
    return QString::fromUtf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString PathFromIdList(const TItemIdList& absolute) {
    if (absolute.IsNull() || absolute.ItemCount() == 0)
        return QString();
    const std::optional<QString> name =
        ShellDesktopFolder()->GetDisplayNameOf(absolute, SHGDN_FORPARSING);
    if (!name || !name->startsWith(u'/'))
        return QString();
    return *name;
}

std::optional<TItemIdList> ParsePathToIdList(const QString& path) {
    if (!path.startsWith(u'/'))
        return std::nullopt;
    return ShellDesktopFolder()->ParseDisplayName(path);
}

namespace {

std::optional<TItemIdList> ExistingFolder(const QString& path) {
    if (path.isEmpty() || !DirectoryExists(path))
        return std::nullopt;
    return ParsePathToIdList(QDir::cleanPath(path));
}

} // namespace

std::optional<TItemIdList> SpecialFolderLocation(TPidls pidl) {
    switch (pidl) {
    case PIDL_DESKTOP:
        return TItemIdList::Empty();
    case PIDL_DRIVES:
        return TItemIdList::FromId(MakeItemId(ikComputer));
    case PIDL_BITBUCKET:
        return TItemIdList::FromId(MakeItemId(ikTrash));
    case PIDL_NETWORK:
        return TItemIdList::FromId(MakeItemId(ikNetwork));
    case PIDL_PERSONAL: {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!documents.isEmpty() && QDir(documents) != QDir::home() && DirectoryExists(documents))
            return ExistingFolder(documents);
        return TItemIdList::FromId(MakeItemId(ikHome));
    }
    case PIDL_DESKTOPDIRECTORY:
        return ExistingFolder(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    case PIDL_TEMPLATES:
        return ExistingFolder(QStandardPaths::writableLocation(QStandardPaths::TemplatesLocation));
    case PIDL_FONTS:
        return ExistingFolder(QStandardPaths::writableLocation(QStandardPaths::FontsLocation));
    default:
        return std::nullopt;
    }
}

std::optional<TItemIdList> SpecialFolderLocation(int specialFolderId) {
    for (int value = PIDL_DESKTOP; value < PIDL_USERDEFINED; ++value) {
        if (SpecialFolderId(static_cast<TPidls>(value)) == specialFolderId)
            return SpecialFolderLocation(static_cast<TPidls>(value));
    }
    return std::nullopt;
}
