#include "EngineTestSupport.h"
#include "platform/FileAttributes.h"
#include "platform/FileTimes.h"

#include <sys/stat.h>

namespace {

class UniteTest : public TEngineFolderTest {
protected:
    // Points the engine at a set and at folder/output.
    void UniteInto(const std::string& first, const std::string& output) {
        engine.SetSplitFileName(first);
        engine.SetFileName(folder / output);
    }

    // A long middle piece, a short middle one with a long last one, and a long
    // last piece are each named before anything is joined or deleted. A
    // WinSplit set is also joined from its first piece, without its size.
    void ExpectDamagedPiecesNamed(TSplitMode mode, const std::string& first) {
        const std::vector<std::string> pieces = PiecesFrom(mode, first);
        ASSERT_GE(pieces.size(), 3u);
        const std::string middle = ReadFileBytes(pieces[1]), last = ReadFileBytes(pieces.back());
        const std::vector<std::string> names = FolderNames(folder.Path());
        enum TDamage { dLongMiddle, dShortMiddleLongLast, dLongLast };
        for (const std::string& from : {first, pieces.front()}) {
            for (TDamage damage : {dLongMiddle, dShortMiddleLongLast, dLongLast}) {
                SCOPED_TRACE(FileNamePart(from) + " damage " + std::to_string(damage));
                WriteFileBytes(pieces[1], damage == dLongMiddle ? middle + "XYZ"
                                          : damage == dLongLast ? middle
                                                                : middle.substr(3));
                WriteFileBytes(pieces.back(), damage == dLongMiddle ? last : last + "XYZ");
                TVarnSplit joiner(&reporter);
                joiner.SetSplitFileName(from);
                joiner.SetWinSplitCompatible(mode == smWinSplit);
                joiner.SetStubSize(mode == smSelfJoining ? 300 : 0);
                joiner.SetFileName(folder / "out.dat");
                joiner.SetDelAfterUnite(true);
                ExpectFault([&] { joiner.Unite(); }, TEngineFault::efPieceWrongSize,
                            damage == dLongLast ? pieces.back() : pieces[1]);
                EXPECT_EQ(FolderNames(folder.Path()), names);
            }
        }
        WriteFileBytes(pieces[1], middle);
        WriteFileBytes(pieces.back(), last);
    }

    // The engine's temporary files left in the folder.
    std::vector<std::string> Leftovers() {
        std::vector<std::string> names = FolderNames(folder.Path());
        std::erase_if(names, [](const std::string& name) {
            return name.find(".varn-") == std::string::npos;
        });
        return names;
    }
};

} // namespace

