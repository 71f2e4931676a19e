// The checksum file a split writes, checked against GNU sha256sum itself, and
// what a unite and a verify make of a damaged set.
#include "EngineTestSupport.h"
#include "engine/ChecksumFile.h"
#include "support/ShellRun.h"

namespace {

void FlipByte(const std::string& path, std::size_t at) {
    std::string bytes = ReadFileBytes(path);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    WriteFileBytes(path, bytes);
}

class ChecksumTest : public TEngineFolderTest {
protected:
    // Every name in the folder with its bytes.
    std::vector<std::string> Snapshot() {
        std::vector<std::string> files;
        for (const std::string& name : FolderNames(folder.Path()))
            files.push_back(name + ": " + ReadFileBytes(folder / name));
        return files;
    }

    // A fresh folder holding only a set of five pieces and its checksum file.
    std::vector<std::string> SetOfFive() {
        ClearFolder(folder);
        MakeWhole("whole.bin", 4 * 1000 + 500, 3);
        return PiecesFrom(smNormal, SplitSet(folder, smNormal, "whole.bin", 1000));
    }
};

} // namespace

TEST_F(ChecksumTest, FileIsWhatSha256sumPrintsAndReads) {
    // A backslash in a name makes sha256sum escape the line.
    for (const char* name : {"whole.bin", "we\\ird.bin"})
        for (TSplitMode mode : {smNormal, smVersion10, smDOS, smWinSplit, smSelfJoining}) {
            SCOPED_TRACE(std::to_string(mode) + " " + name);
            ClearFolder(folder);
            MakeWhole(name, 2500, 7);
            const std::vector<std::string> pieces =
                PiecesFrom(mode, SplitSet(folder, mode, name, 1000));
            ASSERT_GE(pieces.size(), 3u);
            std::string command = "cd '" + folder.Path().string() + "' && sha256sum";
            for (const std::string& piece : pieces)
                command += " '" + FileNamePart(piece) + "'";
            // Every mode's unite (or batch file) rebuilds the file under its own name.
            const TShellRun run = RunShell(command + " '" + name + "' 2>/dev/null");
            ASSERT_EQ(run.status, 0);
            EXPECT_EQ(ReadFileBytes(ChecksumFilePathFor(pieces.front())), run.output);
        }

    // What sha256sum writes is read back; other lines are refused (no names).
    const std::string digest(64, 'a');
    const struct {
        std::string text;
        std::vector<std::string> names;
    } lines[] = {
        {digest + "  a.vrn\n" + digest + "  a.dat\n", {"a.vrn", "a.dat"}},
        {digest + " *a b\r\n\n# note\n", {"a b"}},
        {"\\" + digest + "  x\\\\y\\nz\\r\n", {"x\\y\nz\r"}},
        {std::string(64, 'A') + "  up\n", {"up"}},
        {digest + " a.vrn\n", {}},
        {std::string(63, 'a') + "g  a\n", {}},
        {"\\" + digest + "  bad\\q\n", {}},
        {digest + "  \n", {}},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.text);
        const auto entries = ParseChecksumFileText(line.text);
        ASSERT_EQ(entries.has_value(), !line.names.empty());
        if (!entries)
            continue;
        std::vector<std::string> names;
        for (const TChecksumEntry& entry : *entries) {
            names.push_back(entry.name);
            // Written back, every entry reads as itself.
            EXPECT_EQ(ParseChecksumFileText(ChecksumLine(entry))->front().name, entry.name);
        }
        EXPECT_EQ(names, line.names);
    }
}

