// The built program's command line: each switch must reach the engine (tested
// in tests/engine) and each outcome the user, as exit status, text and files.
#include "ProgramRun.h"
#include "app/CommandRunner.h"
#include "texts/Texts.h"

#include <pty.h>

#include <functional>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using TArguments = std::vector<std::string>;
constexpr const char* BlockSize = "1457664";

class CommandLineRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(ProgramPath())) << ProgramPath();
        fs::create_directories(m_work.Path() / "in");
        EmptyFolders();
        m_whole = PatternBytes(3000000, 11);
        WriteFileBytes(In("a.dat"), m_whole);
    }

    void EmptyFolders() {
        for (const char* name : {"out", "back"}) {
            fs::remove_all(m_work.Path() / name);
            fs::create_directories(m_work.Path() / name);
        }
    }

    // A work folder, or a name in it; the folder without the trailing "/".
    std::string In(const std::string& name = "") const { return Sub("in", name); }
    std::string Out(const std::string& name = "") const { return Sub("out", name); }
    std::string Back(const std::string& name = "") const { return Sub("back", name); }
    std::string Sub(const std::string& folder, const std::string& name) const {
        return m_work / (name.empty() ? folder : folder + "/" + name);
    }

    TRunResult Run(const TArguments& arguments, const std::string& program = ProgramPath()) {
        return RunProgram(program, arguments, m_capture.Path());
    }

    // Success with nothing said: no progress reaches an error that is no terminal.
    void RunOk(const TArguments& arguments) {
        const TRunResult result = Run(arguments);
        EXPECT_EQ(std::tuple(result.Status, result.Err, result.Out), std::tuple(0, "", ""));
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_work;
    TTempFolder m_capture;
    std::string m_whole;
};

// Every split switch shows in the set, and /unite rebuilds each set it takes.
TEST_F(CommandLineRun, EachSwitchShapesTheSetAndTheSetUnites) {
    struct TCase {
        TArguments Split; // after the source and the folder
        TNames Names;
        std::string Head;      // the first piece's first bytes
        std::string First;     // the piece /unite takes; empty when none
        TArguments Unite = {}; // after the folder
    };
    const std::string v110("VRNv110\x1A"), v100("VRNv100\x1A"), elf("\177ELF");
    const TCase cases[] = {
        {{BlockSize}, {"a.001", "a.002", "a.sha256", "a.vrn"}, v110, "a.vrn"},
        {{BlockSize, "-ver100"}, {"a.001", "a.002", "a.sha256", "a.vrn"}, v100, "a.vrn", {"-del"}},
        {{BlockSize, "-dos", "-bat"}, {"a.001", "a.002", "a.bat", "a.dos", "a.sha256"}, "", ""},
        {{BlockSize, "-wsp", "-bat"},
         {"a.001", "a.002", "a.003", "a.bat", "a.sha256", "a.wsp"},
         "",
         "a.wsp"},
        {{BlockSize, "-keepext"},
         {"a.dat.001", "a.dat.002", "a.dat.sha256", "a.dat.vrn"},
         v110,
         "a.dat.vrn",
         {"-keepext"}},
        // A set without checksums unites, saying it could not be checked.
        {{BlockSize, "-nosum"}, {"a.001", "a.002", "a.vrn"}, v110, "a.vrn"},
        {{BlockSize, "-self"}, {"a.001", "a.002", "a.exe", "a.sha256"}, elf, "a.exe"},
        // A count is sized with the header the set gets, the stub's included.
        {{"-n", "2"}, {"a.001", "a.sha256", "a.vrn"}, v110, "a.vrn"},
        {{"-n", "2", "-self"}, {"a.001", "a.exe", "a.sha256"}, elf, "a.exe"},
    };
    for (const TCase& test : cases) {
        TArguments split = {"/split", In("a.dat"), Out()};
        split.insert(split.end(), test.Split.begin(), test.Split.end());
        SCOPED_TRACE(split.back());
        EmptyFolders();
        RunOk(split);
        EXPECT_EQ(FolderNames(Out()), test.Names);
        if (test.First.empty())
            continue;
        EXPECT_EQ(ReadFileBytes(Out(test.First)).substr(0, test.Head.size()), test.Head);
        TArguments unite = {"/unite", Out(test.First), Back()};
        unite.insert(unite.end(), test.Unite.begin(), test.Unite.end());
        const TRunResult result = Run(unite);
        EXPECT_EQ(result.Status, 0) << result.Err;
        EXPECT_TRUE(test.Split.back() != "-nosum" ? result.Err.empty()
                                                  : Contains(result.Err, Out("a.sha256")))
            << result.Err;
        EXPECT_EQ(FolderNames(Back()), TNames{"a.dat"});
        EXPECT_TRUE(ReadFileBytes(Back("a.dat")) == m_whole);
        EXPECT_EQ(FolderNames(Out()),
                  test.Unite.empty() || test.Unite[0] != "-del" ? test.Names : TNames{"a.sha256"});
    }
}

