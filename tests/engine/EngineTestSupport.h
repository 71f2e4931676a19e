#pragma once

#include "engine/FileUtils.h"
#include "engine/Signature.h"
#include "engine/VarnSplit.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

// Collects the engine's own messages instead of showing them.
class TRecordingReporter : public IEngineReporter {
public:
    using TMessages = std::vector<std::pair<TEngineMessage, std::string>>;
    void Report(TEngineMessage message, const std::string& path) override {
        messages.emplace_back(message, path);
    }
    TMessages messages;
};

// A fresh temporary folder and home for each test, and an engine whose
// messages are recorded.
class TEngineFolderTest : public ::testing::Test {
protected:
    // A whole file of `size` pattern bytes at folder/name.
    std::string MakeWhole(const std::string& name, std::size_t size, unsigned seed = 1) {
        WriteFileBytes(folder / name, PatternBytes(size, seed));
        return folder / name;
    }
    std::string Read(const std::string& name) { return ReadFileBytes(folder / name); }

    TScopedXdgHome home;
    TTempFolder folder;
    TRecordingReporter reporter;
    TVarnSplit engine{&reporter};
};

// One OnNeedDisk question as the engine asked it: disk, disks and path.
using TNeedDiskCall = std::tuple<int32_t, int32_t, std::string>;

// A handler that answers Continue = true at the offered path, as the command
// line does, and records every question in `calls` when given.
inline void AnswerEveryQuestion(TVarnSplit& engine, std::vector<TNeedDiskCall>* calls = nullptr) {
    engine.OnNeedDisk = [calls](TVarnSplit&, int32_t diskID, int32_t numOfDisks, std::string& path,
                                bool& proceed) {
        if (calls != nullptr)
            calls->emplace_back(diskID, numOfDisks, path);
        proceed = true;
    };
}

