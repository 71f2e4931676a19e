#include "EngineTestSupport.h"
#include "engine/BatchFile.h"
#include "engine/FileUtils.h"
#include "engine/InfoFile.h"
#include "engine/Signature.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SplitTest : public ::testing::Test {
protected:
    // A whole file of `size` pattern bytes at folder/name.
    std::string MakeWhole(const std::string& name, std::size_t size, unsigned seed = 1) {
        const std::string path = folder / name;
        WriteFileBytes(path, PatternBytes(size, seed));
        return path;
    }
    std::string Read(const std::string& name) { return ReadFileBytes(folder / name); }
    int64_t SizeOf(const std::string& name) { return FileSizeOf(folder / name); }
    void MakeSparse(const std::string& name, int64_t size) {
        const int fd = open((folder / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
    }

    TScopedXdgHome home;
    TTempFolder folder;
    TRecordingReporter reporter;
    TVarnSplit engine{&reporter};
};

} // namespace

TEST_F(SplitTest, NormalModeDesignExample) {
    const std::string whole = MakeWhole("name.dat", 3000000);
    engine.SetFileName(whole);
    engine.Split();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"name.dat", "name.vrn", "name.001", "name.002"}));
    EXPECT_EQ(SizeOf("name.vrn"), 1457664);
    EXPECT_EQ(SizeOf("name.001"), 1457664);
    EXPECT_EQ(SizeOf("name.002"), 84710);
    const std::string first = Read("name.vrn");
    const std::optional<TSignature> signature =
        ParseSignature(reinterpret_cast<const unsigned char*>(first.data()), first.size());
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->version, TSignatureVersion::sv110);
    EXPECT_EQ(signature->wholeFileSize, 3000000);
    EXPECT_EQ(signature->blockCount, 3);
    EXPECT_EQ(signature->extension, ".dat");
    EXPECT_EQ(signature->attributes & 32u, 32u);
    EXPECT_EQ(signature->lastWriteTime, engine.LastWriteTime());
    // The data follows the 38-byte header and runs on into the next pieces.
    EXPECT_EQ(first.substr(38) + Read("name.001") + Read("name.002"), Read("name.dat"));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(SplitTest, DosModeHasNoSignature) {
    MakeWhole("name.dat", 3000000);
    engine.SetFileName(folder / "name.dat");
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName("");
    engine.Split();
    EXPECT_EQ(FolderNames(folder.Path()), Names({"name.dat", "name.dos", "name.001", "name.002"}));
    EXPECT_EQ(SizeOf("name.002"), 84672);
    EXPECT_EQ(Read("name.dos") + Read("name.001") + Read("name.002"), Read("name.dat"));
}

TEST_F(SplitTest, Version100HeaderIs34Bytes) {
    MakeWhole("v.bin", 250);
    engine.SetFileName(folder / "v.bin");
    engine.SetVersion100(true);
    engine.SetSize(100);
    engine.Split();
    EXPECT_EQ(FolderNames(folder.Path()), Names({"v.bin", "v.vrn", "v.001", "v.002"}));
    const std::string first = Read("v.vrn");
    EXPECT_EQ(first.substr(0, 8), std::string("VRNv100\x1A", 8));
    EXPECT_EQ(SizeOf("v.002"), 284 - 200);
    EXPECT_EQ(first.substr(34) + Read("v.001") + Read("v.002"), Read("v.bin"));
}

TEST_F(SplitTest, WinSplitModeWritesInformationFileOnlyWhenAsked) {
    engine.SetMakeChecksums(false); // only the information and batch files are asked for
    MakeWhole("archive.zip", 5000000);
    engine.SetFileName(folder / "archive.zip");
    engine.SetSplitFileName(folder / "archive.001");
    engine.SetWinSplitCompatible(true);
    engine.Split(); // no handler: no information file
    EXPECT_EQ(FolderNames(folder.Path()),
              Names({"archive.zip", "archive.001", "archive.002", "archive.003", "archive.004"}));

    std::vector<TNeedDiskCall> calls;
    AnswerEveryQuestion(engine, calls);
    engine.Split();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[1].path, folder / "archive.002");
    EXPECT_EQ(calls[1].numOfDisks, 4);
    EXPECT_EQ(calls[4].diskID, 0);
    EXPECT_EQ(calls[4].numOfDisks, 4);
    EXPECT_FALSE(calls[4].continueOnEntry);
    EXPECT_EQ(calls[4].path, folder / "archive.wsp");
    EXPECT_EQ(Read("archive.wsp"), "zip\r\n4\r\n5000000\r\n");
}

