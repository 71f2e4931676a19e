// The program as a user gets it: installed into a prefix of its own, and packed
// into a Debian package that lintian accepts.
#include "support/ShellRun.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

} // namespace

// The installed program uses each stub of its library folder, says when the
// Windows one is missing, and brings manual pages and valid desktop files.
TEST(Installed, FindsItsStubsAndBringsItsManualPagesAndDesktopFiles) {
    TScopedXdgHome home;
    TTempFolder folder;
    const fs::path prefix = folder.Path() / "prefix";
    const fs::path library = prefix / "lib" / "varnsplit";
    const TShellRun install =
        RunShell("cmake --install " + std::string(VARN_BUILD_DIR) + " --prefix " + Quoted(prefix));
    ASSERT_EQ(install.status, 0) << install.output;
    const std::string whole = PatternBytes(300000, 4);
    WriteFileBytes(folder / "a.dat", whole);
    const auto varnsplit = [&](const std::string& form, const fs::path& file, const fs::path& out,
                               const std::string& rest) {
        fs::create_directories(out);
        return RunShell(Quoted(prefix / "bin" / "varnsplit") + " " + form + " " + Quoted(file) +
                        " " + Quoted(out) + " " + rest);
    };
    EXPECT_FALSE(fs::exists(prefix / "bin" / "varnstub.exe")) << "the stubs are private";
    for (const char* stubName : {"varnstub.exe", "varnstub-win32.exe"}) {
        const bool windows = stubName[8] == '-';
        if (windows && !fs::exists(library / stubName))
            continue; // built without a cross compiler
        const fs::path out = folder.Path() / stubName;
        const std::string stub = ReadFileBytes(library / stubName);
        ASSERT_GT(stub.size(), 88000u) << stubName;
        // A static program names no dynamic loader.
        EXPECT_EQ(stub.find("/lib64/ld-linux"), std::string::npos) << stubName;
        const TShellRun split = varnsplit("/split", folder / "a.dat", out,
                                          std::to_string(stub.size() + 200000) + " -self" +
                                              (windows ? " -stub=windows" : ""));
        ASSERT_EQ(split.status, 0) << split.output;
        EXPECT_EQ(ReadFileBytes(out / "a.exe").substr(0, stub.size()), stub) << stubName;
        const TShellRun unite = varnsplit("/unite", out / "a.exe", out / "back", "");
        ASSERT_EQ(unite.status, 0) << unite.output;
        EXPECT_TRUE(ReadFileBytes(out / "back" / "a.dat") == whole) << stubName;
    }
    // The Linux set rebuilds itself with the installed stub.
    const TShellRun own =
        RunShell("cd " + Quoted(folder.Path() / "varnstub.exe") + " && ./a.exe </dev/null");
    ASSERT_EQ(own.status, 0) << own.output;
    EXPECT_TRUE(ReadFileBytes(folder.Path() / "varnstub.exe" / "a.dat") == whole);

    fs::remove(library / "varnstub-win32.exe");
    const TShellRun refused =
        varnsplit("/split", folder / "a.dat", folder.Path() / "out", "1000000 -self -stub=windows");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("Заглушку для Windows не встановлено"), std::string::npos)
        << refused.output;
    EXPECT_NE(refused.output.find((library / "varnstub-win32.exe").string()), std::string::npos);
    EXPECT_TRUE(fs::is_empty(folder.Path() / "out"));

    const fs::path share = prefix / "share";
    for (const fs::path& page : {share / "man" / "man1" / "varnsplit.1.gz",
                                 share / "man" / "uk" / "man1" / "varnsplit.1.gz"}) {
        const TShellRun text = RunShell("MANWIDTH=200 man -l " + Quoted(page));
        ASSERT_EQ(text.status, 0) << text.output;
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
