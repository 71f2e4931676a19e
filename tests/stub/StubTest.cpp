// Runs real self-joining first pieces as programs and looks at what they leave
// on disk, what they print and how they exit.

#include "app/ProgramRun.h"
#include "engine/EngineTestSupport.h"
#include "engine/Signature.h"
#include "engine/VarnSplit.h"

#include <pty.h>
#include <sys/stat.h>
#include <tuple>

namespace fs = std::filesystem;

namespace {

struct stat StatOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status;
}

class SelfJoiningSet : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(SetFolder());
        m_stubSize = static_cast<int64_t>(fs::file_size(BuiltStub()));
    }

    fs::path SetFolder() const { return m_folder.Path() / "set"; }
    std::string InSet(const std::string& name) const { return (SetFolder() / name).string(); }
    void EmptySet() {
        fs::remove_all(SetFolder());
        fs::create_directory(SetFolder());
    }

    // Every piece is as long as the first, which holds the stub, the header
    // and FirstPieceData bytes of the file.
    int64_t PieceSize() const { return m_stubSize + FirstPieceData; }

    // A size of movie.dat (a 38-byte header) that makes a set of `pieces`
    // pieces, at least 2.
    std::size_t WholeSizeFor(int pieces) const {
        return FirstPieceData - 38 + static_cast<std::size_t>(PieceSize()) * (pieces - 2) + 5000;
    }

    // Splits `content`, stored as `wholeName`, with the engine into a
    // self-joining set of pieces PieceSize() bytes long; the first piece's name.
    std::string SplitWithEngine(const std::string& wholeName, const std::string& content,
                                bool keepExtension = false, const std::string& comment = "",
                                bool readOnly = false) {
        const std::string source = m_folder / wholeName;
        WriteFileBytes(source, content);
        const timespec times[2] = {{m_accessed, 0}, {m_modified, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
        EXPECT_EQ(chmod(source.c_str(), readOnly ? 0444 : 0644), 0);
        const std::string exeName = keepExtension
                                        ? wholeName + ".exe"
                                        : fs::path(wholeName).replace_extension(".exe").string();
        TVarnSplit engine;
        engine.SetFileName(source);
        engine.SetKeepOriginalExt(keepExtension);
        engine.SetSplitFileName(InSet(exeName));
        engine.SetSize(PieceSize());
        engine.SetMakeSUB(true);
        engine.SetStubFileName(BuiltStub());
        engine.SetStubSize(m_stubSize);
        engine.SetComment(comment);
        engine.Split();
        return exeName;
    }

    TRunResult Run(const std::string& program, const char* argument = nullptr) {
        return RunProgram(program, argument ? TNames{argument} : TNames{}, m_folder.Path());
    }

    TScopedXdgHome m_home;
    TTempFolder m_folder;
    static constexpr std::size_t FirstPieceData = 20000;
    int64_t m_stubSize = 0;
    // Around noon, far from any change of clocks, on even seconds: stored as
    // local DOS times, they come back exactly in any time zone.
    const time_t m_accessed = 1641125046; // 2022-01-02
    const time_t m_modified = 1614859568; // 2021-03-04
};

} // namespace

// The file comes back with its times and read-only state, named as "/unite"
// names it (-keepext too), leaving a stray piece of another set alone; the stub
// says what it rebuilds, the comment line by line.
TEST_F(SelfJoiningSet, RebuildsSetsOfEveryShapeUnderTheNameUniteGives) {
    const struct {
        std::string whole;
        std::size_t size;
        bool keepExtension = false;
        const char* stray = nullptr;
        const char* comment = "";
        bool readOnly = false;
    } cases[] = {
        {"movie.dat", WholeSizeFor(4), false, nullptr, "рядок 1\r\nрядок 2", true},
        {"empty.log", 0},
        {"movie.dat", WholeSizeFor(3), false, "movie.003"},
        {"report.doc", 3000, true},
        {std::string(251, 'n') + ".dat", 3000}, // the longest name a folder holds
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.whole.substr(0, 20));
        EmptySet();
        const std::string content = PatternBytes(test.size, 4);
        const std::string exe =
            SplitWithEngine(test.whole, content, test.keepExtension, test.comment, test.readOnly);
        EXPECT_EQ(StatOf(InSet(exe)).st_mode & S_IXUSR, S_IXUSR);
        const std::size_t pieces = FolderNames(SetFolder()).size();
        if (test.stray)
            WriteFileBytes(InSet(test.stray), "a stray piece of another set");
        TNames names = FolderNames(SetFolder());
        names.push_back(test.whole);
        std::sort(names.begin(), names.end());

        TRunResult run = Run(InSet(exe), test.keepExtension ? "-keepext" : nullptr);
        EXPECT_EQ(run.Status, 0) << run.Err;
        const struct stat rebuilt = StatOf(InSet(test.whole)); // before a read touches it
        EXPECT_TRUE(ReadFileBytes(InSet(test.whole)) == content);
        EXPECT_EQ(FolderNames(SetFolder()), names);
        EXPECT_EQ(std::tuple(rebuilt.st_mtime, rebuilt.st_atime, (rebuilt.st_mode & 0222) == 0),
                  std::tuple(m_modified, m_accessed, test.readOnly));
        const std::string comment = *test.comment ? "Коментар: рядок 1\nрядок 2\n" : "";
        for (const std::string& said : {InSet(test.whole), std::to_string(test.size),
                                        "Блоків: " + std::to_string(pieces), comment})
            EXPECT_NE(run.Out.find(said), std::string::npos) << said << " not in " << run.Out;
    }
}