TEST_F(SplitTest, InformationFileRefusedByHandlerIsNotWritten) {
    engine.SetMakeChecksums(false); // only the information and batch files are asked for
    MakeWhole("a.bin", 10);
    engine.SetFileName(folder / "a.bin");
    engine.SetSplitFileName(folder / "a.001");
    engine.SetWinSplitCompatible(true);
    engine.OnNeedDisk = [](TVarnSplit&, int32_t diskID, int32_t, std::string&, bool& proceed) {
        proceed = diskID != 0;
    };
    engine.Split();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"a.bin", "a.001"}));
}

TEST_F(SplitTest, EmptyFiles) {
    engine.SetMakeChecksums(false); // only the information and batch files are asked for
    MakeWhole("empty.txt", 0);
    engine.SetFileName(folder / "empty.txt");
    std::vector<TNeedDiskCall> calls;
    AnswerEveryQuestion(engine, calls);
    engine.Split(); // normal mode: one piece holding only the header
    EXPECT_EQ(SizeOf("empty.vrn"), 38);
    std::remove((folder / "empty.vrn").c_str());

    engine.SetSplitFileName(folder / "empty.001");
    engine.SetWinSplitCompatible(true);
    calls.clear();
    engine.SetMakeBAT(true);
    engine.Split(); // one empty piece, so that the batch and information files name a real set
    EXPECT_TRUE(engine.Completed());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].diskID, 1);
    EXPECT_EQ(calls[1].diskID, InfoFileDiskID);
    EXPECT_EQ(FolderNames(folder.Path()),
              Names({"empty.txt", "empty.001", "empty.wsp", "empty.bat"}));
    EXPECT_EQ(SizeOf("empty.001"), 0);
    EXPECT_EQ(Read("empty.wsp"), "txt\r\n1\r\n0\r\n");
    EXPECT_NE(Read("empty.bat").find("@copy /b empty.001 empty.txt\r\n"), std::string::npos);

    engine.SetWinSplitCompatible(false);
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName(folder / "empty.dos");
    engine.Split();
    EXPECT_EQ(SizeOf("empty.dos"), 0);
    EXPECT_NE(Read("empty.bat").find("@copy /b empty.dos empty.txt\r\n"), std::string::npos);
}

TEST_F(SplitTest, FileEndingExactlyOnABlockBoundary) {
    MakeWhole("b.dat", 300 - 38); // T = 300 with Size 100
    engine.SetFileName(folder / "b.dat");
    engine.SetSize(100);
    std::vector<std::pair<int, int>> progress; // (piece, percent)
    int piece = 0;
    engine.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t, std::string&, bool&) {
        piece = diskID;
    };
    engine.OnProgress = [&](TVarnSplit&, uint16_t percent) {
        progress.emplace_back(piece, percent);
    };
    engine.SetBufferSize(30);
    engine.Split();
    EXPECT_EQ(FolderNames(folder.Path()), Names({"b.dat", "b.vrn", "b.001", "b.002"}));
    EXPECT_EQ(SizeOf("b.002"), 100);
    // Piece 1 starts at the header: 38 + 30 = 68, then 98, then 100.
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress[0], std::make_pair(1, 68));
    EXPECT_EQ(progress[1], std::make_pair(1, 98));
    EXPECT_EQ(progress[2], std::make_pair(1, 100));
    EXPECT_EQ(progress.back(), std::make_pair(3, 100));
    for (const auto& [p, percent] : progress)
        EXPECT_LE(percent, 100);
}

TEST_F(SplitTest, LastPieceProgressCountsAgainstItsOwnSize) {
    MakeWhole("c.bin", 150);
    engine.SetFileName(folder / "c.bin");
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName(folder / "c.dos");
    engine.SetSize(100);
    std::vector<int> percents;
    engine.OnProgress = [&](TVarnSplit&, uint16_t percent) { percents.push_back(percent); };
    engine.SetBufferSize(25);
    engine.Split();
    EXPECT_EQ(percents, (std::vector<int>{25, 50, 75, 100, 50, 100}));
}

TEST_F(SplitTest, BufferLargerThanBlockAndExistingPiecesReplaced) {
    MakeWhole("d.bin", 1000);
    WriteFileBytes(folder / "d.001", std::string(5000, 'z'));
    engine.SetFileName(folder / "d.bin");
    engine.SetSize(400);
    engine.SetBufferSize(1 << 24);
    engine.Split();
    EXPECT_EQ(SizeOf("d.001"), 400);
    EXPECT_EQ(Read("d.vrn").substr(38) + Read("d.001") + Read("d.002"), Read("d.bin"));
}

