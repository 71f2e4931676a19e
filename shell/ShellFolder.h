#pragma once

#include "shell/ItemIdList.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Attribute bits of an item, as asked for with a request mask.
inline constexpr std::uint32_t SFGAO_CANRENAME = 0x00000010;
inline constexpr std::uint32_t SFGAO_HASPROPSHEET = 0x00000040;
inline constexpr std::uint32_t SFGAO_LINK = 0x00010000;
inline constexpr std::uint32_t SFGAO_SHARE = 0x00020000; // never set here
inline constexpr std::uint32_t SFGAO_HIDDEN = 0x00080000;
inline constexpr std::uint32_t SFGAO_VALIDATE = 0x01000000;
inline constexpr std::uint32_t SFGAO_FILESYSANCESTOR = 0x10000000;
inline constexpr std::uint32_t SFGAO_FOLDER = 0x20000000;
inline constexpr std::uint32_t SFGAO_FILESYSTEM = 0x40000000;
inline constexpr std::uint32_t SFGAO_HASSUBFOLDER = 0x80000000;
// The request mask the tree asks every item's attributes with.
inline constexpr std::uint32_t SFGAO_TREEREQUEST = 0xF60B0177;

// Enumeration flags of a level.
inline constexpr unsigned SHCONTF_FOLDERS = 0x20;
inline constexpr unsigned SHCONTF_NONFOLDERS = 0x40;
inline constexpr unsigned SHCONTF_INCLUDEHIDDEN = 0x80;

// Display name forms.
inline constexpr unsigned SHGDN_NORMAL = 0;
inline constexpr unsigned SHGDN_FORPARSING = 0x8000;

// Comparison columns.
inline constexpr int SHCOL_NAME = 0;
inline constexpr int SHCOL_SIZE = 1;
inline constexpr int SHCOL_TYPE = 2;
inline constexpr int SHCOL_DATE = 3;

// What orders one item of a folder by one comparison column, read once: two
// keys of one folder and column compare (CompareSortKeys) as CompareIDs
// compares their items. Sorting a level compares each item many times, and
// reading an item's facts for every comparison made large levels slow.
struct TSortKey {
    int group = 0;        // the folder's own ids before foreign ones
    int rank = 0;         // the kind of item
    bool file = false;    // folders before files
    long long first = 0;  // size (files) or modification seconds
    long long second = 0; // modification nanoseconds
    QString typeName;     // case-folded type name (the type column)
    QString foldedName;   // case-folded name
    std::string name;     // name bytes: names differing only in case
    std::string idBytes;  // the id itself: different items never tie
};

// Negative, 0 or positive, as CompareIDs answers for the two items.
int CompareSortKeys(const TSortKey& a, const TSortKey& b);

// One pass over a folder's items, handing out one relative list per call.
class TEnumIdList {
public:
    virtual ~TEnumIdList() = default;
    // Starts the pass again from the first item.
    virtual void Reset() = 0;
    // The next item's relative list; false at the end of the enumeration.
    virtual bool Next(TItemIdList& item) = 0;
};

// A folder of the namespace: lists its items, tells their attributes, names and
// order, binds child folders, renames and parses. Held by std::shared_ptr (the
// counted reference); every list argument is relative to this folder.
class TShellFolder {
public:
    virtual ~TShellFolder() = default;

    // The folder's own absolute list.
    virtual const TItemIdList& AbsoluteIdList() const = 0;

    // The items selected by SHCONTF_* flags; nullptr when the folder cannot be
    // read (it vanished, or has no permission).
    virtual std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) const = 0;

    // The folder object of a child (the list may hold several ids: each one is
    // bound in turn); nullptr for non-folders, missing items and bad lists.
    virtual std::shared_ptr<TShellFolder> BindToObject(const TItemIdList& relative) const = 0;

    // The attribute bits of one item masked by `request` (SFGAO_*); nullopt when
    // the item does not exist or the list is not one of this folder's.
    virtual std::optional<std::uint32_t> GetAttributesOf(const TItemIdList& relative,
                                                         std::uint32_t request) const = 0;

    // Ascending order of two items by column 0..3: negative, 0 or positive.
    // Folders come before files; ties of a column fall back to the name; two
    // different items never compare equal (column 0 ignores case only while
    // the names differ in more than case).
    virtual int CompareIDs(int column, const TItemIdList& a, const TItemIdList& b) const = 0;
    // The key of one item of this folder (a single id) for column 0..3;
    // nullopt where the folder orders its items through CompareIDs alone.
    virtual std::optional<TSortKey> SortKeyOf(int /*column*/, const TItemIdList& /*id*/) const {
        return std::nullopt;
    }

    // The item's name in SHGDN_NORMAL form (its caption) or SHGDN_FORPARSING
    // form (its full path, or a "::" name for virtual items); nullopt when
    // the list is not one of this folder's.
    virtual std::optional<QString> GetDisplayNameOf(const TItemIdList& relative,
                                                    unsigned flags) const = 0;

    // Renames the item; the new relative list, or nullopt with `error` (when
    // given) holding the reason. Never replaces an existing item.
    virtual std::optional<TItemIdList> SetNameOf(const TItemIdList& relative,
                                                 const QString& newName, unsigned flags,
                                                 QString* error = nullptr) const = 0;

    // Parses a path (absolute, or relative to this folder) into a list relative
    // to this folder; nullopt when it names no existing item of this folder.
    // With `attributes`, its bits on entry are the request and on return the
    // item's attributes.
    virtual std::optional<TItemIdList>
    ParseDisplayName(const QString& text, std::uint32_t* attributes = nullptr) const = 0;

    // Drops cached knowledge (the validate request); the namespace reads the
    // file system each time, so this is only a hook.
    virtual void Revalidate() const {}
};

using TShellFolderPtr = std::shared_ptr<TShellFolder>;
