#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The bytes of an item-id list: a sequence of ids, each a 16-bit little-endian
// count (counting its own two bytes) followed by count - 2 opaque bytes, ended
// by a count of 0. The free functions work on such bytes in place; a null
// pointer stands for "no list".

// Number of ids before the terminator; 0 for a null list.
std::size_t ItemCount(const std::uint8_t* list);
// Sum of the ids' counts, terminator not included; 0 for a null list.
std::size_t TotalSize(const std::uint8_t* list);
// The last id of the list (the list itself when it has one id); for a list
// without ids, its terminator; nullptr for a null list.
const std::uint8_t* LastId(const std::uint8_t* list);
// Cuts the list after its next-to-last id; refuses (false) with fewer than 2 ids.
bool RemoveLastId(std::uint8_t* list);
// Two ids (the first id of each list) are equal when their counts are equal
// and every byte after the count is equal. Null or empty lists equal nothing.
bool ItemIdsEqual(const std::uint8_t* a, const std::uint8_t* b);
// True when `bytes` is exactly one well-formed list: every count is 0 or at
// least 2, no id runs past the end, and the terminator is the last two bytes.
bool IsWellFormedIdList(std::string_view bytes);

// An owned item-id list. A default-constructed list is null (no list at all);
// Empty() is the list of the desktop (a terminator alone). Copies are deep.
class TItemIdList {
public:
    TItemIdList() = default;

    // The desktop's list: the terminator alone.
    static TItemIdList Empty();
    // A list holding one id with the given payload (the bytes after the count).
    // Throws std::length_error when the payload does not fit a 16-bit count.
    static TItemIdList FromId(std::string_view payload);
    // A list of several ids, one payload each.
    static TItemIdList FromIds(const std::vector<std::string>& payloads);
    // Takes the raw bytes of a whole list (terminator included). Throws
    // std::invalid_argument when they are not one well-formed list.
    static TItemIdList FromBytes(std::string_view bytes);
    // The parent's absolute list followed by the first id of `relative`, in one
    // list with its terminator (a null or empty `relative` adds nothing).
    static TItemIdList Append(const TItemIdList& parentAbsolute, const TItemIdList& relative);
    // Every id of `tail` after every id of `head`.
    static TItemIdList Concat(const TItemIdList& head, const TItemIdList& tail);

    bool IsNull() const { return m_bytes.empty(); }
    // The raw bytes (terminator included); nullptr for a null list.
    const std::uint8_t* Data() const { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    // The raw bytes as a string (empty for a null list).
    std::string Bytes() const { return std::string(m_bytes.begin(), m_bytes.end()); }

    std::size_t ItemCount() const { return ::ItemCount(Data()); }
    std::size_t TotalSize() const { return ::TotalSize(Data()); }
    // A list of the last id alone; Empty() for a list without ids, null for null.
    TItemIdList LastId() const;
    // A list of the first id alone; Empty() for a list without ids, null for null.
    TItemIdList FirstId() const;
    // The list without its first id (null for null, Empty() when nothing remains).
    TItemIdList WithoutFirstId() const;
    // Cuts the list after its next-to-last id; refuses (false) with fewer than 2 ids.
    bool RemoveLastId();
    // The designed copy: total size + 2 bytes, so a null or empty list copies to
    // the terminator alone.
    TItemIdList Copy() const;
    // The payloads of the ids, in order (views into this list).
    std::vector<std::string_view> Ids() const;

    // Whole-list byte equality (two null lists are equal).
    bool operator==(const TItemIdList& other) const = default;

private:
    static TItemIdList FromPayloads(std::span<const std::string_view> payloads);
    std::vector<std::uint8_t> m_bytes;
};
