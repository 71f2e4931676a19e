// Writes the seed corpora the fuzz targets start from: MakeSeeds FOLDER makes
// FOLDER/signature, FOLDER/info_file, FOLDER/stub_header and FOLDER/checksum_file,
// then FOLDER/stamp.
// The seeds are small, well-formed examples of what each parser meets in real
// sets, so the fuzzer begins inside the interesting code instead of at the magic.

#include "engine/Signature.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

void PutLe(std::string& out, std::size_t at, uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TSignature Signature100() {
    TSignature signature;
    signature.version = TSignatureVersion::sv100;
    signature.flag = 0;
    signature.wholeFileSize = 2500;
    signature.blockCount = 3;
    signature.extension = ".dat";
    return signature;
}

TSignature Signature110() {
    TSignature signature;
    signature.wholeFileSize = 1048576;
    signature.attributes = 0x20;
    signature.creationTime = 0x5A216C3D; // packed DOS date-times
    signature.lastAccessTime = 0x5A210000;
    signature.lastWriteTime = 0x5A216C3D;
    signature.blockCount = 11;
    signature.extension = ".txt";
    signature.comment = "Звіт за рік";
    return signature;
}

// A small ELF executable of either class: one loadable segment over the headers
// and some code, a section table after it, and a symbol table past the section
// table, so the image ends with a section no segment holds. With
// `extendedCount` the section count sits in the first section header, as
// linkers write it for very many sections.
// A small Windows image: DOS header, "PE" header, a PE32 optional header with
// 16 data directories, and two sections after 0x200 bytes of headers.
std::string Pe32() {
    std::string pe(0x400, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    PutLe(pe, 0x3c, 0x40, 4);
    pe.replace(0x40, 4, std::string("PE\0\0", 4));
    PutLe(pe, 0x44, 0x14c, 2); // i386
    PutLe(pe, 0x46, 2, 2);     // sections
    PutLe(pe, 0x54, 224, 2);   // optional header size
    const std::size_t optional = 0x58;
    PutLe(pe, optional, 0x10b, 2);
    PutLe(pe, optional + 60, 0x200, 4);
    PutLe(pe, optional + 92, 16, 4);
    const std::size_t sections = optional + 224;
    for (std::size_t i = 0; i < 2; ++i) {
        PutLe(pe, sections + i * 40 + 16, 0x100, 4);
        PutLe(pe, sections + i * 40 + 20, 0x200 + i * 0x100, 4);
    }
    return pe;
}

std::string Elf(bool is64, bool extendedCount) {
    const std::size_t word = is64 ? 8 : 4;
    const std::size_t headerSize = is64 ? 64 : 52;
    const std::size_t programHeaderSize = is64 ? 56 : 32;
    const std::size_t sectionHeaderSize = is64 ? 64 : 40;
    const std::size_t codeOffset = headerSize + programHeaderSize;
    const std::size_t codeSize = 48;
    const std::size_t segmentEnd = codeOffset + codeSize;
    const std::size_t tableOffset = (segmentEnd + 7) / 8 * 8;
    const std::size_t sectionCount = 3;
    const std::size_t symbolsOffset = tableOffset + sectionCount * sectionHeaderSize;
    const std::size_t symbolsSize = is64 ? 24 : 16;

    std::string elf(symbolsOffset + symbolsSize, '\0');
    elf.replace(0, 4,
                "\x7f"
                "ELF");
    elf[4] = is64 ? 2 : 1; // class
    elf[5] = 1;            // little-endian
    elf[6] = 1;            // version
    PutLe(elf, 16, 2, 2);  // executable
    PutLe(elf, 18, is64 ? 0x3E : 0x03, 2);
    PutLe(elf, 20, 1, 4);
    const std::size_t fields = is64 ? 52 : 40; // e_ehsize and what follows it
    PutLe(elf, 24, 0x400000 + codeOffset, word);
    PutLe(elf, is64 ? 32 : 28, headerSize, word);
    PutLe(elf, is64 ? 40 : 32, tableOffset, word);
    PutLe(elf, fields, headerSize, 2);
    PutLe(elf, fields + 2, programHeaderSize, 2);
    PutLe(elf, fields + 4, 1, 2);
    PutLe(elf, fields + 6, sectionHeaderSize, 2);
    PutLe(elf, fields + 8, extendedCount ? 0 : sectionCount, 2);

    const std::size_t segment = headerSize;
    PutLe(elf, segment, 1, 4); // loadable
    if (is64) {
        PutLe(elf, segment + 4, 5, 4);
        PutLe(elf, segment + 16, 0x400000, 8);
        PutLe(elf, segment + 24, 0x400000, 8);
        PutLe(elf, segment + 32, segmentEnd, 8);
        PutLe(elf, segment + 40, segmentEnd, 8);
        PutLe(elf, segment + 48, 0x1000, 8);
    } else {
        PutLe(elf, segment + 8, 0x400000, 4);
        PutLe(elf, segment + 12, 0x400000, 4);
        PutLe(elf, segment + 16, segmentEnd, 4);
        PutLe(elf, segment + 20, segmentEnd, 4);
        PutLe(elf, segment + 24, 5, 4);
        PutLe(elf, segment + 28, 0x1000, 4);
    }
    for (std::size_t i = 0; i < codeSize; ++i)
        elf[codeOffset + i] = static_cast<char>(0x90);

    const std::size_t typeField = 4;
    const std::size_t offsetField = is64 ? 24 : 16;
    const std::size_t sizeField = is64 ? 32 : 20;
    if (extendedCount)
        PutLe(elf, tableOffset + sizeField, sectionCount, word);
    const std::size_t code = tableOffset + sectionHeaderSize;
    PutLe(elf, code + typeField, 1, 4); // program bits
    PutLe(elf, code + offsetField, codeOffset, word);
    PutLe(elf, code + sizeField, codeSize, word);
    const std::size_t symbols = code + sectionHeaderSize;
    PutLe(elf, symbols + typeField, 2, 4); // symbol table
    PutLe(elf, symbols + offsetField, symbolsOffset, word);
    PutLe(elf, symbols + sizeField, symbolsSize, word);
    PutLe(elf, symbols + (is64 ? 56 : 36), symbolsSize, word); // one empty symbol
    return elf;
}

std::string Data(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 37 + 11);
    return data;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path signatures = root / "signature";
    const fs::path infoFiles = root / "info_file";
    const fs::path stubs = root / "stub_header";
    const fs::path checksumFiles = root / "checksum_file";
    for (const fs::path& folder : {signatures, infoFiles, stubs, checksumFiles})
        fs::create_directories(folder);

    const TSignature v100 = Signature100();
    const TSignature v110 = Signature110();
    TSignature v100Long = v100;
    v100Long.extension = ".архів_із_довгим_розширенням"; // cut to 20 bytes when written
    TSignature v110Cp1251 = v110;
    v110Cp1251.extension = ".\xE4\xEE\xEA";                        // ".док" on Ukrainian Windows
    v110Cp1251.comment = "\xC7\xE2\xB3\xF2 \xE7\xE0 \xF0\xB3\xEA"; // "Звіт за рік"
    TSignature v110Empty;
    TSignature v110Long = v110;
    v110Long.extension.assign(Signature110MaxExtension, 'e');
    v110Long.comment.assign(600, 'c');

    Write(signatures / "v100", EncodeSignature(v100));
    Write(signatures / "v100_long_extension", EncodeSignature(v100Long));
    Write(signatures / "v110", EncodeSignature(v110));
    Write(signatures / "v110_cp1251", EncodeSignature(v110Cp1251));
    Write(signatures / "v110_empty", EncodeSignature(v110Empty));
    Write(signatures / "v110_long", EncodeSignature(v110Long));
    Write(signatures / "v110_with_data", EncodeSignature(v110) + Data(200));
    Write(signatures / "v100_with_data", EncodeSignature(v100) + Data(200));

    Write(infoFiles / "crlf", "dat\r\n3\r\n2500\r\n");
    const std::string digest = "8d570aba0b41481cf66d7856c1d9ed5d79f1f5b256d2b6621d0d0b29e7a99064";
    Write(checksumFiles / "set",
          digest + "  a.vrn\n" + digest + "  a.001\n" + digest + "  a.dat\n");
    Write(checksumFiles / "escaped", "\\" + digest + "  a\\\\b\\n.vrn\n" + digest + " *a.dat\r\n");
    Write(infoFiles / "lf", "dat\n3\n2500\n");
    Write(infoFiles / "blanks", " tar.gz\r\n +12 \r\n\t4096\t\r\n");
    Write(infoFiles / "cp1251_overflow", "\xE4\xEE\xEA\r\n2\r\n99999999999999999999\r\n");
    Write(infoFiles / "no_extension", "\r\n1\r\n0\r\n");
    Write(infoFiles / "extension_only", "zip");

    const std::string elf64 = Elf(true, false);
    const std::string elf32 = Elf(false, false);
    Write(stubs / "elf64", elf64);
    Write(stubs / "elf32", elf32);
    Write(stubs / "elf64_v110", elf64 + EncodeSignature(v110) + Data(64));
    Write(stubs / "elf64_extended_v100", Elf(true, true) + EncodeSignature(v100) + Data(64));
    Write(stubs / "elf32_v110_cp1251", elf32 + EncodeSignature(v110Cp1251) + Data(64));
    Write(stubs / "plain_v110", EncodeSignature(v110) + Data(64));
    Write(stubs / "pe32_v110", Pe32() + EncodeSignature(v110) + Data(64));

    // Written last, so the build sees the corpora as done only when all are there.
    Write(root / "stamp", "");
    return 0;
}
