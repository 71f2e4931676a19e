// Runs real self-joining first pieces as programs and looks at what they leave
// on disk, what they print and how they exit.

#include "engine/EngineTestSupport.h"
#include "engine/SelfJoin.h"
#include "engine/Signature.h"
#include "engine/VarnSplit.h"
#include "platform/FileTimes.h"
#include "support/TempFolder.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

time_t LocalMoment(int year, int month, int day, int hour, int minute, int second) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

void SetTimes(const std::string& path, time_t access, time_t modification) {
    struct timespec times[2] = {{access, 0}, {modification, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct stat StatOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status;
}

std::set<std::string> NamesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Compares file contents without printing megabytes of binary on a mismatch.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes instead of " << expected.size()
                                         << ", first difference at byte " << at;
}

// What a finished run of a program left behind.
struct TRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class SelfJoiningSet : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(SetFolder());
        m_stubSize = static_cast<int64_t>(fs::file_size(BuiltStub()));
    }

    fs::path SetFolder() const { return m_folder.Path() / "set"; }
    std::string InSet(const std::string& name) const { return (SetFolder() / name).string(); }

    // Every piece is as long as the first, which holds the stub, the header
    // and `firstPieceData` bytes of the file.
    int64_t PieceSize() const { return m_stubSize + FirstPieceData; }

    // A whole-file size that makes a set of `pieces` pieces (at least 2) with
    // a signature header of `header` bytes.
    std::size_t WholeSizeFor(int pieces, std::size_t header) const {
        return FirstPieceData - header + static_cast<std::size_t>(PieceSize()) * (pieces - 2) +
               5000;
    }

    // Splits `content`, stored as `wholeName`, with the engine into a
    // self-joining set of pieces PieceSize() bytes long.
    void SplitWithEngine(const std::string& wholeName, const std::string& content,
                         bool keepExtension = false) {
        const std::string source = m_folder / wholeName;
        WriteFileBytes(source, content);
        SetTimes(source, LocalMoment(2022, 1, 2, 3, 4, 6), m_modified);
        TVarnSplit engine;
        engine.SetFileName(source);
        engine.SetKeepOriginalExt(keepExtension);
        const std::string exeName = keepExtension
                                        ? wholeName + ".exe"
                                        : fs::path(wholeName).replace_extension(".exe").string();
        engine.SetSplitFileName(InSet(exeName));
        engine.SetSize(PieceSize());
        engine.SetMakeSUB(true);
        engine.SetStubFileName(BuiltStub());
        engine.SetStubSize(m_stubSize);
        engine.Split();
        ASSERT_TRUE(fs::exists(InSet(exeName)));
    }

    // Lays a set out by hand, so that the stub is tried on signatures the
    // engine would never write.
    void LayOutSet(const std::string& exeName, const TSignature& signature,
                   const std::string& content, std::size_t dataInFirstPiece,
                   std::size_t dataPerPiece) {
        const std::string first = ReadFileBytes(BuiltStub()) + EncodeSignature(signature) +
                                  content.substr(0, dataInFirstPiece);
        const std::string firstPath = InSet(exeName);
        WriteFileBytes(firstPath, first);
        ASSERT_EQ(chmod(firstPath.c_str(), 0755), 0);
        std::string piecePath = firstPath;
        int number = 1;
        for (std::size_t at = dataInFirstPiece; at < content.size(); at += dataPerPiece, ++number) {
            piecePath = fs::path(piecePath).replace_extension("." + ZeroPadded(number)).string();
            WriteFileBytes(piecePath, content.substr(at, dataPerPiece));
        }
    }

    static std::string ZeroPadded(int number) {
        std::string digits = std::to_string(number);
        return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
    }

    TSignature SignatureFor(const std::string& content, const std::string& extension,
                            uint16_t blockCount) const {
        TSignature signature;
        signature.wholeFileSize = static_cast<int32_t>(content.size());
        signature.attributes = 32;
        signature.lastAccessTime = PackDosDateTime(LocalMoment(2022, 1, 2, 3, 4, 6));
        signature.lastWriteTime = PackDosDateTime(m_modified);
        signature.creationTime = signature.lastWriteTime;
        signature.blockCount = blockCount;
        signature.extension = extension;
        return signature;
    }

    // Runs `program` with `input` as its standard input (a file path or
    // a terminal descriptor when `terminal` >= 0).
    TRun Run(const std::string& program, int terminal = -1, const char* argument = nullptr) {
        const std::string outPath = m_folder / "stdout.txt";
        const std::string errPath = m_folder / "stderr.txt";
        const std::string terminalName = terminal >= 0 ? ptsname(terminal) : "";
        pid_t child = fork();
        if (child == 0) {
            int input = terminal;
            if (terminal >= 0) {
                setsid();
                input = open(terminalName.c_str(), O_RDWR);
            } else {
                input = open("/dev/null", O_RDONLY);
            }
            int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (input < 0 || out < 0 || err < 0)
                _exit(125);
            dup2(input, STDIN_FILENO);
            dup2(out, STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
            _exit(126);
        }
        TRun run;
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFileBytes(outPath);
        run.err = ReadFileBytes(errPath);
        return run;
    }

    TScopedXdgHome m_home;
    TTempFolder m_folder;
    static constexpr std::size_t FirstPieceData = 20000;
    int64_t m_stubSize = 0;
    time_t m_modified = LocalMoment(2021, 3, 4, 5, 6, 8);
};

} // namespace