TEST_F(SplitTest, HandlerMovesLaterPieces) {
    MakeWhole("m.bin", 250);
    std::filesystem::create_directory(folder.Path() / "other");
    engine.SetFileName(folder / "m.bin");
    engine.SetSize(100);
    engine.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t, std::string& path, bool&) {
        if (diskID == 2)
            path = folder / "other/moved.001";
    };
    engine.Split();
    EXPECT_EQ(FolderNames(folder.Path()), Names({"m.bin", "m.vrn", "other"}));
    EXPECT_EQ(FolderNames(folder.Path() / "other"), Names({"moved.001", "moved.002"}));
}

TEST_F(SplitTest, ContinueFalseEndsAtOnce) {
    MakeWhole("e.bin", 250);
    engine.SetFileName(folder / "e.bin");
    engine.SetSize(100);
    engine.SetWinSplitCompatible(true);
    engine.SetSplitFileName(folder / "e.001");
    engine.OnNeedDisk = [](TVarnSplit&, int32_t diskID, int32_t, std::string&, bool& proceed) {
        proceed = diskID < 2 || diskID == 0;
    };
    engine.Split();
    EXPECT_FALSE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"e.bin", "e.001"}));
}

TEST_F(SplitTest, StopRemovesThePieceCutShort) {
    MakeWhole("s.bin", 1000);
    engine.SetFileName(folder / "s.bin");
    engine.SetSize(400);
    engine.SetBufferSize(100);
    int calls = 0;
    std::vector<int32_t> asked;
    engine.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t, std::string&, bool&) {
        asked.push_back(diskID);
    };
    engine.OnProgress = [&](TVarnSplit& sender, uint16_t) {
        if (++calls == 6) // inside piece 2
            sender.SetStop(true);
    };
    engine.Split();
    EXPECT_FALSE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"s.bin", "s.vrn"}));
    EXPECT_EQ(SizeOf("s.vrn"), 400);
    EXPECT_EQ(asked, (std::vector<int32_t>{1, 2}));
    // The next run clears the stop request.
    engine.OnProgress = nullptr;
    engine.Split();
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(FolderNames(folder.Path()), Names({"s.bin", "s.vrn", "s.001", "s.002"}));
}

TEST_F(SplitTest, MissingInputIsReportedNotThrown) {
    engine.SetFileName(folder / "nothing.bin");
    EXPECT_NO_THROW(engine.Split());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].first, TEngineMessage::emInputFileMissing);
    EXPECT_EQ(reporter.messages[0].second, folder / "nothing.bin");
    EXPECT_TRUE(FolderNames(folder.Path()).empty());
    engine.SetFileName(folder.Path().string()); // a folder is no input file either
    engine.Split();
    EXPECT_EQ(reporter.messages.size(), 2u);
}

namespace {

void ExpectRefused(TVarnSplit& engine, TEngineFault fault) {
    try {
        engine.Split();
        ADD_FAILURE() << "the split was not refused";
    } catch (const EEngineError& error) {
        EXPECT_EQ(error.Fault(), fault) << error.what();
    }
    EXPECT_FALSE(engine.Completed());
}

} // namespace

TEST_F(SplitTest, BadSizesAreRefusedBeforeWriting) {
    MakeWhole("x.dat", 100);
    engine.SetFileName(folder / "x.dat");
    engine.SetSize(0);
    ExpectRefused(engine, TEngineFault::efBadBlockSize);
    engine.SetSize(-5);
    ExpectRefused(engine, TEngineFault::efBadBlockSize);
    engine.SetSize(100);
    engine.SetBufferSize(0);
    ExpectRefused(engine, TEngineFault::efBadBufferSize);
    engine.SetBufferSize(1);
    engine.SetSize(38); // the header alone: .dat, no comment
    ExpectRefused(engine, TEngineFault::efBlockNotLargerThanHeader);
    engine.SetVersion100(true);
    engine.SetSize(34);
    ExpectRefused(engine, TEngineFault::efBlockNotLargerThanHeader);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"x.dat"}));
    // One byte past the header is enough, and a 1-byte buffer works.
    engine.SetSize(35);
    engine.Split();
    EXPECT_EQ(SizeOf("x.vrn"), 35);
    EXPECT_EQ(SizeOf("x.003"), 134 - 3 * 35);
}

