#include "shell/ItemIdList.h"

#include <stdexcept>

namespace {

std::size_t CountAt(const std::uint8_t* id) {
    return static_cast<std::size_t>(id[0]) | (static_cast<std::size_t>(id[1]) << 8);
}

void PutCount(std::vector<std::uint8_t>& bytes, std::size_t count) {
    bytes.push_back(static_cast<std::uint8_t>(count & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((count >> 8) & 0xFF));
}

// The largest payload one id can carry: the count is 16 bits and counts itself.
constexpr std::size_t MaxPayload = 0xFFFF - 2;

} // namespace

std::size_t ItemCount(const std::uint8_t* list) {
    if (list == nullptr)
        return 0;
    std::size_t count = 0;
    for (std::size_t size = CountAt(list); size != 0; size = CountAt(list)) {
        ++count;
        list += size;
    }
    return count;
}

std::size_t TotalSize(const std::uint8_t* list) {
    if (list == nullptr)
        return 0;
    std::size_t total = 0;
    for (std::size_t size = CountAt(list); size != 0; size = CountAt(list)) {
        total += size;
        list += size;
    }
    return total;
}

const std::uint8_t* LastId(const std::uint8_t* list) {
    if (list == nullptr)
        return nullptr;
    const std::uint8_t* last = list;
    for (std::size_t size = CountAt(list); size != 0; size = CountAt(list)) {
        last = list;
        list += size;
    }
    return last;
}

bool RemoveLastId(std::uint8_t* list) {
    if (ItemCount(list) < 2)
        return false;
    std::uint8_t* last = const_cast<std::uint8_t*>(LastId(list));
    last[0] = 0;
    last[1] = 0;
    return true;
}

bool ItemIdsEqual(const std::uint8_t* a, const std::uint8_t* b) {
    if (a == nullptr || b == nullptr)
        return false;
    const std::size_t sizeA = CountAt(a);
    if (sizeA == 0 || sizeA != CountAt(b))
        return false;
    for (std::size_t i = 2; i < sizeA; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

bool IsWellFormedIdList(std::string_view bytes) {
    std::size_t offset = 0;
    while (true) {
        if (bytes.size() - offset < 2)
            return false;
        const std::size_t size =
            static_cast<std::uint8_t>(bytes[offset]) |
            (static_cast<std::size_t>(static_cast<std::uint8_t>(bytes[offset + 1])) << 8);
        if (size == 0)
            return offset + 2 == bytes.size();
        // A count of 1 would point into its own count bytes and never advance.
        if (size < 2 || size > bytes.size() - offset)
            return false;
        offset += size;
    }
}

TItemIdList TItemIdList::Empty() {
    TItemIdList list;
    list.m_bytes = {0, 0};
    return list;
}

TItemIdList TItemIdList::FromId(std::string_view payload) {
    return FromPayloads({&payload, 1});
}

TItemIdList TItemIdList::FromIds(const std::vector<std::string>& payloads) {
    const std::vector<std::string_view> views(payloads.begin(), payloads.end());
    return FromPayloads(views);
}

// Trees list thousands of ids at a time: the bytes are reserved once.
TItemIdList TItemIdList::FromPayloads(std::span<const std::string_view> payloads) {
    std::size_t total = 2;
    for (const std::string_view payload : payloads) {
        if (payload.size() > MaxPayload)
            throw std::length_error("item id longer than 65533 bytes");
        total += payload.size() + 2;
    }
    TItemIdList list;
    list.m_bytes.reserve(total);
    for (const std::string_view payload : payloads) {
        PutCount(list.m_bytes, payload.size() + 2);
        list.m_bytes.insert(list.m_bytes.end(), payload.begin(), payload.end());
    }
    PutCount(list.m_bytes, 0);
    return list;
}

TItemIdList TItemIdList::FromBytes(std::string_view bytes) {
    if (!IsWellFormedIdList(bytes))
        throw std::invalid_argument("malformed item-id list");
    TItemIdList list;
    list.m_bytes.assign(bytes.begin(), bytes.end());
    return list;
}

TItemIdList TItemIdList::Append(const TItemIdList& parentAbsolute, const TItemIdList& relative) {
    TItemIdList list;
    const std::size_t parentSize = parentAbsolute.TotalSize();
    const std::uint8_t* first = relative.Data();
    const std::size_t firstSize = first == nullptr ? 0 : CountAt(first);
    list.m_bytes.reserve(parentSize + firstSize + 2);
    if (parentSize > 0)
        list.m_bytes.assign(parentAbsolute.m_bytes.begin(),
                            parentAbsolute.m_bytes.begin() +
                                static_cast<std::ptrdiff_t>(parentSize));
    if (firstSize > 0)
        list.m_bytes.insert(list.m_bytes.end(), first, first + firstSize);
    PutCount(list.m_bytes, 0);
    return list;
}

TItemIdList TItemIdList::Concat(const TItemIdList& head, const TItemIdList& tail) {
    TItemIdList list;
    const std::size_t headSize = head.TotalSize();
    const std::size_t tailSize = tail.TotalSize();
    list.m_bytes.reserve(headSize + tailSize + 2);
    list.m_bytes.insert(list.m_bytes.end(), head.m_bytes.begin(),
                        head.m_bytes.begin() + static_cast<std::ptrdiff_t>(headSize));
    list.m_bytes.insert(list.m_bytes.end(), tail.m_bytes.begin(),
                        tail.m_bytes.begin() + static_cast<std::ptrdiff_t>(tailSize));
    PutCount(list.m_bytes, 0);
    return list;
}

TItemIdList TItemIdList::LastId() const {
    if (IsNull())
        return {};
    const std::uint8_t* last = ::LastId(Data());
    TItemIdList list;
    const std::size_t size = CountAt(last);
    list.m_bytes.reserve(size + 2);
    list.m_bytes.assign(last, last + size);
    PutCount(list.m_bytes, 0);
    return list;
}

TItemIdList TItemIdList::FirstId() const {
    if (IsNull())
        return {};
    TItemIdList list;
    const std::size_t size = CountAt(m_bytes.data());
    list.m_bytes.reserve(size + 2);
    list.m_bytes.assign(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(size));
    PutCount(list.m_bytes, 0);
    return list;
}

TItemIdList TItemIdList::WithoutFirstId() const {
    if (IsNull())
        return {};
    TItemIdList list;
    const std::size_t size = CountAt(m_bytes.data());
    if (size == 0)
        return Empty();
    list.m_bytes.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(size), m_bytes.end());
    return list;
}

bool TItemIdList::RemoveLastId() {
    if (!::RemoveLastId(m_bytes.empty() ? nullptr : m_bytes.data()))
        return false;
    m_bytes.resize(TotalSize() + 2);
    return true;
}

TItemIdList TItemIdList::Copy() const {
    TItemIdList list;
    const std::size_t size = TotalSize();
    list.m_bytes.reserve(size + 2);
    list.m_bytes.assign(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(size));
    PutCount(list.m_bytes, 0);
    return list;
}

std::vector<std::string_view> TItemIdList::Ids() const {
    std::vector<std::string_view> ids;
    const std::uint8_t* id = Data();
    if (id == nullptr)
        return ids;
    for (std::size_t size = CountAt(id); size != 0; size = CountAt(id)) {
        ids.emplace_back(reinterpret_cast<const char*>(id) + 2, size - 2);
        id += size;
    }
    return ids;
}