inline std::vector<std::string> Names(std::initializer_list<const char*> names) {
    std::vector<std::string> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

inline void PutLe(std::string& bytes, std::size_t offset, uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        bytes.at(offset + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A minimal 32-bit little-endian ELF image: the 52-byte header, one program
// header at 52 and a segment that ends at `segmentEnd`. Small sets use it as
// their stub, since a split copies only a real program image.
inline std::string Elf32Image(uint32_t segmentEnd) {
    std::string image(segmentEnd, '\0');
    image.replace(0, 7, "\177ELF\1\1\1"); // 32 bits, little-endian, version 1
    PutLe(image, 28, 52, 4);              // e_phoff
    PutLe(image, 40, 52, 2);              // e_ehsize
    PutLe(image, 42, 32, 2);              // e_phentsize
    PutLe(image, 44, 1, 2);               // e_phnum
    PutLe(image, 52 + 0, 1, 4);           // PT_LOAD
    PutLe(image, 52 + 4, 0, 4);           // p_offset
    PutLe(image, 52 + 16, segmentEnd, 4); // p_filesz
    return image;
}

// A version 1.1 signature (the default) whose fields all differ, byte for byte
// (3000000 is 0x002DC6C0).
inline TSignature SampleSignature() {
    return {.wholeFileSize = 3000000,
            .attributes = 0x21,
            .creationTime = 0x11223344,
            .lastAccessTime = 0x55667788,
            .lastWriteTime = 0x99AABBCC,
            .blockCount = 0x0103,
            .extension = ".dat",
            .comment = "hi\r\n"};
}

// Runs `action` and expects the engine's `fault`, naming `path` and the
// system's `systemError` when they are given.
template <typename Action>
void ExpectFault(Action action, TEngineFault fault, const std::string& path = "",
                 int systemError = 0) {
    try {
        action();
        ADD_FAILURE() << "no fault was raised";
    } catch (const EEngineError& error) {
        EXPECT_EQ(error.Fault(), fault) << error.what();
        EXPECT_TRUE(path.empty() || error.Path() == path) << error.Path();
        EXPECT_TRUE(systemError == 0 || error.SystemError() == systemError) << error.SystemError();
    }
}

// Empties the folder, so that one test can build several sets in turn.
inline void ClearFolder(const TTempFolder& folder) {
    for (const std::string& name : FolderNames(folder.Path()))
        std::filesystem::remove_all(folder.Path() / name);
}

// Runs `action` in a child process whose files may grow to `limit` bytes only;
// true when it failed on a write to `path` that the limit cut short.
template <typename Action>
bool FailsWritingPastLimit(rlim_t limit, const std::string& path, Action action) {
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN); // so the write fails with EFBIG instead
        const struct rlimit rl = {limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        try {
            action();
        } catch (const EEngineError& error) {
            const bool cut = error.Fault() == TEngineFault::efWriteFailed && error.Path() == path &&
                             error.SystemError() == EFBIG;
            _exit(cut ? 0 : 1);
        }
        _exit(2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The stub is built into the same folder as the test programs.
inline std::string BuiltStub() {
    const char* binDir = std::getenv("VARN_BIN_DIR");
    if (binDir != nullptr && *binDir != '\0')
        return std::string(binDir) + "/varnstub.exe";
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "varnstub.exe")
        .string();
}

// Splits folder/whole in the given mode with `size`-byte blocks, answering every
// question; returns the first piece (or the information file of a WinSplit set).
// Normal and self-joining sets carry a comment; the stub is a 300-byte stand-in.
inline std::string SplitSet(const TTempFolder& folder, TSplitMode mode, const std::string& whole,
                            int64_t size) {
    TVarnSplit splitter;
    splitter.SetFileName(folder / whole);
    splitter.SetSize(size);
    splitter.SetBufferSize(7);
    splitter.SetDOSCompatible(mode == smDOS);
    splitter.SetVersion100(mode == smVersion10);
    splitter.SetWinSplitCompatible(mode == smWinSplit);
    splitter.SetMakeSUB(mode == smSelfJoining);
    splitter.SetComment(mode == smNormal || mode == smSelfJoining ? "a comment" : "");
    if (mode == smSelfJoining) {
        WriteFileBytes(folder / "stub.bin", Elf32Image(300));
        splitter.SetStubFileName(folder / "stub.bin");
    }
    splitter.SetSplitFileName(ReplaceExtension(folder / whole, splitter.FirstPieceExtension()));
    AnswerEveryQuestion(splitter);
    splitter.Split();
    EXPECT_TRUE(splitter.Completed());
    return mode == smWinSplit ? ReplaceExtension(folder / whole, ".wsp") : splitter.SplitFileName();
}

// Splits `source` into 1000-byte pieces named from `firstPiece` on, DOS- or
// WinSplit-compatible, with a batch file that the handler puts at `batchFile`.
inline void SplitWithBatchFile(const std::string& source, const std::string& firstPiece,
                               bool winSplit, const std::string& batchFile) {
    TVarnSplit engine;
    engine.SetFileName(source);
    engine.SetSize(1000);
    engine.SetBufferSize(300);
    engine.SetMakeBAT(true);
    engine.SetWinSplitCompatible(winSplit);
    engine.SetDOSCompatible(!winSplit);
    engine.SetKeepOriginalExt(FileNamePart(firstPiece).starts_with(FileNamePart(source)));
    engine.SetSplitFileName(firstPiece);
    engine.OnNeedDisk = [&](TVarnSplit&, int32_t diskID, int32_t, std::string& path,
                            bool& carryOn) {
        if (diskID == BatchFileDiskID)
            path = batchFile;
        carryOn = true;
    };
    engine.Split();
}

// The pieces of the set that starts at `first` (for a WinSplit-compatible set
// its information file), in order.
inline std::vector<std::string> PiecesFrom(TSplitMode mode, const std::string& first) {
    std::vector<std::string> pieces;
    std::string path = mode == smWinSplit ? ReplaceExtension(first, ".001") : first;
    for (int64_t k = 1; std::filesystem::exists(path); ++k) {
        pieces.push_back(path);
        path = NextPiecePath(path, k, mode == smWinSplit);
    }
    return pieces;
}
