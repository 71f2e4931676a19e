// End-to-end tests of the command line: they run the built program in a
// temporary folder and look at its exit status, what it said, and the files it
// left behind.
#include "ProgramRun.h"
#include "support/TempFolder.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t WholeSize = 3000000;
constexpr const char* BlockSize = "1457664";

class CommandLineRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(ProgramPath())) << ProgramPath();
        fs::create_directories(m_work.Path() / "in");
        EmptyFolders();
        m_whole = PatternBytes(WholeSize, 11);
        WriteFileBytes(In("a.dat"), m_whole);
    }

    // Fresh "out" and "back" folders.
    void EmptyFolders() {
        for (const char* name : {"out", "back"}) {
            fs::remove_all(m_work.Path() / name);
            fs::create_directories(m_work.Path() / name);
        }
    }

    std::string In(const std::string& name) const { return (m_work.Path() / "in" / name).string(); }
    std::string Out(const std::string& name = "") const {
        return name.empty() ? (m_work.Path() / "out").string()
                            : (m_work.Path() / "out" / name).string();
    }
    std::string Back(const std::string& name = "") const {
        return name.empty() ? (m_work.Path() / "back").string()
                            : (m_work.Path() / "back" / name).string();
    }

    TRunResult Run(const std::vector<std::string>& arguments,
                   const std::string& program = ProgramPath()) {
        return RunProgram(program, arguments, m_capture.Path());
    }

    // Runs and expects success with nothing said.
    void RunOk(const std::vector<std::string>& arguments) {
        const TRunResult result = Run(arguments);
        EXPECT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(result.Err, "");
        EXPECT_EQ(result.Out, "");
    }

    std::string Head(const std::string& path, std::size_t length) const {
        return ReadFileBytes(path).substr(0, length);
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_work;
    TTempFolder m_capture;
    std::string m_whole;
};

TEST_F(CommandLineRun, HelpGoesToStandardOutputAndSucceeds) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"-h"}, {"/split", In("a.dat"), Out(), "-h"}}) {
        const TRunResult result = Run(arguments);
        EXPECT_EQ(result.Status, 0);
        EXPECT_TRUE(Contains(result.Out, "/split") && Contains(result.Out, "/unite")) << result.Out;
        EXPECT_EQ(result.Err, "");
    }
    EXPECT_EQ(FolderNames(Out()), TNames{});
}

// The refusals the program makes itself, and a few of the parser's, all with
// exit status 2 and nothing written; the parser's own table has the rest.
TEST_F(CommandLineRun, UsageErrorsExitTwoSayWhyAndWriteNothing) {
    WriteFileBytes(In("a.vrn"), "VRNv110");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"/cut", In("a.dat"), Out(), BlockSize}, "/cut"},
        {{"/split", In("none.dat"), Out(), BlockSize}, In("none.dat")},
        {{"/split", In(""), Out(), BlockSize}, "не файл"},
        {{"/unite", In("none.vrn"), Out()}, In("none.vrn")},
        {{"/unite", Out(), Back()}, "не файл"},
        {{"/split", In("a.dat"), Out(), "99999999999999999999"}, "99999999999999999999"},
        {{"/split", In("a.dat"), Out()}, "Замало"},
        {{"/split", In("a.dat"), Out(), BlockSize, "-dos", "-wsp"}, "несумісні"},
        {{"/split", In("a.dat"), "", BlockSize}, "теку"},
    };
    for (const auto& [arguments, expected] : cases) {
        SCOPED_TRACE(expected);
        const TRunResult result = Run(arguments);
        EXPECT_EQ(result.Status, 2) << result.Err;
        EXPECT_TRUE(Contains(result.Err, expected)) << result.Err;
        EXPECT_TRUE(Contains(result.Err, Texts::CliSeeHelp) || Contains(result.Err, "varnsplit:"))
            << result.Err;
        EXPECT_EQ(result.Out, "");
    }
    EXPECT_EQ(FolderNames(Out()), TNames{});
    EXPECT_EQ(FolderNames(m_work.Path() / "in"), (TNames{"a.dat", "a.vrn"}));
}