// /verify prints each piece and a summary, and exits 0 only for an intact set.
TEST_F(CommandLineRun, VerifyTellsEachPieceAndExitsZeroOnlyForAnIntactSet) {
    RunOk({"/split", In("a.dat"), Out(), BlockSize});
    const std::string piece = ReadFileBytes(Out("a.002"));
    const std::string checksums = ReadFileBytes(Out("a.sha256"));
    const struct {
        std::function<void()> Damage;
        int Status;
        std::string Line;
    } cases[] = {
        {[] {}, 0, Out("a.002") + ": ціла"},
        {[&] { WriteFileBytes(Out("a.002"), std::string(piece).replace(7, 1, 1, ~piece[7])); }, 1,
         Out("a.002") + ": пошкоджена (контрольна сума SHA-256 не збігається)"},
        {[&] { fs::resize_file(Out("a.002"), 5); }, 1,
         Out("a.002") + ": пошкоджена (5 байт, а має бути 84710)"},
        {[&] { fs::remove(Out("a.002")); }, 1, Out("a.002") + ": відсутня"},
        {[&] { fs::remove(Out("a.sha256")); }, 0,
         "Контрольні суми недоступні (файл '" + Out("a.sha256") + "' не знайдено)"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Line);
        WriteFileBytes(Out("a.002"), piece);
        WriteFileBytes(Out("a.sha256"), checksums);
        test.Damage();
        const TRunResult result = Run({"/verify", Out("a.vrn")});
        EXPECT_EQ(result.Status, test.Status) << result.Err;
        EXPECT_TRUE(Contains(result.Out, test.Line) && Contains(result.Out, "Частин: 3;"))
            << result.Out;
    }
}

// Refused before the engine starts: status 2, by the runner or engine: 1; each
// says why, naming the file, and writes nothing.
TEST_F(CommandLineRun, RefusedRunsSayWhyAndWriteNothing) {
    WriteFileBytes(Out("b.vrn"), PatternBytes(5000, 3));
    WriteFileBytes(In("empty.dat"), "");
    const struct {
        TArguments Arguments;
        int Status;
        std::string Said;
    } cases[] = {
        {{"/cut", In("a.dat"), Out(), BlockSize}, 2, Texts::CliSeeHelp},
        {{"/split", In("none.dat"), Out(), BlockSize}, 2, In("none.dat")},
        {{"/unite", Out(), Back()}, 2, "не файл"},
        {{"/unite", Out("b.vrn"), Back()}, 1, Texts::EngineUnknownSignature},
        {{"/split", In("a.dat"), Out("missing"), BlockSize}, 1, Out("missing")},
        {{"/split", In("empty.dat"), Out(), "-n", "2"}, 1, In("empty.dat")},
    };
    const TNames outNames = FolderNames(Out());
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Said);
        const TRunResult result = Run(test.Arguments);
        EXPECT_EQ(result.Status, test.Status) << result.Err;
        EXPECT_TRUE(Contains(result.Err, test.Said)) << result.Err;
        EXPECT_EQ(std::tuple(result.Out, FolderNames(Out()), FolderNames(Back())),
                  std::tuple("", outNames, TNames{}));
    }
}