TEST(Stub, IsAStaticImageWellOverTheLeastSizeOfAnUndamagedStub) {
    const std::string stub = BuiltStub();
    ASSERT_TRUE(fs::exists(stub)) << stub;
    EXPECT_GT(fs::file_size(stub), 88000u);
    EXPECT_EQ(StubLengthOf(stub), static_cast<int64_t>(fs::file_size(stub)));
    // A static program names no dynamic loader.
    EXPECT_EQ(ReadFileBytes(stub).find("/lib64/ld-linux"), std::string::npos);
}

TEST_F(SelfJoiningSet, RebuildsTheWholeFileWithItsTimes) {
    const std::string content = PatternBytes(WholeSizeFor(4, 38), 3);
    SplitWithEngine("movie.dat", content);
    ASSERT_TRUE(fs::exists(InSet("movie.003")));
    ASSERT_FALSE(fs::exists(InSet("movie.004")));

    const struct stat piece = StatOf(InSet("movie.exe"));
    EXPECT_EQ(piece.st_mode & S_IXUSR, S_IXUSR) << "the first piece must run as a program";

    TRun run = Run(InSet("movie.exe"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(SameBytes(ReadFileBytes(InSet("movie.dat")), content));
    EXPECT_EQ(StatOf(InSet("movie.dat")).st_mtime, m_modified);
    EXPECT_NE(run.out.find("movie.dat"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(std::to_string(content.size())), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Блоків: 4"), std::string::npos) << run.out;
    EXPECT_EQ(NamesIn(SetFolder()), (std::set<std::string>{"movie.exe", "movie.001", "movie.002",
                                                           "movie.003", "movie.dat"}));
}

// One piece, an empty file, and a stray piece of another set after the last.
TEST_F(SelfJoiningSet, RebuildsSmallSetsAndIgnoresStrayPieces) {
    const struct {
        const char* whole;
        std::size_t size;
        const char* stray;
    } cases[] = {
        {"small.txt", 5000, nullptr},
        {"empty.log", 0, nullptr},
        {"movie.dat", WholeSizeFor(3, 38), "movie.003"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.whole);
        const std::string content = PatternBytes(c.size, 4);
        SplitWithEngine(c.whole, content);
        if (c.stray)
            WriteFileBytes(InSet(c.stray), "a stray piece of another set");
        TRun run = Run(InSet(fs::path(c.whole).replace_extension(".exe").string()));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        ASSERT_TRUE(fs::exists(InSet(c.whole)));
        EXPECT_TRUE(SameBytes(ReadFileBytes(InSet(c.whole)), content));
    }
}

// The whole file is named as "/unite" names it: the first piece's extension
// replaced by the stored one, or only removed with "-keepext".
TEST_F(SelfJoiningSet, NamesTheWholeFileAsUniteDoes) {
    const struct {
        std::string whole;
        bool keepExtension;
    } cases[] = {
        {"x.c.c", false},
        {"backup.tar.tar", false},
        {"report.doc", true},
        {std::string(251, 'n') + ".dat", false}, // the longest name a folder holds
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.whole);
        const std::string content = PatternBytes(3000, 5);
        SplitWithEngine(item.whole, content, item.keepExtension);
        fs::remove(m_folder / item.whole);
        const std::string exe = item.keepExtension
                                    ? item.whole + ".exe"
                                    : fs::path(item.whole).replace_extension(".exe").string();
        TRun run = Run(InSet(exe), -1, item.keepExtension ? "-keepext" : nullptr);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(SameBytes(ReadFileBytes(InSet(item.whole)), content));
        EXPECT_EQ(NamesIn(SetFolder()), (std::set<std::string>{exe, item.whole}));
        fs::remove(InSet(exe));
        fs::remove(InSet(item.whole));
    }
}

// Every piece but the last is exactly as long as the first and the last holds
// exactly what is left; anything else names the piece and rebuilds nothing.
TEST_F(SelfJoiningSet, DamagedSetsNameThePieceAndLeaveNothing) {
    enum TDamage { dMissing, dShortMiddle, dShortMiddleLongLast, dLongLast, dFifo };
    const struct {
        TDamage damage;
        const char* piece;
        const char* says;
    } cases[] = {
        {dMissing, "movie.002", "Не знайдено частину"}, {dShortMiddle, "movie.001", "байт"},
        {dShortMiddleLongLast, "movie.001", "байт"},    {dLongLast, "movie.003", "байт"},
        {dFifo, "movie.002", "Не знайдено частину"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.piece);
        SplitWithEngine("movie.dat", PatternBytes(WholeSizeFor(4, 38), 3));
        const std::string piece = InSet(item.piece);
        switch (item.damage) {
        case dMissing:
            fs::remove(piece);
            break;
        case dShortMiddle:
            fs::resize_file(piece, PieceSize() - 1);
            break;
        case dShortMiddleLongLast:
            fs::resize_file(piece, PieceSize() - 3);
            WriteFileBytes(InSet("movie.003"), ReadFileBytes(InSet("movie.003")) + "XYZ");
            break;
        case dLongLast:
            WriteFileBytes(piece, ReadFileBytes(piece) + "trailing bytes");
            break;
        case dFifo:
            fs::remove(piece);
            ASSERT_EQ(mkfifo(piece.c_str(), 0600), 0);
            break;
        }
        const std::set<std::string> before = NamesIn(SetFolder());
        TRun run = Run(InSet("movie.exe")); // a FIFO must not make it wait
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(piece), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(item.says), std::string::npos) << run.err;
        EXPECT_EQ(NamesIn(SetFolder()), before);
        fs::remove_all(SetFolder());
        fs::create_directory(SetFolder());
    }
}

TEST_F(SelfJoiningSet, TruncatedFirstPieceIsRefused) {
    SplitWithEngine("small.txt", PatternBytes(5000, 4));
    fs::resize_file(InSet("small.exe"), fs::file_size(InSet("small.exe")) - 1);

    TRun run = Run(InSet("small.exe"));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("Перша частина"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(InSet("small.txt")));
}

TEST_F(SelfJoiningSet, ExistingFileIsKeptWithoutATerminal) {
    SplitWithEngine("movie.dat", PatternBytes(WholeSizeFor(2, 38), 3));
    WriteFileBytes(InSet("movie.dat"), "keep me");
    const std::set<std::string> before = NamesIn(SetFolder());

    TRun run = Run(InSet("movie.exe"));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("без терміналу"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(InSet("movie.dat")), "keep me");
    EXPECT_EQ(NamesIn(SetFolder()), before);
}

TEST_F(SelfJoiningSet, ExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    const std::string content = PatternBytes(WholeSizeFor(2, 38), 3);
    SplitWithEngine("movie.dat", content);
    WriteFileBytes(InSet("movie.dat"), "keep me");

    for (const std::string answer : {"n\n", "y\n"}) {
        int terminal = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(terminal, 0);
        ASSERT_EQ(grantpt(terminal), 0);
        ASSERT_EQ(unlockpt(terminal), 0);
        ASSERT_EQ(write(terminal, answer.data(), answer.size()),
                  static_cast<ssize_t>(answer.size()));
        TRun run = Run(InSet("movie.exe"), terminal);
        close(terminal);
        EXPECT_NE(run.out.find("Замінити його? (y/n)"), std::string::npos) << run.out;
        if (answer == "n\n") {
            EXPECT_NE(run.exitCode, 0);
            EXPECT_EQ(ReadFileBytes(InSet("movie.dat")), "keep me");
        } else {
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_TRUE(SameBytes(ReadFileBytes(InSet("movie.dat")), content));
        }
    }
}

TEST_F(SelfJoiningSet, RestoresStoredTimesAndReadOnly) {
    // Every piece is as long as the first: stub, 38 header bytes, data.
    const std::size_t header = 38;
    const std::size_t pieceSize = static_cast<std::size_t>(m_stubSize) + 10000;
    const std::string content = PatternBytes((10000 - header) + pieceSize + 500, 8);
    TSignature signature = SignatureFor(content, ".bin", 3);
    signature.attributes = 1 | 32;
    ASSERT_EQ(EncodedSignatureLength(signature), header);
    LayOutSet("tool.exe", signature, content, 10000 - header, pieceSize);
    ASSERT_TRUE(fs::exists(InSet("tool.002")));

    TRun run = Run(InSet("tool.exe"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const struct stat rebuilt = StatOf(InSet("tool.bin")); // before a read touches it
    EXPECT_TRUE(SameBytes(ReadFileBytes(InSet("tool.bin")), content));
    EXPECT_EQ(rebuilt.st_mode & 0222, 0u) << "read-only takes every write bit away";
    EXPECT_EQ(rebuilt.st_mtime, m_modified);
    EXPECT_EQ(rebuilt.st_atime, LocalMoment(2022, 1, 2, 3, 4, 6));
}

TEST_F(SelfJoiningSet, InvalidStoredTimesAreNeverApplied) {
    const std::string content = PatternBytes(3000, 9);
    TSignature signature = SignatureFor(content, ".bin", 1);
    signature.lastWriteTime = 0;
    signature.lastAccessTime = 0xFFFFFFFF;
    LayOutSet("tool.exe", signature, content, content.size(), 1);
    const time_t before = std::time(nullptr);

    TRun run = Run(InSet("tool.exe"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GE(StatOf(InSet("tool.bin")).st_mtime, before - 1);
}

TEST_F(SelfJoiningSet, ShowsTheCommentLineByLine) {
    const std::string content = PatternBytes(3000, 10);
    TSignature signature = SignatureFor(content, "", 1);
    signature.comment = "рядок 1\r\nрядок 2";
    LayOutSet("notes.exe", signature, content, content.size(), 1);

    TRun run = Run(InSet("notes.exe"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Коментар: рядок 1\nрядок 2\n"), std::string::npos) << run.out;
    EXPECT_TRUE(SameBytes(ReadFileBytes(InSet("notes")), content)) << "no extension stored";
}

TEST_F(SelfJoiningSet, ExtensionThatLeavesTheFolderIsRefused) {
    const std::string content = PatternBytes(3000, 9);
    fs::create_directory(SetFolder() / "tool");
    TSignature signature = SignatureFor(content, "/../escaped", 1);
    LayOutSet("tool.exe", signature, content, content.size(), 1);

    TRun run = Run(InSet("tool.exe"));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(fs::exists(SetFolder() / "escaped"));
    EXPECT_TRUE(fs::is_empty(SetFolder() / "tool"));
}

TEST_F(SelfJoiningSet, BareStubSaysItIsNoFirstPiece) {
    const std::string copy = InSet("varnstub.exe");
    fs::copy_file(BuiltStub(), copy);
    const std::set<std::string> before = NamesIn(SetFolder());

    TRun run = Run(copy);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("не є першою частиною"), std::string::npos) << run.err;
    EXPECT_EQ(NamesIn(SetFolder()), before);
}