TEST_F(CommandLineRun, NormalSetRoundTripInEitherVersion) {
    struct TCase {
        std::vector<std::string> Split;
        std::string Signature;
        std::uintmax_t LastSize; // what the header in piece 1 leaves for the last
    };
    for (const TCase& test : {TCase{{"/split"}, std::string("VRNv110\x1A"), 84710},
                              TCase{{"/SPLIT", "/VER100"}, std::string("VRNv100\x1A"), 84706}}) {
        SCOPED_TRACE(test.Signature);
        EmptyFolders();
        std::vector<std::string> split = test.Split;
        split.insert(split.end(), {In("a.dat"), Out(), BlockSize});
        RunOk(split);
        EXPECT_EQ(FolderNames(Out()), (TNames{"a.001", "a.002", "a.sha256", "a.vrn"}));
        EXPECT_EQ(fs::file_size(Out("a.vrn")), 1457664u);
        EXPECT_EQ(fs::file_size(Out("a.001")), 1457664u);
        EXPECT_EQ(fs::file_size(Out("a.002")), test.LastSize);
        EXPECT_EQ(Head(Out("a.vrn"), 8), test.Signature);
        EXPECT_EQ(ReadFileBytes(In("a.dat")), m_whole) << "the source stays as it was";

        // The folder may end with "/" or not.
        RunOk({"/Unite", Out("a.vrn"), Back() + "/"});
        EXPECT_EQ(FolderNames(Back()), TNames{"a.dat"});
        EXPECT_TRUE(ReadFileBytes(Back("a.dat")) == m_whole);
        EXPECT_EQ(FolderNames(Out()), (TNames{"a.001", "a.002", "a.sha256", "a.vrn"}))
            << "pieces stay without -del";
    }
}

// A DOS-compatible set has no signature (DOS wins over version 1.0), and a
// batch file only with -bat.
TEST_F(CommandLineRun, DosSetIsThePlainBytesAndItsBatchFileJoinsThem) {
    for (const bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "with batch file" : "without");
        EmptyFolders();
        RunOk({"/split", In("a.dat"), Out(), BlockSize, "-dos", batch ? "/bat" : "-ver100"});
        const TNames files = batch ? TNames{"a.001", "a.002", "a.bat", "a.dos", "a.sha256"}
                                   : TNames{"a.001", "a.002", "a.dos", "a.sha256"};
        EXPECT_EQ(FolderNames(Out()), files);
        EXPECT_TRUE(ReadFileBytes(Out("a.dos")) == m_whole.substr(0, 1457664));
        EXPECT_TRUE(ReadFileBytes(Out("a.001")) == m_whole.substr(1457664, 1457664));
        EXPECT_TRUE(ReadFileBytes(Out("a.002")) == m_whole.substr(2 * 1457664));
        if (batch) {
            EXPECT_TRUE(
                Contains(ReadFileBytes(Out("a.bat")), "@copy /b a.dos+a.001+a.002 a.dat\r\n"));
        }
    }
}

TEST_F(CommandLineRun, WinSplitSetUnitesFromItsInformationFile) {
    RunOk({"/split", In("a.dat"), Out(), BlockSize, "-wsp", "-bat"});
    EXPECT_EQ(FolderNames(Out()),
              (TNames{"a.001", "a.002", "a.003", "a.bat", "a.sha256", "a.wsp"}));
    EXPECT_EQ(ReadFileBytes(Out("a.wsp")), "dat\r\n3\r\n3000000\r\n");
    EXPECT_TRUE(Contains(ReadFileBytes(Out("a.bat")), "@copy /b a.001+a.002+a.003 a.dat\r\n"));
    EXPECT_TRUE(ReadFileBytes(Out("a.001")) == m_whole.substr(0, 1457664));

    RunOk({"/unite", Out("a.wsp"), Back()});
    EXPECT_EQ(FolderNames(Back()), TNames{"a.dat"});
    EXPECT_TRUE(ReadFileBytes(Back("a.dat")) == m_whole);
}

TEST_F(CommandLineRun, KeepExtKeepsTheWholeNameInEveryPiece) {
    RunOk({"/split", In("a.dat"), Out(), BlockSize, "-keepext"});
    EXPECT_EQ(FolderNames(Out()), (TNames{"a.dat.001", "a.dat.002", "a.dat.sha256", "a.dat.vrn"}));
    RunOk({"/unite", Out("a.dat.vrn"), Back(), "-keepext"});
    EXPECT_EQ(FolderNames(Back()), TNames{"a.dat"});
    EXPECT_TRUE(ReadFileBytes(Back("a.dat")) == m_whole);
    // Without the switch the stored extension replaces the piece's, as designed.
    fs::remove(Back("a.dat"));
    RunOk({"/unite", Out("a.dat.vrn"), Back()});
    EXPECT_EQ(FolderNames(Back()), TNames{"a.dat.dat"});
}

