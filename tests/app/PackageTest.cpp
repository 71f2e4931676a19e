// The program as a user gets it: installed into a prefix of its own with
// cmake --install and run from there, and packed into a Debian package that
// lintian accepts.
#include "support/ShellRun.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        const TShellRun install = RunShell("cmake --install " + std::string(VARN_BUILD_DIR) +
                                           " --prefix " + Quoted(Prefix()));
        ASSERT_EQ(install.status, 0) << install.output;
        for (const char* folder : {"in", "out", "back"})
            fs::create_directories(m_folder.Path() / folder);
        WriteFileBytes(m_folder.Path() / "in" / "a.dat", m_whole);
    }

    fs::path Prefix() const { return m_folder.Path() / "prefix"; }
    fs::path Program() const { return Prefix() / "bin" / "varnsplit"; }
    TShellRun Varnsplit(const std::string& arguments) const {
        return RunShell(Quoted(Program()) + " " + arguments);
    }

    TScopedXdgHome m_home;
    TTempFolder m_folder;
    const std::string m_whole = PatternBytes(300000, 4);
};

} // namespace

// The installed program splits and unites with each stub it brings.
TEST_F(Installed, FindsEachStubInItsLibraryFolder) {
    // The stubs live in the private folder, not beside the program.
    EXPECT_FALSE(fs::exists(Prefix() / "bin" / "varnstub.exe"));
    struct TCase {
        std::string switches;
        std::string stub;
    };
    std::vector<TCase> cases = {{"-self", "varnstub.exe"}, {"-self -stub=linux", "varnstub.exe"}};
    if (fs::exists(Prefix() / "lib" / "varnsplit" / "varnstub-win32.exe"))
        cases.push_back({"-self -stub=windows", "varnstub-win32.exe"});
    for (const TCase& test : cases) {
        const fs::path out = m_folder.Path() / ("out-" + std::to_string(&test - cases.data()));
        fs::create_directories(out / "back");
        const std::string stub = ReadFileBytes(Prefix() / "lib" / "varnsplit" / test.stub);
        ASSERT_GT(stub.size(), 88000u) << test.stub;
        const TShellRun split =
            Varnsplit("/split " + Quoted(m_folder.Path() / "in" / "a.dat") + " " + Quoted(out) +
                      " " + std::to_string(stub.size() + 200000) + " " + test.switches);
        ASSERT_EQ(split.status, 0) << test.switches << "\n" << split.output;
        EXPECT_EQ(ReadFileBytes(out / "a.exe").substr(0, stub.size()), stub) << test.switches;
        const TShellRun unite =
            Varnsplit("/unite " + Quoted(out / "a.exe") + " " + Quoted(out / "back"));
        ASSERT_EQ(unite.status, 0) << test.switches << "\n" << unite.output;
        EXPECT_TRUE(ReadFileBytes(out / "back" / "a.dat") == m_whole) << test.switches;
    }
    // The Linux set rebuilds itself with the installed stub.
    fs::remove(m_folder.Path() / "out-0" / "back" / "a.dat");
    const TShellRun own =
        RunShell("cd " + Quoted(m_folder.Path() / "out-0") + " && ./a.exe </dev/null");
    ASSERT_EQ(own.status, 0) << own.output;
    EXPECT_TRUE(ReadFileBytes(m_folder.Path() / "out-0" / "a.dat") == m_whole);
}

TEST_F(Installed, SaysWhenTheWindowsStubIsNotInstalled) {
    const fs::path stub = Prefix() / "lib" / "varnsplit" / "varnstub-win32.exe";
    fs::remove(stub);
    const TShellRun split =
        Varnsplit("/split " + Quoted(m_folder.Path() / "in" / "a.dat") + " " +
                  Quoted(m_folder.Path() / "out") + " 1000000 -self -stub=windows");
    EXPECT_EQ(split.status, 1);
    EXPECT_NE(split.output.find("Заглушку для Windows не встановлено"), std::string::npos)
        << split.output;
    EXPECT_NE(split.output.find(stub.string()), std::string::npos) << split.output;
    EXPECT_TRUE(fs::is_empty(m_folder.Path() / "out"));
}

TEST_F(Installed, BringsItsManualPagesDesktopEntryAndMetainfo) {
    const fs::path share = Prefix() / "share";
    for (const fs::path& page : {share / "man" / "man1" / "varnsplit.1.gz",
                                 share / "man" / "uk" / "man1" / "varnsplit.1.gz"}) {
        ASSERT_TRUE(fs::exists(page)) << page;
        const TShellRun text = RunShell("MANWIDTH=200 man -l " + Quoted(page));
        ASSERT_EQ(text.status, 0) << text.output;
        // Every switch the program knows is documented in both languages.
        for (const char* word : {"-ver100", "-dos", "-wsp", "-bat", "-self", "-stub=linux",
                                 "-stub=windows", "-keepext", "-del", "-nosum", "/verify", "-n"})
            EXPECT_NE(text.output.find(word), std::string::npos) << page << ": " << word;
    }
    EXPECT_TRUE(fs::exists(share / "mime" / "packages" / "varnsplit.xml"));
    EXPECT_TRUE(fs::exists(share / "icons" / "hicolor" / "scalable" / "apps" / "varnsplit.svg"));
    if (HaveTool("desktop-file-validate")) {
        const TShellRun desktop = RunShell("desktop-file-validate " +
                                           Quoted(share / "applications" / "varnsplit.desktop"));
        EXPECT_EQ(desktop.status, 0) << desktop.output;
    }
    if (HaveTool("appstreamcli")) {
        const TShellRun metainfo =
            RunShell("appstreamcli validate --no-net " +
                     Quoted(share / "metainfo" / "ua.oskel.varnsplit.metainfo.xml"));
        EXPECT_EQ(metainfo.status, 0) << metainfo.output;
    }
}

TEST(DebianPackage, LintianFindsNoError) {
    if (!HaveTool("lintian") || !HaveTool("dpkg-shlibdeps"))
        GTEST_SKIP() << "lintian or dpkg-dev is not installed (scripts/deps.sh installs both)";
    TScopedXdgHome home;
    TTempFolder folder;
    const TShellRun pack = RunShell("cpack -G DEB --config " + std::string(VARN_BUILD_DIR) +
                                    "/CPackConfig.cmake -B " + Quoted(folder.Path()));
    ASSERT_EQ(pack.status, 0) << pack.output;
    const TShellRun found = RunShell("ls " + Quoted(folder.Path()) + "/varnsplit_*.deb");
    ASSERT_EQ(found.status, 0) << found.output;
    const std::string package = found.output.substr(0, found.output.find('\n'));
    const TShellRun depends = RunShell("dpkg-deb -f '" + package + "' Depends");
    // Computed by dpkg-shlibdeps, not listed by hand.
    EXPECT_NE(depends.output.find("libqt6widgets6"), std::string::npos) << depends.output;
    const TShellRun lint = RunShell("lintian --fail-on error '" + package + "'");
    EXPECT_EQ(lint.status, 0) << lint.output;
}
