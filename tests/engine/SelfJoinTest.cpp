#include "engine/SelfJoin.h"
#include "EngineTestSupport.h"

using StubLength = TEngineFolderTest;

namespace {

// The least Windows image: DOS header, "PE" header, a PE32 optional header with
// 16 data directories, and one section of 0x100 bytes at 0x200 (0x300 in all).
constexpr std::size_t PeOptional = 64 + 24;
constexpr std::size_t PeSectionTable = PeOptional + 224;

std::string PeImage() {
    std::string image(0x300, '\0');
    image.replace(0, 2, "MZ");
    PutLe(image, 0x3c, 64, 4);
    image.replace(64, 2, "PE");              // followed by two zeros
    PutLe(image, 68, 0x14c, 2);              // i386
    PutLe(image, 70, 1, 2);                  // one section
    PutLe(image, 84, 224, 2);                // optional header size
    PutLe(image, PeOptional, 0x10b, 2);      // PE32
    PutLe(image, PeOptional + 60, 0x200, 4); // SizeOfHeaders
    PutLe(image, PeOptional + 92, 16, 4);    // data directories
    PutLe(image, PeSectionTable + 16, 0x100, 4);
    PutLe(image, PeSectionTable + 20, 0x200, 4);
    return image;
}

// `bytes` with `value` written at `offset`.
std::string Patched(std::string bytes, std::size_t offset, uint64_t value, std::size_t width) {
    PutLe(bytes, offset, value, width);
    return bytes;
}

} // namespace

// A Linux image ends with its last segment, a Windows image with its last
// section or certificate table; a file that is neither, whole, has no length.
TEST_F(StubLength, ReadsImagesFromTheirHeadersOnly) {
    const std::string image = ReadFileBytes(BuiltStub());
    constexpr std::size_t certificateEntry = PeOptional + 96 + 4 * 8;
    const std::string certified =
        Patched(Patched(PeImage() + std::string(100, 'c'), certificateEntry, 0x300, 4),
                certificateEntry + 4, 100, 4);
    const struct {
        const char* what;
        std::string bytes;
        int64_t length;
    } cases[] = {
        {"signature after it", image + "VRNv110\x1a" + PatternBytes(5000),
         static_cast<int64_t>(image.size())},
        {"32-bit image", Elf32Image(300) + "tail", 300},
        {"empty", "", 0},
        {"DOS image", "MZ" + PatternBytes(4000), 0},
        {"header cut short", image.substr(0, 40), 0},
        {"tables beyond the end", image.substr(0, image.size() / 2), 0},
        {"big-endian", Patched(image, 5, 2, 1), 0},
        {"segment beyond the end", Patched(Elf32Image(300), 52 + 16, 0xFFFFFF00u, 4), 0},
        {"program headers beyond the end", Patched(Elf32Image(300), 44, 0xFFFF, 2), 0},
        {"Windows image", PeImage(), 0x300},
        {"Windows image, signature after it", PeImage() + "VRNv110\x1a" + PatternBytes(3000),
         0x300},
        {"certificate table", certified, 0x300 + 100},
        {"certificate beyond the end", certified.substr(0, 0x330), 0},
        {"Windows image cut short", PeImage().substr(0, 0x2ff), 0},
        {"section beyond the end", Patched(PeImage(), PeSectionTable + 20, 0xFFFFFF00u, 4), 0},
        {"PE header beyond the end", Patched(PeImage(), 0x3c, 0x7FFFFFF0u, 4), 0},
        {"more sections than Windows loads", Patched(PeImage() + std::string(4000, 0), 70, 97, 2),
         0},
        {"no PE signature", Patched(PeImage(), 65, 'X', 1), 0},
        {"DOS header only", PeImage().substr(0, 40), 0},
    };
    const std::string path = folder / "file";
    for (const auto& c : cases) {
        WriteFileBytes(path, c.bytes);
        EXPECT_EQ(StubLengthOf(path), c.length) << c.what;
    }
    EXPECT_EQ(StubLengthOf(folder / "missing"), 0);
}
