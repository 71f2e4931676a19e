#pragma once

#include "shell/ItemIdList.h"
#include "shell/ShellFolder.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// Sort column and order of the files of a level.
enum TFileSortType { so_Name, so_Size, so_Type, so_Date };
enum TFileSortOrder { so_Ascending, so_Descending };

// An ordered list of file masks; an empty list lets every name pass.
using TMaskList = QStringList;

// True when the path exists and is a directory (symbolic links followed).
bool DirectoryExists(const QString& path);

// The deepest existing directory on an absolute path, or "" (relative or empty
// texts, nothing existing). A result reached by cutting the path back keeps its
// trailing "/"; an existing directory comes back unchanged.
QString NormalizePath(const QString& path);

// Builds the mask list of a FileMask text: trimmed (characters below 33), a
// blank text becomes "*.*", split at ";", empty pieces dropped.
TMaskList MaskListFromText(const QString& text);
// The masks joined by ";" (no blanks, no trailing separator; "" for none).
QString MaskListToText(const TMaskList& masks);

// Case-insensitive wildcard match of one name: "*" any run, "?" one character,
// "*.*" any name holding a dot; literals after a star match their first
// occurrence and the walk never backtracks.
bool MatchesMask(const QString& name, const QString& mask);
// An empty list matches every name; otherwise the first matching mask decides.
bool MatchesAnyMask(const QString& name, const TMaskList& masks);

// One item of a tree level as the level comparison needs it.
struct TLevelItem {
    const TItemIdList* relativeIdList = nullptr; // relative to the level's folder
    std::uint32_t attributes = 0;                // SFGAO_* bits of the item
};

// Orders two items of one level: -1, 0 or 1. Two files (file-system item, not a
// folder) compare by `sortType` in the folder's ascending order, and
// so_Ascending reverses that order while so_Descending keeps it; every other
// pair compares by name with folders first, whatever the settings.
int CompareLevelItems(const TShellFolder& parentFolder, const TLevelItem& a, const TLevelItem& b,
                      TFileSortOrder sortOrder, TFileSortType sortType);

// One item of a level with its keys read once (ShellFolder's SortKeyOf):
// `columnKey` is needed for files only, and only when files sort by another
// column than the name.
struct TLevelKeys {
    std::uint32_t attributes = 0;
    TSortKey nameKey;
    TSortKey columnKey;
};

// CompareLevelItems' answer for two items whose keys were read with the same
// sort type.
int CompareLevelKeys(const TLevelKeys& a, const TLevelKeys& b, TFileSortOrder sortOrder,
                     TFileSortType sortType);