// After a successful join -del removes the pieces; the information and batch
// files go with a WinSplit set's pieces, but a batch file of the user's own
// with that name stays.
TEST_F(CommandLineRun, DelRemovesThePiecesAfterASuccessfulJoin) {
    const std::pair<bool, bool> sets[] = {{false, false}, {true, false}, {true, true}};
    for (const auto& [winSplit, ownBatchFile] : sets) {
        SCOPED_TRACE(std::string(winSplit ? "WinSplit" : "normal") +
                     (ownBatchFile ? " beside the user's batch file" : ""));
        EmptyFolders();
        if (winSplit)
            RunOk({"/split", In("a.dat"), Out(), BlockSize, "-wsp", "-bat"});
        else
            RunOk({"/split", In("a.dat"), Out(), BlockSize});
        if (ownBatchFile)
            WriteFileBytes(Out("a.bat"), "@echo mine\r\n");
        RunOk({"/unite", Out(winSplit ? "a.wsp" : "a.vrn"), Back(), "-del"});
        EXPECT_TRUE(ReadFileBytes(Back("a.dat")) == m_whole);
        EXPECT_EQ(FolderNames(Out()),
                  ownBatchFile ? (TNames{"a.bat", "a.sha256"}) : TNames{"a.sha256"});
    }
}

// A missing piece, in the middle or last, a middle piece with bytes added, as
// a copy gone wrong leaves it, and one with a byte changed, which only its
// checksum tells: the join fails naming the piece, deletes no piece even with
// -del, and leaves nothing half-written nor replaces an older file of the
// whole file's name.
TEST_F(CommandLineRun, FailedJoinNamesThePieceAndChangesNothing) {
    enum class TDamage { Missing, Grown, Changed };
    struct TCase {
        const char* Piece;
        TDamage Damage;
        bool Del;
        bool OlderFile;
    };
    for (const TCase& test :
         {TCase{"a.001", TDamage::Missing, false, false},
          TCase{"a.002", TDamage::Missing, true, true}, TCase{"a.001", TDamage::Grown, true, false},
          TCase{"a.001", TDamage::Changed, true, false}}) {
        SCOPED_TRACE(std::string(test.Piece) + " " + std::to_string(int(test.Damage)));
        EmptyFolders();
        RunOk({"/split", In("a.dat"), Out(), BlockSize});
        std::string bytes = ReadFileBytes(Out(test.Piece));
        if (test.Damage == TDamage::Missing)
            fs::remove(Out(test.Piece));
        else if (test.Damage == TDamage::Grown)
            WriteFileBytes(Out(test.Piece), bytes + "XYZ");
        else
            WriteFileBytes(Out(test.Piece), bytes.replace(100, 1, 1, char(bytes[100] ^ 1)));
        if (test.OlderFile)
            WriteFileBytes(Back("a.dat"), "older work");
        const TNames pieces = FolderNames(Out());
        const TRunResult result = test.Del ? Run({"/unite", Out("a.vrn"), Back(), "-del"})
                                           : Run({"/unite", Out("a.vrn"), Back()});
        EXPECT_EQ(result.Status, 1);
        EXPECT_TRUE(Contains(result.Err, Out(test.Piece))) << result.Err;
        EXPECT_EQ(FolderNames(Out()), pieces);
        EXPECT_EQ(FolderNames(Back()), test.OlderFile ? TNames{"a.dat"} : TNames{});
        if (test.OlderFile) {
            EXPECT_EQ(ReadFileBytes(Back("a.dat")), "older work");
        }
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

// Runs the engine refuses end with status 1, say why (naming the file where
// there is one) and leave every folder as it was.
TEST_F(CommandLineRun, RefusedRunsExitOneNamingTheFileAndWriteNothing) {
    // A first piece of no known signature, and a DOS set's first piece, which
    // has none: it is joined by its batch file.
    WriteFileBytes(Out("b.vrn"), PatternBytes(5000, 3));
    const fs::path dos = m_work.Path() / "dos";
    fs::create_directories(dos);
    RunOk({"/split", In("a.dat"), dos.string(), BlockSize, "-dos"});
    // A version 1.0 first piece whose extension field holds "/x": joined as
    // designed it would land in back/p/x.
    std::string extension("/x");
    extension.resize(20, '\0');
    WriteFileBytes(Out("p.vrn"), std::string("VRNv100\x1A\x05\0\0\0", 12) + extension +
                                     std::string("\x01\0", 2) + "hello");
    fs::create_directories(Back("p"));
    WriteFileBytes(Out("plain"), "not a folder");
    WriteFileBytes(In("b.vrn"), m_whole);
    const std::string in = (m_work.Path() / "in").string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"/unite", Out("b.vrn"), Back()}, Texts::EngineUnknownSignature},
        {{"/unite", (dos / "a.dos").string(), Back()}, ""},
        {{"/unite", Out("p.vrn"), Back()}, Out("p.vrn")},
        {{"/split", In("a.dat"), Out("plain"), BlockSize}, Out("plain")},
        {{"/split", In("a.dat"), Out("missing"), BlockSize}, Out("missing")},
        // Block sizes the header does not fit in.
        {{"/split", In("a.dat"), Back("p"), "10"}, ""},
        {{"/split", In("a.dat"), Back("p"), "38"}, ""},
        {{"/split", In("a.dat"), Back("p"), "0"}, ""},
        // A split never writes over its source.
        {{"/split", In("b.vrn"), in, BlockSize}, In("b.vrn")},
    };
    const TNames outNames = FolderNames(Out());
    for (const auto& [arguments, expected] : cases) {
        SCOPED_TRACE(arguments[1] + " " + arguments.back());
        const TRunResult result = Run(arguments);
        EXPECT_EQ(result.Status, 1) << result.Err;
        EXPECT_FALSE(result.Err.empty());
        EXPECT_TRUE(Contains(result.Err, expected)) << result.Err;
        EXPECT_EQ(FolderNames(Out()), outNames);
        EXPECT_EQ(FolderNames(Back()), TNames{"p"});
        EXPECT_EQ(FolderNames(Back("p")), TNames{});
        EXPECT_EQ(FolderNames(in), (TNames{"a.dat", "b.vrn"}));
    }
    EXPECT_TRUE(ReadFileBytes(In("b.vrn")) == m_whole);

    if (geteuid() != 0) { // permissions do not stop the superuser
        fs::permissions(Back("p"), fs::perms::owner_read | fs::perms::owner_exec);
        const TRunResult result = Run({"/split", In("a.dat"), Back("p"), BlockSize});
        fs::permissions(Back("p"), fs::perms::owner_all);
        EXPECT_EQ(result.Status, 1);
        EXPECT_TRUE(Contains(result.Err, Back("p"))) << result.Err;
        EXPECT_EQ(FolderNames(Back("p")), TNames{});
    }
}

