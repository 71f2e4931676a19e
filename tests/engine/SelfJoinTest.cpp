#include "engine/SelfJoin.h"
#include "EngineTestSupport.h"
#include "engine/VarnSplit.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

// The stub is built into the same folder as the test programs.
std::string BuiltStub() {
    const char* binDir = std::getenv("VARN_BIN_DIR");
    if (binDir != nullptr && *binDir != '\0')
        return std::string(binDir) + "/varnstub.exe";
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "varnstub.exe")
        .string();
}

class StubLength : public ::testing::Test {
protected:
    TScopedXdgHome m_home;
    TTempFolder m_folder;
};

} // namespace

TEST_F(StubLength, OfTheBuiltStubIsItsFileSize) {
    const std::string stub = BuiltStub();
    ASSERT_TRUE(std::filesystem::exists(stub)) << stub;
    EXPECT_EQ(StubLengthOf(stub), static_cast<int64_t>(std::filesystem::file_size(stub)));
}

TEST_F(StubLength, IgnoresWhatFollowsTheImage) {
    const std::string image = ReadFileBytes(BuiltStub());
    const std::string piece = m_folder / "name.exe";
    WriteFileBytes(piece, image + "VRNv110\x1a" + PatternBytes(5000));
    EXPECT_EQ(StubLengthOf(piece), static_cast<int64_t>(image.size()));
}

TEST_F(StubLength, ZeroForAnythingButAWholeElfImage) {
    const std::string image = ReadFileBytes(BuiltStub());
    const std::string path = m_folder / "file";

    WriteFileBytes(path, "");
    EXPECT_EQ(StubLengthOf(path), 0);
    WriteFileBytes(path, "MZ" + PatternBytes(4000));
    EXPECT_EQ(StubLengthOf(path), 0);
    WriteFileBytes(path, image.substr(0, 40)); // header cut short
    EXPECT_EQ(StubLengthOf(path), 0);
    WriteFileBytes(path, image.substr(0, image.size() / 2)); // tables beyond the end
    EXPECT_EQ(StubLengthOf(path), 0);
    EXPECT_EQ(StubLengthOf(m_folder / "missing"), 0);

    std::string bigEndian = image;
    bigEndian[5] = 2;
    WriteFileBytes(path, bigEndian);
    EXPECT_EQ(StubLengthOf(path), 0);
}

TEST_F(StubLength, ReadsThirtyTwoBitImages) {
    const std::string path = m_folder / "elf32";
    WriteFileBytes(path, Elf32Image(300) + "tail");
    EXPECT_EQ(StubLengthOf(path), 300);

    std::string absurd = Elf32Image(300);
    PutLe(absurd, 52 + 16, 0xFFFFFF00u, 4); // segment far beyond the file
    WriteFileBytes(path, absurd);
    EXPECT_EQ(StubLengthOf(path), 0);

    std::string manyHeaders = Elf32Image(300);
    PutLe(manyHeaders, 44, 0xFFFF, 2); // program header table beyond the file
    WriteFileBytes(path, manyHeaders);
    EXPECT_EQ(StubLengthOf(path), 0);
}

TEST_F(StubLength, SelfJoiningSetUnitesThroughTheEngine) {
    const std::string stub = BuiltStub();
    const std::string source = m_folder / "data.bin";
    const int64_t stubSize = static_cast<int64_t>(std::filesystem::file_size(stub));
    const int64_t pieceSize = stubSize + 100000;
    // Piece 1 holds the stub, 38 header bytes and the first data; piece 2 is
    // full, piece 3 holds the last 5000 bytes.
    const std::string content =
        PatternBytes(static_cast<std::size_t>(100000 - 38 + pieceSize + 5000), 7);
    WriteFileBytes(source, content);
    std::filesystem::create_directory(m_folder.Path() / "set");
    const std::string firstPiece = (m_folder.Path() / "set" / "data.exe").string();

    TVarnSplit splitter;
    splitter.SetFileName(source);
    splitter.SetSplitFileName(firstPiece);
    splitter.SetSize(pieceSize);
    splitter.SetMakeSUB(true);
    splitter.SetStubFileName(stub);
    splitter.SetStubSize(stubSize);
    splitter.Split();
    ASSERT_TRUE(std::filesystem::exists(m_folder.Path() / "set" / "data.002"));
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "set" / "data.003"));
    EXPECT_EQ(std::filesystem::file_size(firstPiece), static_cast<std::uintmax_t>(pieceSize));
    EXPECT_EQ(std::filesystem::file_size(m_folder.Path() / "set" / "data.002"), 5000u);

    TVarnSplit uniter;
    uniter.SetStubSize(StubLengthOf(firstPiece));
    uniter.SetSplitFileName(firstPiece);
    const std::string united = m_folder / "united.bin";
    uniter.SetFileName(united);
    uniter.Unite();
    EXPECT_TRUE(ReadFileBytes(united) == content) << "the united file differs";
    EXPECT_EQ(uniter.OriginalExt(), ".bin");
}