// A unite checks every piece and the whole file against the checksum file, and
// refuses a checksum file that is damaged or lists another set. A flipped byte
// is named before a later piece cut short is noticed; a failed unite leaves
// the folder as it was, every piece included, even with DelAfterUnite. Verify,
// run first on each set, writes nothing and tells each piece's state as a
// letter: Good, Present (no checksum to compare), Damaged, Wrong size, Missing;
// it refuses a damaged checksum file as the unite does (no letters).
TEST_F(ChecksumTest, UniteAndVerifyCheckThePiecesTheWholeFileAndTheChecksumFile) {
    enum TSums { sIntact, sNone, sWholeDiffers, sGarbage, sFewerPieces };
    using enum TEngineFault;
    const struct {
        const char* label;
        TSums sums;
        std::optional<std::size_t> flipped, cutShort, removed;
        std::optional<TEngineFault> fault;
        const char* states;
    } cases[] = {
        {"intact", sIntact, {}, {}, {}, std::nullopt, "GGGGG"},
        {"no checksum file", sNone, {}, {}, {}, std::nullopt, "PPPPP"},
        {"whole differs", sWholeDiffers, {}, {}, {}, efWholeChecksumMismatch, "GGGGG"},
        {"garbage", sGarbage, {}, {}, {}, efChecksumFileDamaged, ""},
        {"another set's", sFewerPieces, {}, {}, {}, efChecksumFileDamaged, ""},
        {"piece 1 flipped", sIntact, 0, {}, {}, efChecksumMismatch, "DGGGG"},
        {"piece 3 flipped", sIntact, 2, {}, {}, efChecksumMismatch, "GGDGG"},
        {"piece 5 flipped", sIntact, 4, {}, {}, efChecksumMismatch, "GGGGD"},
        {"piece 2 flipped, 4 cut short", sIntact, 1, 3, {}, efChecksumMismatch, "GDGWG"},
        {"piece 2 missing", sIntact, {}, {}, 1, efIncompleteSet, "GMGGG"},
        {"no checksums, last missing", sNone, {}, {}, 4, efIncompleteSet, "PPPPM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::vector<std::string> pieces = SetOfFive();
        const std::string original = ReadFileBytes(folder / "whole.bin");
        std::filesystem::remove(folder / "whole.bin");
        std::string sums = ReadFileBytes(folder / "whole.sha256");
        if (c.sums == sNone) {
            std::filesystem::remove(folder / "whole.sha256");
        } else if (c.sums == sWholeDiffers) {
            char& digit = sums[sums.rfind('\n', sums.size() - 2) + 1];
            digit = digit == '0' ? '1' : '0'; // the whole file's first digit
        } else if (c.sums == sGarbage) {
            sums = "not a checksum line\n";
        } else if (c.sums == sFewerPieces) {
            sums = sums.substr(sums.find('\n') + 1);
        }
        if (c.sums != sNone)
            WriteFileBytes(folder / "whole.sha256", sums);
        if (c.flipped)
            FlipByte(pieces[*c.flipped], 100); // past the first piece's signature
        if (c.cutShort)
            std::filesystem::resize_file(pieces[*c.cutShort], 10);
        if (c.removed)
            std::filesystem::remove(pieces[*c.removed]);
        const std::vector<std::string> before = Snapshot();

        TVarnSplit joiner(&reporter);
        joiner.SetSplitFileName(pieces.front());
        joiner.SetBufferSize(64);
        if (*c.states == '\0') {
            ExpectFault([&] { joiner.Verify(); }, *c.fault);
        } else {
            joiner.Verify();
            ASSERT_TRUE(joiner.Completed());
            std::string states;
            for (const TPieceCheck& piece : joiner.SetCheck().pieces)
                states += "GPDWMN"[static_cast<int>(piece.state)];
            EXPECT_EQ(states, c.states);
            EXPECT_EQ(joiner.SetCheck().Intact(), !c.flipped && !c.cutShort && !c.removed);
        }
        EXPECT_EQ(Snapshot(), before);

        joiner.SetFileName(folder / "whole.bin");
        joiner.SetDelAfterUnite(c.fault.has_value());
        if (c.fault) {
            const std::optional<std::size_t> named = c.flipped ? c.flipped : c.removed;
            ExpectFault([&] { joiner.Unite(); }, *c.fault, named ? pieces[*named] : "");
            EXPECT_EQ(Snapshot(), before);
        } else {
            joiner.Unite();
            EXPECT_EQ(ReadFileBytes(folder / "whole.bin"), original);
            EXPECT_EQ(joiner.ChecksumCheck(), c.sums == sNone ? TChecksumCheck::ccNoChecksumFile
                                                              : TChecksumCheck::ccVerified);
        }
        EXPECT_EQ(joiner.Completed(), !c.fault);
    }
}
