#include "EngineTestSupport.h"
#include "engine/BatchFile.h"
#include "engine/InfoFile.h"

#include <sys/stat.h>

using SplitTest = TEngineFolderTest;

// Every piece but the last is one block long, the data follows the first
// piece's header, and an old piece under a new piece's name is replaced. Each
// piece's progress runs to 100 against its own size, from its header on.
TEST_F(SplitTest, LaysOutEveryMode) {
    const std::vector<int> threeFull = {68, 98, 100, 30, 60, 90, 100, 30, 60, 90, 100};
    const std::vector<int> dos = {25, 50, 75, 100, 50, 100};
    const struct {
        TSplitMode mode;
        const char* whole;
        int64_t wholeSize, block, buffer;
        bool keepExt;
        std::vector<std::string> pieces;
        std::size_t header;
        int64_t lastSize;
        std::vector<int> percents = {}; // none: not looked at
    } cases[] = {
        {smNormal, "n.dat", 250, 100, 100, false, {"n.vrn", "n.001", "n.002"}, 38, 88},
        {smDOS, "n.dat", 250, 100, 100, false, {"n.dos", "n.001", "n.002"}, 0, 50},
        {smVersion10, "v.bin", 250, 100, 30, false, {"v.vrn", "v.001", "v.002"}, 34, 84},
        {smWinSplit, "a.zip", 350, 100, 100, false, {"a.001", "a.002", "a.003", "a.004"}, 0, 50},
        // 300 bytes with the header: three full pieces.
        {smNormal, "b.dat", 262, 100, 30, false, {"b.vrn", "b.001", "b.002"}, 38, 100, threeFull},
        {smNormal, "d.bin", 1000, 400, 1 << 24, false, {"d.vrn", "d.001", "d.002"}, 38, 238},
        {smDOS, "report.doc", 150, 100, 25, true, {"report.doc.dos", "report.doc.001"}, 0, 50, dos},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pieces.front());
        TTempFolder out;
        WriteFileBytes(out / c.whole, PatternBytes(c.wholeSize));
        WriteFileBytes(out / c.pieces[1], std::string(5000, 'z'));
        TVarnSplit splitter(&reporter);
        splitter.SetKeepOriginalExt(c.keepExt);
        splitter.SetFileName(out / c.whole);
        splitter.SetDOSCompatible(c.mode == smDOS);
        splitter.SetVersion100(c.mode == smVersion10);
        splitter.SetWinSplitCompatible(c.mode == smWinSplit);
        splitter.SetSplitFileName("");
        splitter.SetSize(c.block);
        splitter.SetBufferSize(c.buffer);
        std::vector<int> percents;
        splitter.OnProgress = [&](TVarnSplit&, uint16_t percent) { percents.push_back(percent); };
        splitter.Split();
        EXPECT_TRUE(splitter.Completed());
        EXPECT_TRUE(c.percents.empty() || percents == c.percents)
            << ::testing::PrintToString(percents);
        std::vector<std::string> names = c.pieces;
        names.push_back(c.whole);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(FolderNames(out.Path()), names);
        std::string joined;
        for (const std::string& piece : c.pieces) {
            const bool last = &piece == &c.pieces.back();
            EXPECT_EQ(FileSizeOf(out / piece), last ? c.lastSize : c.block) << piece;
            joined += ReadFileBytes(out / piece);
        }
        EXPECT_EQ(joined.substr(c.header), PatternBytes(c.wholeSize));
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// The information (disk 0), batch (2147483647) and checksum (-1) files are asked
// for after the pieces, with the bytes they need (the checksum file its length,
// the others 4), and written only when a handler answers Continue = true.
TEST_F(SplitTest, ExtraFilesOnlyWhenTheHandlerAgrees) {
    for (bool agree : {true, false}) {
        SCOPED_TRACE(agree ? "agreed" : "declined");
        ClearFolder(folder);
        TVarnSplit splitter;
        splitter.SetFileName(MakeWhole("x.bin", 250));
        splitter.SetSize(100);
        splitter.SetWinSplitCompatible(true);
        splitter.SetMakeBAT(true);
        splitter.SetMakeChecksums(true);
        splitter.SetSplitFileName("");
        std::vector<std::string> calls; // disk, disks, path in the folder, Continue on entry
        splitter.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t disks, std::string& path,
                                  bool& proceed) {
            const auto name = std::filesystem::path(path).lexically_relative(folder.Path());
            calls.push_back(std::to_string(diskID) + " " + std::to_string(disks) + " " +
                            name.string() + (proceed ? " yes" : " no"));
            proceed = agree || (diskID > 0 && diskID < 4); // every piece
        };
        splitter.Split();
        EXPECT_TRUE(splitter.Completed());
        EXPECT_EQ(calls, (std::vector<std::string>{"1 3 x.001 yes", "2 3 x.002 yes",
                                                   "3 3 x.003 yes", "0 4 x.wsp no",
                                                   "2147483647 4 x.bat no", "-1 288 x.sha256 no"}));
        EXPECT_EQ(FolderNames(folder.Path()),
                  agree ? Names({"x.001", "x.002", "x.003", "x.bat", "x.bin", "x.sha256", "x.wsp"})
                        : Names({"x.001", "x.002", "x.003", "x.bin"}));
        EXPECT_EQ(FileSizeOf(folder / "x.sha256"), agree ? 288 : 0);
    }
}

