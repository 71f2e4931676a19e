// The checksum file a split writes, checked against GNU sha256sum itself, and
// what a unite and a verify make of a damaged set.
#include "EngineTestSupport.h"
#include "engine/ChecksumFile.h"
#include "support/ShellRun.h"

namespace {

// Runs a shell command in `folder`; its standard output and exit status.
std::pair<std::string, int> RunIn(const std::string& folder, const std::string& command) {
    const TShellRun run = RunShell("(cd '" + folder + "' && " + command + " 2>/dev/null)");
    return {run.output, run.status};
}

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

void FlipByte(const std::string& path, std::size_t at) {
    std::string bytes = ReadFileBytes(path);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    WriteFileBytes(path, bytes);
}

class ChecksumTest : public TEngineFolderTest {
protected:
    // Splits folder/name into `size`-byte blocks; the pieces' names in order.
    std::vector<std::string> SplitIn(TSplitMode mode, const std::string& name, int64_t size) {
        std::vector<std::string> names;
        for (const std::string& piece : PiecesFrom(mode, SplitSet(folder, mode, name, size)))
            names.push_back(FileNamePart(piece));
        return names;
    }

    // A fresh folder holding only a set of five pieces and its checksum file.
    std::vector<std::string> SetOfFive() {
        ClearFolder(folder);
        WriteFileBytes(folder / "whole.bin", PatternBytes(4 * 1000 + 500, 3));
        return SplitIn(smNormal, "whole.bin", 1000);
    }
};

} // namespace

TEST_F(ChecksumTest, FileIsWhatSha256sumPrintsInEveryMode) {
    struct TCase {
        TSplitMode mode;
        const char* name;
    };
    // A backslash in a name makes sha256sum escape the line.
    for (const TCase& test : {TCase{smNormal, "whole.bin"}, TCase{smVersion10, "whole.bin"},
                              TCase{smDOS, "whole.bin"}, TCase{smWinSplit, "whole.bin"},
                              TCase{smSelfJoining, "whole.bin"}, TCase{smNormal, "we\\ird.bin"}}) {
        SCOPED_TRACE(std::to_string(test.mode) + " " + test.name);
        ClearFolder(folder);
        WriteFileBytes(folder / test.name, PatternBytes(2500, 7));
        const std::vector<std::string> pieces = SplitIn(test.mode, test.name, 1000);
        ASSERT_GE(pieces.size(), 3u);
        std::string command = "sha256sum";
        for (const std::string& piece : pieces)
            command += " " + Quoted(piece);
        // Every mode's unite (or batch file) rebuilds the file under its own name.
        command += " " + Quoted(test.name);
        const auto [expected, status] = RunIn(folder.Path().string(), command);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(ReadFileBytes(ChecksumFilePathFor(folder / pieces.front())), expected);
    }
}