// Version 1.1 sets also bring back the whole file's times, attributes and
// comment; the others store none. One set of each mode is damaged first.
TEST_F(UniteTest, RoundTripsInEveryUnitedMode) {
    const std::time_t moment = 981173106; // 2001-02-03 04:05:06 UTC, an even second
    for (TSplitMode mode : {smNormal, smVersion10, smWinSplit, smSelfJoining}) {
        const bool stored = mode == smNormal || mode == smSelfJoining;
        const int64_t size = mode == smSelfJoining ? 400 : 100;
        const int64_t header = mode == smWinSplit    ? 0
                               : mode == smVersion10 ? 34
                               : mode == smNormal    ? 34 + 4 + 9
                                                     : 300 + 34 + 4 + 9;
        // Empty, one byte, exactly one and three blocks, one past a boundary, and odd.
        for (int64_t length : {int64_t{0}, int64_t{1}, 3 * size - header, size - header,
                               size - header + 1, 3 * size - header + 1, int64_t{1234}}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " length " + std::to_string(length));
            const std::string whole = "whole.bin";
            MakeWhole(whole, static_cast<std::size_t>(length), 5);
            ASSERT_TRUE(ApplyFileDosTimesAt(folder / whole, PackDosDateTime(moment + 86400),
                                            PackDosDateTime(moment)));
            chmod((folder / whole).c_str(), 0444);
            const std::string first = SplitSet(folder, mode, whole, size);
            std::filesystem::rename(folder / whole, folder / "original.bin");
            if (length == 3 * size - header) // full pieces: a longer last one is wrong
                ExpectDamagedPiecesNamed(mode, first);
            TVarnSplit joiner(&reporter);
            joiner.SetSplitFileName(first);
            joiner.SetStubSize(mode == smSelfJoining ? 300 : 0);
            joiner.ReadSignature(first); // as the callers do, for the output's extension
            // A version 1.0 signature has no flag and leaves it as it is; an
            // information file read again clears it.
            joiner.SetFullSignature(true);
            joiner.Unite();
            struct stat info {}; // before reading it changes the access time
            ASSERT_EQ(stat((folder / whole).c_str(), &info), 0);
            EXPECT_EQ(std::tuple(joiner.Completed(), joiner.FileName(), joiner.Version100(),
                                 joiner.FullSignature(), joiner.Comment()),
                      std::tuple(true, folder / whole, mode == smVersion10, mode != smWinSplit,
                                 stored ? "a comment" : ""));
            EXPECT_EQ(Read(whole), Read("original.bin"));
            EXPECT_TRUE(Leftovers().empty());
            EXPECT_EQ(std::tuple(info.st_mtime == moment, (info.st_mode & 0222) == 0),
                      std::tuple(stored, stored));
            if (stored) {
                std::time_t accessed = 0;
                ASSERT_TRUE(UnpackDosDateTime(joiner.LastAccessTime(), accessed));
                EXPECT_EQ(info.st_atime, accessed);
                EXPECT_EQ(joiner.Attributes() & faReadOnly, faReadOnly);
            }
            ClearFolder(folder);
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// An output that is one of the pieces is refused; the join stops at the stored
// size; a stop, Continue = false, a short write or a missing piece leave the
// old output, and the last fails before DelAfterUnite deletes anything.
TEST_F(UniteTest, NormalSetFromItsFirstPiece) {
    MakeWhole("name.dat", 250);
    const std::string first = SplitSet(folder, smNormal, "name.dat", 100);
    const std::string piece = Read("name.001");
    UniteInto(first, "name.001");
    ExpectFault([&] { engine.Unite(); }, TEngineFault::efSameAsSource);
    EXPECT_EQ(Read("name.001"), piece);

    // Stray later pieces from another split.
    WriteFileBytes(folder / "name.003", "stray");
    WriteFileBytes(folder / "name.004", "stray");
    std::vector<TNeedDiskCall> calls;
    AnswerEveryQuestion(engine, &calls);
    std::vector<int> percents;
    engine.OnProgress = [&](TVarnSplit&, uint16_t percent) { percents.push_back(percent); };
    UniteInto(first, "out.dat");
    engine.Unite();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(Read("out.dat"), PatternBytes(250));
    // Never asked for name.003; the first question comes before the signature is read.
    EXPECT_EQ(calls, (std::vector<TNeedDiskCall>{{1, 0, folder / "name.vrn"},
                                                 {2, 3, folder / "name.001"},
                                                 {3, 3, folder / "name.002"}}));
    // The first piece's progress counts against its whole length: 53 of 100 bytes are data.
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(std::pair(percents.front(), percents.back()), std::pair(100 - 47, 100));

    engine.SetBufferSize(10);
    int progress = 0;
    engine.OnProgress = [&](TVarnSplit& sender, uint16_t) {
        if (++progress == 20) // inside the last piece, seen only while copying
            sender.SetStop(true);
    };
    engine.Unite();
    EXPECT_FALSE(engine.Completed());
    engine.OnProgress = nullptr;
    engine.OnNeedDisk = [](TVarnSplit&, int32_t diskID, int32_t, std::string&, bool& proceed) {
        proceed = diskID < 3;
    };
    engine.Unite();
    EXPECT_FALSE(engine.Completed());
    engine.OnNeedDisk = nullptr;
    EXPECT_TRUE(FailsWritingPastLimit(100, folder / "out.dat", [&] { engine.Unite(); }));

    std::filesystem::remove(folder / "name.001");
    engine.SetDelAfterUnite(true);
    ExpectFault([&] { engine.Unite(); }, TEngineFault::efIncompleteSet, folder / "name.001");
    EXPECT_FALSE(engine.Completed());
    EXPECT_EQ(Read("out.dat"), PatternBytes(250));
    EXPECT_EQ(FolderNames(folder.Path()), Names({"name.002", "name.003", "name.004", "name.dat",
                                                 "name.sha256", "name.vrn", "out.dat"}));
}

// Joined from its first piece, a WinSplit set ignores an earlier inspection's
// sizes; from its information file with DelAfterUnite, that file goes with the
// pieces, and the checksum file, which still checks the whole file, stays.
TEST_F(UniteTest, WinSplitSetFromFirstPieceOrInformationFile) {
    MakeWhole("name.dat", 250);
    SplitSet(folder, smWinSplit, "name.dat", 100);
    std::filesystem::create_directory(folder.Path() / "o");
    MakeWhole("o/o.dat", 10);
    engine.ReadSignature(SplitSet(folder, smNormal, "o/o.dat", 100)); // another set's size, 10
    engine.SetWinSplitCompatible(true);
    UniteInto(folder / "name.001", "first.dat");
    engine.Unite();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(Read("first.dat"), PatternBytes(250));

    UniteInto(folder / "name.wsp", "out.dat");
    engine.SetDelAfterUnite(true);
    engine.Unite();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()),
              Names({"first.dat", "name.dat", "name.sha256", "o", "out.dat"}));
    EXPECT_EQ(Read("out.dat"), PatternBytes(250));

    // An information file without a size: the join goes on until a piece is
    // missing, to the name the information file gives.
    ClearFolder(folder);
    engine.SetDelAfterUnite(false);
    engine.SetFileName("");
    WriteFileBytes(folder / "w.001", "abc");
    WriteFileBytes(folder / "w.002", "def");
    WriteFileBytes(folder / "w.wsp", "txt\r\n2\r\nunknown\r\n");
    std::vector<TNeedDiskCall> calls;
    AnswerEveryQuestion(engine, &calls);
    engine.SetSplitFileName(folder / "w.wsp");
    engine.SetOriginalExt(".txt");
    engine.Unite();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(engine.FileName(), folder / "w.txt");
    EXPECT_EQ(Read("w.txt"), "abcdef");
    EXPECT_EQ(calls,
              (std::vector<TNeedDiskCall>{
                  {1, 2, folder / "w.001"}, {2, 2, folder / "w.002"}, {3, 2, folder / "w.003"}}));

    // Not even the first piece: an error, not an empty file.
    WriteFileBytes(folder / "v.wsp", "txt\r\n2\r\nunknown\r\n");
    engine.SetSplitFileName(folder / "v.wsp");
    engine.SetFileName(folder / "v.txt");
    EXPECT_THROW(engine.Unite(), EEngineError);
    EXPECT_FALSE(PathExists(folder / "v.txt"));
}