// A short write or a full device is an error naming the piece, which is gone;
// Continue = false ends the split after the pieces written; a stop removes the
// piece it cuts short and is cleared by the next run; the handler may move pieces.
TEST_F(SplitTest, WriteFailuresHandlerAndStopEndOrMoveThePieces) {
    engine.SetFileName(MakeWhole("s.bin", 1000));
    engine.SetSize(400);
    engine.SetBufferSize(100);
    EXPECT_TRUE(FailsWritingPastLimit(300, folder / "s.vrn", [&] { engine.Split(); }));
    EXPECT_EQ(FolderNames(folder.Path()), Names({"s.bin"}));

    engine.OnNeedDisk = [](TVarnSplit&, int32_t diskID, int32_t, std::string&, bool& proceed) {
        proceed = diskID < 2;
    };
    engine.Split();
    EXPECT_FALSE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"s.bin", "s.vrn"}));

    std::filesystem::create_directory(folder.Path() / "other");
    std::vector<int32_t> asked;
    engine.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t, std::string& path, bool&) {
        asked.push_back(diskID);
        if (diskID == 2)
            path = folder / "other/moved.001";
    };
    int calls = 0;
    engine.OnProgress = [&](TVarnSplit& sender, uint16_t) {
        if (++calls == 6) // inside piece 2
            sender.SetStop(true);
    };
    engine.Split();
    EXPECT_FALSE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"other", "s.bin", "s.vrn"}));
    EXPECT_TRUE(FolderNames(folder.Path() / "other").empty());
    EXPECT_EQ(FileSizeOf(folder / "s.vrn"), 400);
    EXPECT_EQ(asked, (std::vector<int32_t>{1, 2}));

    engine.OnProgress = nullptr;
    engine.Split();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"other", "s.bin", "s.vrn"}));
    EXPECT_EQ(FolderNames(folder.Path() / "other"), Names({"moved.001", "moved.002"}));

    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    engine.OnNeedDisk = nullptr;
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName("/dev/full");
    ExpectFault([&] { engine.Split(); }, TEngineFault::efWriteFailed, "/dev/full", ENOSPC);
    EXPECT_FALSE(engine.Completed());
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full")); // the node is untouched
}

static void ExpectRefused(TVarnSplit& engine, TEngineFault fault) {
    ExpectFault([&] { engine.Split(); }, fault);
    EXPECT_FALSE(engine.Completed());
}

// A missing input is reported, not thrown; bad sizes are refused, and so are
// files past 31 bits in a signed mode.
TEST_F(SplitTest, BadInputSizesAndLargeFilesAreRefusedBeforeWriting) {
    engine.SetFileName(folder / "x.dat");
    EXPECT_NO_THROW(engine.Split());
    engine.SetFileName(folder.Path().string()); // a folder is no input file either
    engine.Split();
    EXPECT_EQ(reporter.messages,
              (TRecordingReporter::TMessages{{TEngineMessage::emInputFileMissing, folder / "x.dat"},
                                             {TEngineMessage::emInputFileMissing, folder.Path()}}));
    EXPECT_TRUE(FolderNames(folder.Path()).empty());

    engine.SetFileName(MakeWhole("x.dat", 100));
    const struct {
        int64_t size, buffer;
        bool version100;
        TEngineFault fault;
    } cases[] = {
        {0, 1, false, TEngineFault::efBadBlockSize},
        {-5, 1, false, TEngineFault::efBadBlockSize},
        {100, 0, false, TEngineFault::efBadBufferSize},
        {38, 1, false, TEngineFault::efBlockNotLargerThanHeader}, // .dat, no comment
        {34, 1, true, TEngineFault::efBlockNotLargerThanHeader},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        engine.SetSize(c.size);
        engine.SetBufferSize(c.buffer);
        engine.SetVersion100(c.version100);
        ExpectRefused(engine, c.fault);
    }
    EXPECT_EQ(FolderNames(folder.Path()), Names({"x.dat"}));
    // One byte past the header is enough, and a 1-byte buffer works.
    engine.SetSize(35);
    engine.Split();
    EXPECT_EQ(FileSizeOf(folder / "x.vrn"), 35);
    EXPECT_EQ(FileSizeOf(folder / "x.003"), 134 - 3 * 35);

    // The plan's refusals (tested with the plan) stop a split before it writes;
    // the unsigned modes take files past 32 bits.
    ClearFolder(folder);
    WriteFileBytes(folder / "huge.img", "");
    std::filesystem::resize_file(folder / "huge.img", int64_t{5} << 30); // sparse
    engine.SetFileName(folder / "huge.img");
    engine.SetSize(int64_t{2} << 30);
    ExpectRefused(engine, TEngineFault::efFileTooLargeForSignature);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"huge.img"}));

    engine.SetDOSCompatible(true);
    engine.SetSplitFileName(folder / "huge.dos");
    std::vector<int32_t> disks;
    engine.OnNeedDisk = [&](TVarnSplit&, int32_t, int32_t numOfDisks, std::string&, bool& proceed) {
        disks.push_back(numOfDisks);
        proceed = false; // stop before gigabytes are written
    };
    EXPECT_NO_THROW(engine.Split());
    EXPECT_EQ(disks, std::vector<int32_t>{3});
    EXPECT_EQ(FolderNames(folder.Path()), Names({"huge.img"}));
}

