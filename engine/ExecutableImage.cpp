#include "engine/ExecutableImage.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr unsigned char ElfClass32 = 1;
constexpr unsigned char ElfClass64 = 2;
constexpr unsigned char ElfDataLittleEndian = 1;
constexpr uint32_t SectionTypeNull = 0; // the first entry; with many sections it holds their count
constexpr uint32_t SectionTypeNoBits = 8; // .bss and the like occupy no file bytes

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

// True when `length` bytes at `offset` lie inside the file; `end` is where they end.
bool RangeEnd(uint64_t offset, uint64_t length, uint64_t fileSize, uint64_t& end) {
    if (offset > fileSize || length > fileSize - offset)
        return false;
    end = offset + length;
    return true;
}

uint64_t ElfImageLength(const TImageReader& read, uint64_t fileSize) {
    unsigned char header[64] = {};
    if (fileSize < 16 || !read(0, header, 16))
        return 0;
    if (header[5] != ElfDataLittleEndian)
        return 0;
    const TElfLayout* layout = nullptr;
    if (header[4] == ElfClass32)
        layout = &Elf32Layout;
    else if (header[4] == ElfClass64)
        layout = &Elf64Layout;
    else
        return 0;
    if (fileSize < layout->headerSize || !read(0, header, layout->headerSize))
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
            !read(shOff, entryBytes, layout->sectionHeaderSize))
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
        if (!read(phOff + i * phEntSize, entryBytes, layout->programHeaderSize))
            return 0;
        const uint64_t offset = LittleEndian(entryBytes + layout->pOffsetField, word);
        const uint64_t fileBytes = LittleEndian(entryBytes + layout->pFileSizeField, word);
        if (!RangeEnd(offset, fileBytes, fileSize, end))
            return 0;
        length = std::max(length, end);
    }
    // Sections outside every segment (symbols, names of the sections) belong
    // to the image too; a linker may place them after the section table.
    for (uint64_t i = 0; i < shNum; ++i) {
        if (!read(shOff + i * shEntSize, entryBytes, layout->sectionHeaderSize))
            return 0;
        const uint64_t type = LittleEndian(entryBytes + layout->shTypeField, 4);
        if (type == SectionTypeNull || type == SectionTypeNoBits)
            continue;
        const uint64_t offset = LittleEndian(entryBytes + layout->shOffsetField, word);
        const uint64_t fileBytes = LittleEndian(entryBytes + layout->shSizeField, word);
        if (!RangeEnd(offset, fileBytes, fileSize, end))
            return 0;
        length = std::max(length, end);
    }
    return length;
}

// The parts of a Windows image that lie in the file: the DOS header points at
// the "PE" header, whose COFF part counts the sections and names the symbol
// table, and whose optional header gives the headers' size and the data
// directories (the certificate table is the one given by file offset).
constexpr uint64_t DosHeaderSize = 64;
constexpr uint64_t PeOffsetField = 0x3c;
constexpr uint64_t CoffHeaderSize = 20;
constexpr uint64_t SectionHeaderSize = 40;
constexpr uint64_t SymbolSize = 18;
constexpr uint64_t OptionalMagicPe32 = 0x10b;
constexpr uint64_t OptionalMagicPe32Plus = 0x20b;
constexpr uint64_t SizeOfHeadersField = 60;
constexpr uint64_t CertificateDirectory = 4;
// The Windows loader refuses images with more sections than this.
constexpr uint64_t MaxSections = 96;

