// Runs the Windows stub under wine as the first piece of real self-joining
// sets made by the command line with -stub=windows.
#include "engine/EngineTestSupport.h"
#include "engine/SelfJoin.h"
#include "support/ShellRun.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string BinFolder() {
    return fs::path(BuiltStub()).parent_path().string();
}

// One wine prefix per test, inside the test's own folder, with no display so
// that wine never opens a window.
class WindowsStub : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTool("wine"))
            GTEST_SKIP() << "wine is not installed";
        if (!fs::exists(BinFolder() + "/varnstub-win32.exe"))
            GTEST_SKIP() << "the Windows stub was not built (no mingw-w64 cross compiler)";
        fs::create_directories(SetFolder());
        m_environment = WineEnvironment(m_folder.Path());
    }
    void TearDown() override {
        if (!m_environment.empty())
            std::system((m_environment + "wineserver -k >/dev/null 2>&1").c_str());
    }

    fs::path SetFolder() const { return m_folder.Path() / "set"; }

    // Splits `content` as report.dat into a self-joining set for Windows.
    void SplitForWindows(const std::string& content, const std::string& blockSize) {
        WriteFileBytes(m_folder / "report.dat", content);
        const TShellRun split =
            RunShell(BinFolder() + "/varnsplit /split '" + (m_folder / "report.dat") + "' '" +
                     SetFolder().string() + "' " + blockSize + " -self -stub=windows");
        ASSERT_EQ(split.status, 0) << split.output;
    }

    TShellRun RunFirstPiece() const {
        return RunShell("cd '" + SetFolder().string() + "' && " + m_environment +
                        "wine ./report.exe </dev/null");
    }

    TScopedXdgHome m_home;
    TTempFolder m_folder;
    std::string m_environment;
};

} // namespace

// A missing piece is named and nothing is left; with the piece back, the file
// is rebuilt byte for byte, and the set's checksum file vouches for it.
TEST_F(WindowsStub, NamesAMissingPieceAndRebuildsTheWholeSet) {
    const std::string content = PatternBytes(900000, 7);
    SplitForWindows(content, "400000");
    const std::string stub = ReadFileBytes(BinFolder() + "/varnstub-win32.exe");
    ASSERT_EQ(ReadFileBytes((SetFolder() / "report.exe").string()).substr(0, stub.size()), stub);
    // The set's own image length is read from its PE headers.
    EXPECT_EQ(StubLengthOf((SetFolder() / "report.exe").string()),
              static_cast<int64_t>(stub.size()));
    const fs::path piece = SetFolder() / "report.002";
    const fs::path aside = m_folder.Path() / "report.002";
    fs::rename(piece, aside);

    TShellRun run = RunFirstPiece();
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("Не знайдено частину"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("report.002"), std::string::npos) << run.output;
    EXPECT_EQ(FolderNames(SetFolder()), Names({"report.001", "report.exe", "report.sha256"}));

    fs::rename(aside, piece);
    run = RunFirstPiece();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("відновлено"), std::string::npos) << run.output;
    EXPECT_TRUE(ReadFileBytes((SetFolder() / "report.dat").string()) == content);
    EXPECT_EQ(FolderNames(SetFolder()),
              Names({"report.001", "report.002", "report.dat", "report.exe", "report.sha256"}));
    const TShellRun check =
        RunShell("cd '" + SetFolder().string() + "' && sha256sum -c report.sha256");
    EXPECT_EQ(check.status, 0) << check.output;
}