TEST_F(SplitTest, NeverWritesOverTheSource) {
    // Re-splitting a piece: its own name comes up as the third piece.
    engine.SetFileName(MakeWhole("set.002", 250));
    engine.SetSize(100);
    ExpectRefused(engine, TEngineFault::efSameAsSource);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"set.002"}));
    EXPECT_EQ(Read("set.002"), PatternBytes(250));

    // The first piece named like the source, or a hard link to it.
    engine.SetSplitFileName(folder / "set.002");
    ExpectRefused(engine, TEngineFault::efSameAsSource);
    ASSERT_EQ(link((folder / "set.002").c_str(), (folder / "linked.vrn").c_str()), 0);
    engine.SetSplitFileName(folder / "linked.vrn");
    ExpectRefused(engine, TEngineFault::efSameAsSource);

    // A handler that points a later piece at the source.
    TVarnSplit moved(&reporter);
    moved.SetFileName(MakeWhole("w.bin", 250, 3));
    moved.SetSize(100);
    moved.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t, std::string& path, bool&) {
        if (diskID == 2)
            path = folder / "w.bin";
    };
    ExpectRefused(moved, TEngineFault::efSameAsSource);
    EXPECT_EQ(Read("w.bin"), PatternBytes(250, 3));

    // The information file named like the source.
    TVarnSplit info(&reporter);
    info.SetFileName(MakeWhole("i.wsp", 20));
    info.SetSplitFileName(folder / "i.001");
    info.SetWinSplitCompatible(true);
    AnswerEveryQuestion(info);
    ExpectRefused(info, TEngineFault::efSameAsSource);
    EXPECT_FALSE(PathExists(folder / "i.001"));
    EXPECT_EQ(Read("i.wsp"), PatternBytes(20));
}

TEST_F(SplitTest, SelfJoiningFirstPiece) {
    // Only the program image is copied, not what a longer file holds after it.
    const std::string stub = Elf32Image(1000);
    WriteFileBytes(folder / "varnstub.exe", stub + "a piece of an old set");
    engine.SetFileName(MakeWhole("p.dat", 3000));
    engine.SetSplitFileName(folder / "p.exe");
    engine.SetMakeSUB(true);
    engine.SetStubFileName(folder / "varnstub.exe");
    engine.SetStubSize(5); // a stale length is corrected from the stub itself
    engine.SetComment("0123456789");
    engine.SetSize(2000);
    chmod((folder / "p.dat").c_str(), 0644);
    engine.Split();
    EXPECT_EQ(engine.StubSize(), 1000);
    const std::string first = Read("p.exe");
    ASSERT_EQ(first.size(), 2000u);
    EXPECT_EQ(first.substr(0, 1000), stub);
    // The signature's fields are read back by the self-joining round trips.
    EXPECT_EQ(first.substr(1048) + Read("p.001") + Read("p.002"), Read("p.dat"));
    EXPECT_EQ(access((folder / "p.exe").c_str(), X_OK), 0);
    EXPECT_NE(access((folder / "p.001").c_str(), X_OK), 0);

    engine.SetStubFileName(folder / "missing.exe");
    ExpectRefused(engine, TEngineFault::efStubUnreadable);
}