uint64_t PeImageLength(const TImageReader& read, uint64_t fileSize) {
    unsigned char dos[DosHeaderSize] = {};
    if (fileSize < DosHeaderSize || !read(0, dos, DosHeaderSize))
        return 0;
    const uint64_t peOffset = LittleEndian(dos + PeOffsetField, 4);
    unsigned char coff[4 + CoffHeaderSize] = {};
    uint64_t end = 0;
    if (!RangeEnd(peOffset, sizeof coff, fileSize, end) || !read(peOffset, coff, sizeof coff) ||
        std::memcmp(coff, "PE\0\0", 4) != 0)
        return 0;
    const uint64_t sectionCount = LittleEndian(coff + 4 + 2, 2);
    const uint64_t symbolTable = LittleEndian(coff + 4 + 8, 4);
    const uint64_t symbolCount = LittleEndian(coff + 4 + 12, 4);
    const uint64_t optionalSize = LittleEndian(coff + 4 + 16, 2);
    if (sectionCount > MaxSections)
        return 0;

    const uint64_t optionalOffset = peOffset + sizeof coff;
    unsigned char optional[0xf0] = {}; // the PE32+ header with all 16 data directories
    if (optionalSize < SizeOfHeadersField + 4 || optionalSize > sizeof optional ||
        !RangeEnd(optionalOffset, optionalSize, fileSize, end) ||
        !read(optionalOffset, optional, optionalSize))
        return 0;
    const uint64_t magic = LittleEndian(optional, 2);
    uint64_t directoryCountField = 0;
    if (magic == OptionalMagicPe32)
        directoryCountField = 92;
    else if (magic == OptionalMagicPe32Plus)
        directoryCountField = 108;
    else
        return 0;
    uint64_t length = LittleEndian(optional + SizeOfHeadersField, 4);
    if (length > fileSize)
        return 0;
    length = std::max(length, end);

    if (directoryCountField + 4 <= optionalSize) {
        const uint64_t directories = LittleEndian(optional + directoryCountField, 4);
        const uint64_t entry = directoryCountField + 4 + CertificateDirectory * 8;
        if (directories > CertificateDirectory && entry + 8 <= optionalSize) {
            const uint64_t offset = LittleEndian(optional + entry, 4);
            const uint64_t size = LittleEndian(optional + entry + 4, 4);
            if (size != 0) {
                if (!RangeEnd(offset, size, fileSize, end))
                    return 0;
                length = std::max(length, end);
            }
        }
    }

    const uint64_t sectionTable = optionalOffset + optionalSize;
    if (!TableEnd(sectionTable, sectionCount, SectionHeaderSize, fileSize, end))
        return 0;
    length = std::max(length, end);
    for (uint64_t i = 0; i < sectionCount; ++i) {
        unsigned char section[SectionHeaderSize] = {};
        if (!read(sectionTable + i * SectionHeaderSize, section, SectionHeaderSize))
            return 0;
        const uint64_t rawSize = LittleEndian(section + 16, 4);
        const uint64_t rawOffset = LittleEndian(section + 20, 4);
        if (rawSize == 0)
            continue;
        if (!RangeEnd(rawOffset, rawSize, fileSize, end))
            return 0;
        length = std::max(length, end);
    }

    // COFF symbols are followed by their string table, whose first four bytes
    // give its length (themselves included).
    if (symbolTable != 0) {
        if (!TableEnd(symbolTable, symbolCount, SymbolSize, fileSize, end))
            return 0;
        const uint64_t strings = symbolTable + symbolCount * SymbolSize;
        unsigned char stringsSize[4] = {};
        if (RangeEnd(strings, 4, fileSize, end) && read(strings, stringsSize, 4)) {
            const uint64_t size = LittleEndian(stringsSize, 4);
            if (size >= 4 && !RangeEnd(strings, size, fileSize, end))
                return 0;
        }
        length = std::max(length, end);
    }
    return length;
}

} // namespace

uint64_t ExecutableImageLength(const TImageReader& read, uint64_t fileSize) {
    unsigned char magic[4] = {};
    if (fileSize < 4 || !read(0, magic, 4))
        return 0;
    if (std::memcmp(magic,
                    "\x7f"
                    "ELF",
                    4) == 0)
        return ElfImageLength(read, fileSize);
    if (magic[0] == 'M' && magic[1] == 'Z')
        return PeImageLength(read, fileSize);
    return 0;
}