// A flipped byte is named before a later piece cut short is noticed.
TEST_F(ChecksumTest, UniteStopsAtTheFirstDamagedPieceAndKeepsEveryPiece) {
    const struct {
        std::size_t flipped;
        std::optional<std::size_t> cutShort;
    } cases[] = {{0, std::nullopt}, {2, std::nullopt}, {4, std::nullopt}, {1, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE("piece " + std::to_string(c.flipped + 1));
        const std::vector<std::string> pieces = SetOfFive();
        std::filesystem::rename(folder / "whole.bin", folder / "original.bin");
        FlipByte(folder / pieces[c.flipped], 100); // past the first piece's signature
        if (c.cutShort)
            std::filesystem::resize_file(folder / pieces[*c.cutShort], 10);
        std::vector<std::string> before;
        for (const std::string& piece : pieces)
            before.push_back(ReadFileBytes(folder / piece));

        TVarnSplit joiner(&reporter);
        joiner.SetSplitFileName(folder / pieces.front());
        joiner.SetBufferSize(64);
        joiner.SetDelAfterUnite(true);
        ExpectFault([&] { joiner.Unite(); }, TEngineFault::efChecksumMismatch,
                    folder / pieces[c.flipped]);
        EXPECT_FALSE(joiner.Completed());
        // Nothing new in the folder, and every piece as it was.
        std::vector<std::string> expectedNames(pieces);
        expectedNames.insert(expectedNames.end(), {"original.bin", "whole.sha256"});
        std::sort(expectedNames.begin(), expectedNames.end());
        EXPECT_EQ(FolderNames(folder.Path()), expectedNames);
        for (std::size_t i = 0; i < pieces.size(); ++i)
            EXPECT_EQ(ReadFileBytes(folder / pieces[i]), before[i]);
    }
}

TEST_F(ChecksumTest, UniteChecksTheWholeFileAndTheChecksumFileItself) {
    const std::vector<std::string> pieces = SetOfFive();
    const std::string original = ReadFileBytes(folder / "whole.bin");
    const std::string sums = ReadFileBytes(folder / "whole.sha256");
    struct TCase {
        const char* label;
        std::string text; // the checksum file, or "" for none
        std::optional<TEngineFault> fault;
    };
    std::string wrongWhole = sums;
    char& digit = wrongWhole[wrongWhole.rfind('\n', wrongWhole.size() - 2) + 1];
    digit = digit == '0' ? '1' : '0'; // the whole file's first digit
    const std::string fewerPieces = sums.substr(sums.find('\n') + 1);
    for (const TCase& test :
         {TCase{"intact", sums, std::nullopt}, TCase{"none", "", std::nullopt},
          TCase{"whole differs", wrongWhole, TEngineFault::efWholeChecksumMismatch},
          TCase{"garbage", "not a checksum line\n", TEngineFault::efChecksumFileDamaged},
          TCase{"another set's", fewerPieces, TEngineFault::efChecksumFileDamaged}}) {
        SCOPED_TRACE(test.label);
        std::filesystem::remove(folder / "whole.bin");
        std::filesystem::remove(folder / "whole.sha256");
        if (!test.text.empty())
            WriteFileBytes(folder / "whole.sha256", test.text);
        TVarnSplit joiner(&reporter);
        joiner.SetSplitFileName(folder / pieces.front());
        joiner.SetFileName(folder / "whole.bin");
        std::optional<TEngineFault> fault;
        try {
            joiner.Unite();
        } catch (const EEngineError& error) {
            fault = error.Fault();
        }
        EXPECT_EQ(fault, test.fault);
        EXPECT_EQ(std::filesystem::exists(folder / "whole.bin"), !test.fault);
        if (!test.fault) {
            EXPECT_EQ(ReadFileBytes(folder / "whole.bin"), original);
            EXPECT_EQ(joiner.ChecksumCheck(), test.text.empty() ? TChecksumCheck::ccNoChecksumFile
                                                                : TChecksumCheck::ccVerified);
        }
    }
}

TEST_F(ChecksumTest, VerifyTellsEachPieceAndTheSet) {
    struct TCase {
        const char* label;
        std::function<void(const std::vector<std::string>&)> damage;
        std::vector<TPieceState> states;
        bool intact;
    };
    using S = TPieceState;
    const auto path = [this](const std::string& name) { return folder / name; };
    for (const TCase& test : {
             TCase{"intact",
                   [](auto&) {},
                   {S::psGood, S::psGood, S::psGood, S::psGood, S::psGood},
                   true},
             TCase{"flipped",
                   [&](auto& p) { FlipByte(path(p[3]), 0); },
                   {S::psGood, S::psGood, S::psGood, S::psDamaged, S::psGood},
                   false},
             TCase{"truncated",
                   [&](auto& p) { std::filesystem::resize_file(path(p[4]), 10); },
                   {S::psGood, S::psGood, S::psGood, S::psGood, S::psWrongSize},
                   false},
             TCase{"incomplete",
                   [&](auto& p) { std::filesystem::remove(path(p[1])); },
                   {S::psGood, S::psMissing, S::psGood, S::psGood, S::psGood},
                   false},
             TCase{"no checksums",
                   [&](auto&) { std::filesystem::remove(path("whole.sha256")); },
                   {S::psPresent, S::psPresent, S::psPresent, S::psPresent, S::psPresent},
                   true},
             TCase{"no checksums, last missing",
                   [&](auto& p) {
                       std::filesystem::remove(path("whole.sha256"));
                       std::filesystem::remove(path(p[4]));
                   },
                   {S::psPresent, S::psPresent, S::psPresent, S::psPresent, S::psMissing},
                   false},
         }) {
        SCOPED_TRACE(test.label);
        const std::vector<std::string> pieces = SetOfFive();
        test.damage(pieces);
        const auto before = FolderNames(folder.Path());
        TVarnSplit checker(&reporter);
        checker.SetSplitFileName(folder / pieces.front());
        checker.SetBufferSize(100);
        checker.Verify();
        ASSERT_TRUE(checker.Completed());
        std::vector<TPieceState> states;
        for (const TPieceCheck& piece : checker.SetCheck().pieces)
            states.push_back(piece.state);
        EXPECT_EQ(states, test.states);
        EXPECT_EQ(checker.SetCheck().Intact(), test.intact);
        EXPECT_EQ(FolderNames(folder.Path()), before); // nothing written
    }
}

TEST(ChecksumFileTest, ReadsWhatSha256sumWritesAndRefusesOtherLines) {
    const std::string digest(64, 'a');
    struct TCase {
        std::string text;
        std::optional<std::vector<std::string>> names;
    };
    for (const TCase& test : {
             TCase{digest + "  a.vrn\n" + digest + "  a.dat\n",
                   std::vector<std::string>{"a.vrn", "a.dat"}},
             TCase{digest + " *a b\r\n\n# note\n", std::vector<std::string>{"a b"}},
             TCase{"\\" + digest + "  x\\\\y\\nz\\r\n", std::vector<std::string>{"x\\y\nz\r"}},
             TCase{std::string(64, 'A') + "  up\n", std::vector<std::string>{"up"}},
             TCase{digest + " a.vrn\n", std::nullopt},
             TCase{std::string(63, 'a') + "g  a\n", std::nullopt},
             TCase{"\\" + digest + "  bad\\q\n", std::nullopt},
             TCase{digest + "  \n", std::nullopt},
         }) {
        SCOPED_TRACE(test.text);
        const auto entries = ParseChecksumFileText(test.text);
        ASSERT_EQ(entries.has_value(), test.names.has_value());
        if (!entries)
            continue;
        std::vector<std::string> names;
        for (const TChecksumEntry& entry : *entries) {
            names.push_back(entry.name);
            // Written back, every entry reads as itself.
            EXPECT_EQ(ParseChecksumFileText(ChecksumLine(entry))->front().name, entry.name);
        }
        EXPECT_EQ(names, *test.names);
    }
}