// Pieces of the wrong length, no whole first piece, an existing file without a
// terminal to ask, an extension leaving the folder: each refusal names the
// piece and leaves the folder as it was.
TEST_F(SelfJoiningSet, RefusalsNameThePieceAndLeaveNothing) {
    using TDamage = std::function<void(const std::string& piece)>;
    const auto append = [](const std::string& piece, const char* bytes) {
        WriteFileBytes(piece, ReadFileBytes(piece) + bytes);
    };
    const TDamage remove = [](const std::string& piece) { fs::remove(piece); };
    const struct {
        const char* piece;
        const char* says;
        TDamage damage;
        bool split = true;
    } cases[] = {
        {"movie.002", "Не знайдено частину", remove},
        {"movie.001", "байт",
         [&](const std::string& piece) {
             fs::resize_file(piece, PieceSize() - 3);
             append(InSet("movie.003"), "XYZ");
         }},
        {"movie.003", "байт", [&](const std::string& piece) { append(piece, "trailing"); }},
        // A fifo in place of a piece is no piece, and no wait for a writer.
        {"movie.002", "Не знайдено частину",
         [&](const std::string& piece) {
             remove(piece);
             ASSERT_EQ(mkfifo(piece.c_str(), 0600), 0);
         }},
        {"movie.exe", "Перша частина",
         [](const std::string& piece) { fs::resize_file(piece, fs::file_size(piece) - 1); }},
        {"movie.dat", "без терміналу",
         [](const std::string& piece) { WriteFileBytes(piece, "keep me"); }},
        {"varnstub.exe", "не є першою частиною",
         [](const std::string& piece) { fs::copy_file(BuiltStub(), piece); }, false},
        // A hand-laid set of one piece: the engine never stores such an
        // extension, which would rebuild set/tool/../escaped.
        {"tool.exe", "неприпустиме розширення",
         [&](const std::string& piece) {
             fs::create_directory(SetFolder() / "tool");
             TSignature signature;
             signature.wholeFileSize = 3000;
             signature.blockCount = 1;
             signature.extension = "/../escaped";
             WriteFileBytes(piece, ReadFileBytes(BuiltStub()) + EncodeSignature(signature) +
                                       PatternBytes(3000, 9));
             ASSERT_EQ(chmod(piece.c_str(), 0755), 0);
         },
         false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.piece);
        EmptySet();
        const std::string piece = InSet(test.piece);
        // A first piece that is the whole set tells its damage by itself.
        const bool onePiece = std::string(test.piece) == "movie.exe";
        if (test.split)
            SplitWithEngine("movie.dat", PatternBytes(onePiece ? 5000 : WholeSizeFor(4), 3));
        test.damage(piece);
        const TNames before = FolderNames(SetFolder());
        TRunResult run = Run(test.split ? InSet("movie.exe") : piece);
        EXPECT_EQ(run.Status, 1);
        EXPECT_TRUE(Contains(run.Err, piece) && Contains(run.Err, test.says)) << run.Err;
        EXPECT_EQ(FolderNames(SetFolder()), before);
    }
}

TEST_F(SelfJoiningSet, ExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    const std::string content = PatternBytes(WholeSizeFor(2), 3);
    SplitWithEngine("movie.dat", content);
    WriteFileBytes(InSet("movie.dat"), "keep me");

    for (const std::string answer : {"n\n", "y\n"}) {
        int master = -1;
        int slave = -1;
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        ASSERT_EQ(write(master, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
        const TRunResult run =
            TStartedProgram(InSet("movie.exe"), {}, m_folder.Path(), {}, slave, master).Wait();
        close(master);
        EXPECT_NE(run.Out.find("Замінити його? (y/n)"), std::string::npos) << run.Out;
        EXPECT_EQ(run.Status == 0, answer == "y\n") << run.Err;
        EXPECT_TRUE(ReadFileBytes(InSet("movie.dat")) == (answer == "y\n" ? content : "keep me"));
    }
}