// Pieces that cannot be deleted do not make "-del" a silent success.
TEST_F(CommandLineRun, DelWarnsAboutPiecesItCannotDelete) {
    RunOk({"/split", In("a.dat"), Out(), BlockSize});
    // Even root cannot delete from an immutable folder; others from a read-only one.
    const bool root = geteuid() == 0;
    const std::string lock = (root ? "chattr +i '" : "chmod a-w '") + Out() + "'";
    const std::string unlock = (root ? "chattr -i '" : "chmod u+w '") + Out() + "'";
    if (std::system(lock.c_str()) != 0)
        GTEST_SKIP() << "the folder cannot be made read-only here";
    const TRunResult result = Run({"/unite", Out("a.vrn"), Back(), "-del"});
    ASSERT_EQ(std::system(unlock.c_str()), 0);
    EXPECT_EQ(result.Status, 1);
    for (const char* piece : {"a.vrn", "a.001", "a.002"})
        EXPECT_TRUE(Contains(result.Err, Out(piece))) << result.Err;
    EXPECT_TRUE(ReadFileBytes(Back("a.dat")) == m_whole);
}

TEST_F(CommandLineRun, SelfJoiningNeedsAnUndamagedStubBesideTheProgram) {
    // A copy of the program whose stub can be taken away or replaced.
    const fs::path bin = m_work.Path() / "bin";
    fs::create_directories(bin);
    const std::string program = (bin / "varnsplit").string();
    const std::string stubPath = (bin / "varnstub.exe").string();
    fs::copy_file(ProgramPath(), program);
    const std::string stub = ReadFileBytes(BinFolder() + "/varnstub.exe");
    WriteFileBytes(In("varnstub.dat"), PatternBytes(3000, 6));
    const struct {
        std::string Stub; // empty for none
        TArguments Split;
        std::string Said;
    } cases[] = {
        {"", {"/split", In("a.dat"), Out(), BlockSize, "-self"}, stubPath},
        {PatternBytes(100000, 5),
         {"/split", In("a.dat"), Out(), BlockSize, "-self"},
         "пошкоджений"},
        // A split into the program's own folder never replaces the stub it copies.
        {stub, {"/split", In("varnstub.dat"), bin.string(), "2000000", "-self"}, stubPath},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Said);
        if (!test.Stub.empty())
            WriteFileBytes(stubPath, test.Stub);
        const TRunResult result = Run(test.Split, program);
        EXPECT_EQ(result.Status, 1);
        EXPECT_TRUE(Contains(result.Err, test.Said)) << result.Err;
        EXPECT_EQ(FolderNames(Out()), TNames{});
    }
    EXPECT_TRUE(ReadFileBytes(stubPath) == stub);
}

// A stop request (an interrupt signal's) fails a split or a unite, leaving nothing.
TEST_F(CommandLineRun, StopRequestFailsTheRunAndLeavesNothing) {
    std::ostringstream out;
    std::ostringstream err;
    const TCommandLineContext context{out, err, false, ""};
    ASSERT_EQ(RunCommandLine({"/split", In("a.dat"), Back(), BlockSize}, context), 0);
    for (const TArguments& arguments : {TArguments{"/split", In("a.dat"), Out(), BlockSize, "-wsp"},
                                        TArguments{"/unite", Back("a.vrn"), Out()}}) {
        SCOPED_TRACE(arguments[0]);
        err.str("");
        RequestStop();
        EXPECT_EQ(RunCommandLine(arguments, context), 1);
        ClearStopRequest();
        EXPECT_TRUE(Contains(err.str(), Texts::CliInterrupted)) << err.str();
        EXPECT_EQ(FolderNames(Out()), TNames{});
    }
}

TEST_F(CommandLineRun, ProgressOnATerminalEndsWithANewline) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        GTEST_SKIP() << "no pseudo-terminal here";
    TStartedProgram program(ProgramPath(), {"/split", In("a.dat"), Out(), BlockSize},
                            m_capture.Path(), {}, slave, master);
    const TRunResult result = program.Wait();
    close(master);
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(Contains(result.Err, "\rЧастина 1 з 3: ")) << result.Err;
    EXPECT_TRUE(Contains(result.Err, "\rЧастина 3 з 3: 100%")) << result.Err;
    EXPECT_TRUE(result.Err.ends_with("\n")) << result.Err;
}

} // namespace