TEST_F(SplitTest, SignedModesRefuseWhatTheSignatureCannotHold) {
    MakeSparse("big.img", int64_t{2147483648}); // one byte past the 31-bit size
    engine.SetFileName(folder / "big.img");
    engine.SetSize(int64_t{1} << 30);
    ExpectRefused(engine, TEngineFault::efFileTooLargeForSignature);
    WriteFileBytes(folder / "stub", Elf32Image(100));
    engine.SetStubFileName(folder / "stub");
    engine.SetMakeSUB(true);
    engine.SetSplitFileName(folder / "big.exe");
    ExpectRefused(engine, TEngineFault::efFileTooLargeForSignature);
    engine.SetMakeSUB(false);
    std::remove((folder / "stub").c_str());
    engine.SetVersion100(true);
    ExpectRefused(engine, TEngineFault::efFileTooLargeForSignature);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"big.img"}));

    // 65,536 blocks of 39 bytes (38 header bytes + 65535 * 39 - 38 + 1 data bytes).
    MakeSparse("many.dat", int64_t{65535} * 39 - 38 + 1);
    TVarnSplit other(&reporter);
    other.SetFileName(folder / "many.dat");
    other.SetSize(39);
    ExpectRefused(other, TEngineFault::efTooManyBlocks);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"big.img", "many.dat"}));
}

TEST_F(SplitTest, UnsignedModesTakeFilesPast32Bits) {
    MakeSparse("huge.img", int64_t{5} << 30);
    engine.SetFileName(folder / "huge.img");
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName(folder / "huge.dos");
    engine.SetSize(int64_t{2} << 30);
    std::vector<TNeedDiskCall> calls;
    engine.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t disks, std::string& path,
                            bool& proceed) {
        calls.push_back({diskID, disks, path, proceed});
        proceed = false; // stop before gigabytes are written
    };
    EXPECT_NO_THROW(engine.Split());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].numOfDisks, 3);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"huge.img"}));
}

TEST_F(SplitTest, NeverWritesOverTheSource) {
    // Re-splitting a piece: its own name comes up as the third piece.
    MakeWhole("set.002", 250);
    engine.SetFileName(folder / "set.002");
    engine.SetSize(100);
    ExpectRefused(engine, TEngineFault::efSameAsSource);
    EXPECT_EQ(FolderNames(folder.Path()), Names({"set.002"}));
    EXPECT_EQ(Read("set.002"), PatternBytes(250));

    // The first piece named like the source, or a hard link to it.
    TVarnSplit same(&reporter);
    same.SetFileName(folder / "set.002");
    same.SetSplitFileName(folder / "set.002");
    ExpectRefused(same, TEngineFault::efSameAsSource);
    ASSERT_EQ(link((folder / "set.002").c_str(), (folder / "linked.vrn").c_str()), 0);
    same.SetSplitFileName(folder / "linked.vrn");
    ExpectRefused(same, TEngineFault::efSameAsSource);

    // A handler that points a later piece at the source.
    TVarnSplit moved(&reporter);
    MakeWhole("w.bin", 250, 3);
    moved.SetFileName(folder / "w.bin");
    moved.SetSize(100);
    moved.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t, std::string& path, bool&) {
        if (diskID == 2)
            path = folder / "w.bin";
    };
    ExpectRefused(moved, TEngineFault::efSameAsSource);
    EXPECT_EQ(Read("w.bin"), PatternBytes(250, 3));

    // The information file named like the source.
    MakeWhole("i.wsp", 20);
    TVarnSplit info(&reporter);
    info.SetFileName(folder / "i.wsp");
    info.SetSplitFileName(folder / "i.001");
    info.SetWinSplitCompatible(true);
    std::vector<TNeedDiskCall> calls;
    AnswerEveryQuestion(info, calls);
    ExpectRefused(info, TEngineFault::efSameAsSource);
    EXPECT_FALSE(PathExists(folder / "i.001"));
    EXPECT_EQ(Read("i.wsp"), PatternBytes(20));
}

TEST_F(SplitTest, FourDigitPieceNames) {
    MakeWhole("n.dat", 1001 * 50 - 38);
    engine.SetFileName(folder / "n.dat");
    engine.SetSize(50);
    engine.Split();
    EXPECT_EQ(SizeOf("n.999"), 50);
    EXPECT_EQ(SizeOf("n.1000"), 50);
    EXPECT_FALSE(PathExists(folder / "n.1001"));

    TTempFolder other;
    WriteFileBytes(other / "w.dat", PatternBytes(1000 * 50));
    TVarnSplit winSplit;
    winSplit.SetFileName(other / "w.dat");
    winSplit.SetWinSplitCompatible(true);
    winSplit.SetSplitFileName("");
    winSplit.SetSize(50);
    winSplit.Split();
    EXPECT_TRUE(PathExists(other / "w.001"));
    EXPECT_TRUE(PathExists(other / "w.999"));
    EXPECT_TRUE(PathExists(other / "w.1000"));
    EXPECT_FALSE(PathExists(other / "w.1001"));
}

