// Runs the Windows stub under wine as the first piece of a real self-joining
// set made by the command line with -stub=windows.
#include "engine/EngineTestSupport.h"
#include "support/ShellRun.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;

// A wine prefix of the test's own, no display, its server ended with the test.
class WindowsStub : public ::testing::Test {
protected:
    void SetUp() override {
        if (!WineRuns())
            GTEST_SKIP() << "wine is not installed or cannot start here";
        if (!fs::exists(m_bin + "/varnstub-win32.exe"))
            GTEST_SKIP() << "the Windows stub was not built (no mingw-w64 cross compiler)";
        m_environment = WineEnvironment(m_folder.Path());
    }
    void TearDown() override {
        if (!m_environment.empty())
            std::system((m_environment + "wineserver -k >/dev/null 2>&1").c_str());
    }

    const std::string m_bin = fs::path(BuiltStub()).parent_path().string();
    TScopedXdgHome m_home;
    TTempFolder m_folder;
    std::string m_environment;
};

} // namespace

// A missing piece is named and nothing is left; with the piece back, the file
// is rebuilt byte for byte and nothing else is left.
TEST_F(WindowsStub, NamesAMissingPieceAndRebuildsTheWholeSet) {
    const fs::path set = m_folder.Path() / "set";
    fs::create_directories(set);
    const std::string content = PatternBytes(900000, 7);
    WriteFileBytes(m_folder / "report.dat", content);
    const TShellRun split = RunShell(m_bin + "/varnsplit /split '" + (m_folder / "report.dat") +
                                     "' '" + set.string() + "' 400000 -self -stub=windows");
    ASSERT_EQ(split.status, 0) << split.output;
    const auto runFirstPiece = [&] {
        return RunShell("cd '" + set.string() + "' && " + m_environment +
                        "wine ./report.exe </dev/null");
    };
    fs::rename(set / "report.002", m_folder.Path() / "report.002");

    TShellRun run = runFirstPiece();
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("Не знайдено частину"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("report.002"), std::string::npos) << run.output;
    EXPECT_EQ(FolderNames(set), Names({"report.001", "report.exe", "report.sha256"}));

    fs::rename(m_folder.Path() / "report.002", set / "report.002");
    run = runFirstPiece();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("відновлено"), std::string::npos) << run.output;
    EXPECT_TRUE(ReadFileBytes((set / "report.dat").string()) == content);
    EXPECT_EQ(FolderNames(set),
              Names({"report.001", "report.002", "report.dat", "report.exe", "report.sha256"}));
}
