#include "engine/SelfJoin.h"

#include "engine/FileUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The stub compiles this file on its own, so it may use nothing but the
// standard library, POSIX and the engine's plain file helpers.

namespace {

constexpr unsigned char ElfClass32 = 1;
constexpr unsigned char ElfClass64 = 2;
constexpr unsigned char ElfDataLittleEndian = 1;
constexpr uint32_t SectionTypeNull = 0; // the first entry; with many sections it holds their count
constexpr uint32_t SectionTypeNoBits = 8; // .bss and the like occupy no file bytes

// Closes the descriptor on every way out.
class TReadOnlyFile {
public:
    explicit TReadOnlyFile(const std::string& path) : m_fd(OpenRegularFile(path)) {}
    ~TReadOnlyFile() {
        if (m_fd >= 0)
            close(m_fd);
    }
    TReadOnlyFile(const TReadOnlyFile&) = delete;
    TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    uint64_t Size() const {
        struct stat status {};
        if (fstat(m_fd, &status) != 0 || status.st_size < 0)
            return 0;
        return static_cast<uint64_t>(status.st_size);
    }
    // Reads exactly `length` bytes at `offset`; false on a short read.
    bool ReadAt(uint64_t offset, unsigned char* buffer, size_t length) const {
        size_t done = 0;
        while (done < length) {
            ssize_t got =
                pread(m_fd, buffer + done, length - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += static_cast<size_t>(got);
        }
        return true;
    }

private:
    int m_fd;
};

uint64_t LittleEndian(const unsigned char* bytes, size_t width) {
    uint64_t value = 0;
    for (size_t i = width; i > 0; --i)
        value = (value << 8) | bytes[i - 1];
    return value;
}

// The field offsets that differ between the two ELF classes.
struct TElfLayout {
    size_t headerSize;
    size_t wordSize; // width of offsets and sizes
    size_t phOffField, shOffField, ehSizeField;
    size_t programHeaderSize, pOffsetField, pFileSizeField;
    size_t sectionHeaderSize, shTypeField, shOffsetField, shSizeField;
};

constexpr TElfLayout Elf32Layout{52, 4, 28, 32, 40, 32, 4, 16, 40, 4, 16, 20};
constexpr TElfLayout Elf64Layout{64, 8, 32, 40, 52, 56, 8, 32, 64, 4, 24, 32};

// End of a table of `count` entries of `entrySize` bytes at `offset`, or
// nothing when it does not lie inside the file.
bool TableEnd(uint64_t offset, uint64_t count, uint64_t entrySize, uint64_t fileSize,
              uint64_t& end) {
    if (count == 0) {
        end = 0;
        return true;
    }
    if (offset > fileSize || entrySize > fileSize || count > fileSize / entrySize)
        return false;
    end = offset + count * entrySize;
    return end <= fileSize;
}

} // namespace

int64_t StubLengthOf(const std::string& path) {
    TReadOnlyFile file(path);
    if (!file.IsOpen())
        return 0;
    const uint64_t fileSize = file.Size();

    unsigned char header[64] = {};
    if (fileSize < 16 || !file.ReadAt(0, header, 16))
        return 0;
    if (std::memcmp(header,
                    "\x7f"
                    "ELF",
                    4) != 0 ||
        header[5] != ElfDataLittleEndian)
        return 0;
    const TElfLayout* layout = nullptr;
    if (header[4] == ElfClass32)
        layout = &Elf32Layout;
    else if (header[4] == ElfClass64)
        layout = &Elf64Layout;
    else
        return 0;
    if (fileSize < layout->headerSize || !file.ReadAt(0, header, layout->headerSize))
        return 0;

    const size_t word = layout->wordSize;
    const uint64_t phOff = LittleEndian(header + layout->phOffField, word);
    const uint64_t shOff = LittleEndian(header + layout->shOffField, word);
    const uint64_t ehSize = LittleEndian(header + layout->ehSizeField, 2);
    const uint64_t phEntSize = LittleEndian(header + layout->ehSizeField + 2, 2);
    const uint64_t phNum = LittleEndian(header + layout->ehSizeField + 4, 2);
    const uint64_t shEntSize = LittleEndian(header + layout->ehSizeField + 6, 2);
    uint64_t shNum = LittleEndian(header + layout->ehSizeField + 8, 2);

    if (ehSize < layout->headerSize || ehSize > fileSize)
        return 0;
    if ((phNum > 0 && phEntSize < layout->programHeaderSize) ||
        (shOff != 0 && shEntSize < layout->sectionHeaderSize))
        return 0;
    if (shOff == 0)
        shNum = 0;

    // With 0xff00 sections or more the real count sits in the first section
    // header's size field.
    std::string entry(std::max(layout->programHeaderSize, layout->sectionHeaderSize), '\0');
    auto* entryBytes = reinterpret_cast<unsigned char*>(entry.data());
    if (shOff != 0 && shNum == 0) {
        if (shOff > fileSize || fileSize - shOff < layout->sectionHeaderSize ||
            !file.ReadAt(shOff, entryBytes, layout->sectionHeaderSize))
            return 0;
        shNum = LittleEndian(entryBytes + layout->shSizeField, word);
    }

    uint64_t length = ehSize;
    uint64_t end = 0;
    if (!TableEnd(phOff, phNum, phEntSize, fileSize, end))
        return 0;
    length = std::max(length, end);
    if (!TableEnd(shOff, shNum, shEntSize, fileSize, end))
        return 0;
    length = std::max(length, end);

    for (uint64_t i = 0; i < phNum; ++i) {
        if (!file.ReadAt(phOff + i * phEntSize, entryBytes, layout->programHeaderSize))
            return 0;
        const uint64_t offset = LittleEndian(entryBytes + layout->pOffsetField, word);
        const uint64_t fileBytes = LittleEndian(entryBytes + layout->pFileSizeField, word);
        if (offset > fileSize || fileBytes > fileSize - offset)
            return 0;
        length = std::max(length, offset + fileBytes);
    }
    // Sections outside every segment (symbols, names of the sections) belong
    // to the image too; a linker may place them after the section table.
    for (uint64_t i = 0; i < shNum; ++i) {
        if (!file.ReadAt(shOff + i * shEntSize, entryBytes, layout->sectionHeaderSize))
            return 0;
        const uint64_t type = LittleEndian(entryBytes + layout->shTypeField, 4);
        if (type == SectionTypeNull || type == SectionTypeNoBits)
            continue;
        const uint64_t offset = LittleEndian(entryBytes + layout->shOffsetField, word);
        const uint64_t fileBytes = LittleEndian(entryBytes + layout->shSizeField, word);
        if (offset > fileSize || fileBytes > fileSize - offset)
            return 0;
        length = std::max(length, offset + fileBytes);
    }
    return static_cast<int64_t>(length);
}
