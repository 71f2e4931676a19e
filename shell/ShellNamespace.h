#pragma once

#include "shell/ItemIdList.h"
#include "shell/ShellFolder.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

// The special folders a tree may be rooted at, in their published order.
enum TPidls {
    PIDL_DESKTOP,
    PIDL_PROGRAMS,
    PIDL_CONTROLS,
    PIDL_PRINTERS,
    PIDL_PERSONAL,
    PIDL_FAVORITES,
    PIDL_STARTUP,
    PIDL_RECENT,
    PIDL_SENDTO,
    PIDL_BITBUCKET,
    PIDL_STARTMENU,
    PIDL_DESKTOPDIRECTORY,
    PIDL_DRIVES,
    PIDL_NETWORK,
    PIDL_NETHOOD,
    PIDL_FONTS,
    PIDL_TEMPLATES,
    PIDL_USERDEFINED
};

// The special-folder identifier of a TPidls value (PIDL_DRIVES is 17); -1 for
// PIDL_USERDEFINED, which has none.
int SpecialFolderId(TPidls pidl);

// The kind byte that opens every id of our namespace.
enum TItemKind : std::uint8_t {
    ikComputer = 1, // the drives folder, on the desktop
    ikVolume = 2,   // a mounted volume in Computer; name = its mount point
    ikHome = 3,     // the home folder, on the desktop
    ikTrash = 4,    // virtual
    ikNetwork = 5,  // virtual
    ikEntry = 6,    // a directory entry; name = its file name bytes
};

// Payload builders for the ids of our namespace (kind byte, then name bytes).
std::string MakeItemId(TItemKind kind, const std::string& name = std::string());
// The kind and name of a list's first id; nullopt for null, empty or foreign lists.
struct TItemIdParts {
    TItemKind kind;
    std::string name;
};
std::optional<TItemIdParts> SplitItemId(const TItemIdList& list);

// The root of the namespace (its list is the empty list). One shared object.
TShellFolderPtr ShellDesktopFolder();

// The absolute list of a special folder: PIDL_DESKTOP (empty list),
// PIDL_DRIVES (Computer), PIDL_BITBUCKET (Trash), PIDL_NETWORK (Network),
// PIDL_PERSONAL (the documents folder, else home), PIDL_DESKTOPDIRECTORY,
// PIDL_TEMPLATES and PIDL_FONTS when their folders exist; nullopt otherwise.
std::optional<TItemIdList> SpecialFolderLocation(TPidls pidl);
std::optional<TItemIdList> SpecialFolderLocation(int specialFolderId);

// The file-system path of an absolute list; "" for items without one (the
// desktop, Computer, Trash, Network) and for lists that are not ours.
QString PathFromIdList(const TItemIdList& absolute);

// Parses an absolute path through the desktop (Computer, the volume whose mount
// point is the longest prefix, one id per remaining component); nullopt when
// the text is not absolute or names nothing that exists.
std::optional<TItemIdList> ParsePathToIdList(const QString& path);

// Path text and file-system bytes (file names on Linux are bytes; the locale's
// file-name encoding maps them to text and back).
std::string PathBytes(const QString& path);
QString PathText(const std::string& bytes);