// A signature whose size is negative, or whose block count the first piece
// contradicts, describes no set; a FIFO named like a piece is no piece; a
// stored extension may not lead out of the folder.
TEST_F(UniteTest, MissingOrDamagedSignaturesAndOddFilesAreRefused) {
    // A missing first piece and one without a signature are reported, not thrown.
    UniteInto(folder / "missing.vrn", "kept.dat");
    EXPECT_NO_THROW(engine.Unite());
    WriteFileBytes(folder / "junk.vrn", "no signature here at all, just some words");
    WriteFileBytes(folder / "kept.dat", "precious");
    engine.SetSplitFileName(folder / "junk.vrn");
    EXPECT_NO_THROW(engine.Unite());
    EXPECT_EQ(reporter.messages, (TRecordingReporter::TMessages{
                                     {TEngineMessage::emPieceFileMissing, folder / "missing.vrn"},
                                     {TEngineMessage::emUnknownSignature, folder / "junk.vrn"}}));
    EXPECT_EQ(Read("kept.dat"), "precious");
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_FALSE(engine.Completed());

    TSignature signature{.extension = ".dat", .comment = ""};
    const struct {
        int32_t size;
        uint16_t blocks;
        bool fifoSecondPiece;
        TEngineFault fault;
    } cases[] = {
        {-1, 1, false, TEngineFault::efDamagedSignature},
        {-100000, 0, false, TEngineFault::efDamagedSignature},
        {3, 2, false, TEngineFault::efDamagedSignature},
        {1000, 1, false, TEngineFault::efDamagedSignature},
        {2, 1, false, TEngineFault::efPieceWrongSize},
        {1000, 26, true, TEngineFault::efIncompleteSet},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.size);
        signature.wholeFileSize = item.size;
        signature.blockCount = item.blocks;
        WriteFileBytes(folder / "x.vrn", EncodeSignature(signature) + "abc");
        ASSERT_TRUE(!item.fifoSecondPiece || mkfifo((folder / "x.001").c_str(), 0600) == 0);
        engine.SetSplitFileName(folder / "x.vrn");
        engine.SetFileName(folder / "out.dat");
        ExpectFault([&] { engine.Unite(); }, item.fault);
        EXPECT_FALSE(PathExists(folder / "out.dat"));
        EXPECT_TRUE(Leftovers().empty());
        std::filesystem::remove(folder / "x.001");
    }
    // Inspection does not wait for a FIFO's writer either.
    std::filesystem::remove(folder / "x.vrn");
    ASSERT_EQ(mkfifo((folder / "x.vrn").c_str(), 0600), 0);
    EXPECT_THROW(engine.ReadSignature(folder / "x.vrn"), EEngineError);

    // A crafted first piece whose extension would name a file in another folder.
    signature.wholeFileSize = 3;
    signature.blockCount = 1;
    signature.extension = "/../escaped";
    std::filesystem::create_directories(folder.Path() / "in");
    WriteFileBytes(folder / "in/x.vrn", EncodeSignature(signature) + "abc");
    engine.SetFileName(""); // the output is named from the stored extension
    engine.SetSplitFileName(folder / "in/x.vrn");
    engine.ReadSignature(folder / "in/x.vrn");
    ExpectFault([&] { engine.Unite(); }, TEngineFault::efUnsafeExtension);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"in", "junk.vrn", "kept.dat", "x.vrn"}));
    EXPECT_EQ(FolderNames(folder.Path() / "in"), Names({"x.vrn"}));
}