TEST_F(SplitTest, KeepOriginalExtInEveryName) {
    MakeWhole("report.doc", 150);
    engine.SetKeepOriginalExt(true);
    engine.SetFileName(folder / "report.doc");
    engine.SetSize(100);
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName("");
    engine.Split();
    EXPECT_EQ(FolderNames(folder.Path()),
              Names({"report.doc", "report.doc.dos", "report.doc.001"}));
}

TEST_F(SplitTest, BatchFileOnlyWhenTheHandlerAnswers) {
    engine.SetMakeChecksums(false); // only the information and batch files are asked for
    MakeWhole("report.doc", 150);
    engine.SetFileName(folder / "report.doc");
    engine.SetSize(100);
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName(folder / "report.dos");
    engine.SetMakeBAT(true);
    engine.Split(); // no handler
    EXPECT_FALSE(PathExists(folder / "report.bat"));
    std::vector<TNeedDiskCall> calls;
    AnswerEveryQuestion(engine, calls);
    engine.Split();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].diskID, BatchFileDiskID);
    EXPECT_EQ(calls[2].numOfDisks, 4);
    EXPECT_FALSE(calls[2].continueOnEntry);
    EXPECT_EQ(calls[2].path, folder / "report.bat");
    TBatchFileFacts facts;
    facts.wholeFileName = "report.doc";
    facts.blockCount = 2;
    facts.wholeFileSize = 150;
    facts.pathAfterLastPiece = folder / "report.002";
    facts.dosCompatible = true;
    facts.attributes = engine.Attributes();
    EXPECT_EQ(Read("report.bat"), BatchFileText(facts).value());
}

TEST_F(SplitTest, SelfJoiningFirstPiece) {
    // Only the program image is copied, not what a longer file holds after it.
    const std::string stub = Elf32Image(1000);
    WriteFileBytes(folder / "varnstub.exe", stub + "a piece of an old set");
    MakeWhole("p.dat", 3000);
    engine.SetFileName(folder / "p.dat");
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
    const std::optional<TSignature> signature =
        ParseSignature(reinterpret_cast<const unsigned char*>(first.data()) + 1000, 1000);
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->comment, "0123456789");
    EXPECT_EQ(signature->blockCount, 3); // 3000 + 1000 + 48 bytes in 2000-byte blocks
    EXPECT_EQ(first.substr(1048) + Read("p.001") + Read("p.002"), Read("p.dat"));
    struct stat info {};
    ASSERT_EQ(stat((folder / "p.exe").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    EXPECT_EQ(stat((folder / "p.001").c_str(), &info), 0);
    EXPECT_FALSE(info.st_mode & S_IXUSR);

    engine.SetStubFileName(folder / "missing.exe");
    ExpectRefused(engine, TEngineFault::efStubUnreadable);
}

namespace {

// Runs `body` in a child process whose files may grow to `limit` bytes only,
// and returns the child's exit status (the body's return value).
template <typename Body> int InChildWithFileLimit(rlim_t limit, Body body) {
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN); // so the write fails with EFBIG instead
        const struct rlimit rl = {limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

} // namespace

TEST_F(SplitTest, ShortWriteIsAnErrorNamingThePiece) {
    MakeWhole("f.bin", 3000);
    const int status = InChildWithFileLimit(1500, [&] {
        TVarnSplit child;
        child.SetFileName(folder / "f.bin");
        child.SetSize(2000);
        try {
            child.Split();
        } catch (const EEngineError& error) {
            return error.Fault() == TEngineFault::efWriteFailed && error.Path() == folder / "f.vrn"
                       ? 0
                       : 1;
        }
        return 2;
    });
    EXPECT_EQ(status, 0);
    // The piece cut short is gone; nothing looks like a set.
    EXPECT_EQ(FolderNames(folder.Path()), Names({"f.bin"}));
}

TEST_F(SplitTest, WriteToAFullDevice) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    MakeWhole("g.bin", 300);
    engine.SetFileName(folder / "g.bin");
    engine.SetDOSCompatible(true);
    engine.SetSplitFileName("/dev/full");
    try {
        engine.Split();
        FAIL() << "a full device took the piece";
    } catch (const EEngineError& error) {
        EXPECT_EQ(error.Fault(), TEngineFault::efWriteFailed);
        EXPECT_EQ(error.Path(), "/dev/full");
        EXPECT_EQ(error.SystemError(), ENOSPC);
    }
    EXPECT_FALSE(engine.Completed());
    struct stat info {};
    ASSERT_EQ(stat("/dev/full", &info), 0); // the device node is untouched
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}