TEST_F(CommandLineRun, SelfJoiningRoundTrip) {
    const fs::path stub = fs::path(BinFolder()) / "varnstub.exe";
    ASSERT_TRUE(fs::exists(stub));
    ASSERT_GT(fs::file_size(stub), 88000u); // the least size of an undamaged stub
    // Piece 1 holds the stub, the signature and two thirds of the data, so the
    // set has two pieces whatever the stub's size.
    const std::string size = std::to_string(fs::file_size(stub) + 2 * WholeSize / 3);
    RunOk({"/split", In("a.dat"), Out(), size, "-self"});
    EXPECT_EQ(FolderNames(Out()), (TNames{"a.001", "a.exe", "a.sha256"}));
    EXPECT_EQ(std::to_string(fs::file_size(Out("a.exe"))), size);
    EXPECT_EQ(Head(Out("a.exe"), static_cast<std::size_t>(fs::file_size(stub))),
              ReadFileBytes(stub.string()));
    EXPECT_NE(fs::status(Out("a.exe")).permissions() & fs::perms::owner_exec, fs::perms::none);

    RunOk({"/unite", Out("a.exe"), Back()});
    EXPECT_EQ(FolderNames(Back()), TNames{"a.dat"});
    EXPECT_TRUE(ReadFileBytes(Back("a.dat")) == m_whole);
}

TEST_F(CommandLineRun, SelfJoiningNeedsAnUndamagedStubBesideTheProgram) {
    // A copy of the program in a folder of its own, where the stub can be
    // taken away or replaced.
    const fs::path bin = m_work.Path() / "bin";
    fs::create_directories(bin);
    const std::string program = (bin / "varnsplit").string();
    fs::copy_file(ProgramPath(), program);
    fs::permissions(program, fs::perms::owner_all);

    TRunResult result = Run({"/split", In("a.dat"), Out(), BlockSize, "-self"}, program);
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(Contains(result.Err, (bin / "varnstub.exe").string())) << result.Err;
    EXPECT_EQ(FolderNames(Out()), TNames{});

    WriteFileBytes((bin / "varnstub.exe").string(), PatternBytes(100000, 5));
    result = Run({"/split", In("a.dat"), Out(), BlockSize, "-self"}, program);
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(Contains(result.Err, "пошкоджений")) << result.Err;
    EXPECT_EQ(FolderNames(Out()), TNames{});

    // A split into the program's own folder never replaces the stub it copies.
    const std::string stub = ReadFileBytes(BinFolder() + "/varnstub.exe");
    WriteFileBytes((bin / "varnstub.exe").string(), stub);
    WriteFileBytes(In("varnstub.dat"), PatternBytes(3000, 6));
    result = Run({"/split", In("varnstub.dat"), bin.string(), "2000000", "-self"}, program);
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(Contains(result.Err, (bin / "varnstub.exe").string())) << result.Err;
    EXPECT_TRUE(ReadFileBytes((bin / "varnstub.exe").string()) == stub);
}

// Every run above has standard error in a file, and RunOk finds nothing said
// there: no progress reaches a redirected standard error.
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
    ASSERT_FALSE(result.Err.empty());
    EXPECT_EQ(result.Err.back(), '\n');
    EXPECT_EQ(FolderNames(Out()), (TNames{"a.001", "a.002", "a.sha256", "a.vrn"}));
}

} // namespace
