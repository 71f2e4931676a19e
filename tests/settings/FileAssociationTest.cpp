#include "settings/FileAssociation.h"
#include "resources/Icons.h"
#include "settings/RegistrySettings.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

// A registration into a temporary data home, with fake tools logging each run.
class FileAssociationTest : public ::testing::Test {
protected:
    FileAssociationTest() {
        fs::create_directories(m_tools.Path());
        for (const char* tool : {"update-mime-database", "update-desktop-database"}) {
            const std::string path = m_tools / tool;
            WriteFileBytes(path, std::string("#!/bin/sh\necho \"") + tool + " $1\" >> '" +
                                     (m_tools / "log") + "'\n");
            fs::permissions(path, fs::perms::owner_all);
        }
        m_options.dataHome = QString::fromStdString(m_home.DataHome().string());
        m_options.executable = "/opt/varn split/bin/varnsplit";
        m_options.toolPath = QString::fromStdString(m_tools.Path().string());
    }

    std::string Data(const std::string& name) const { return (m_home.DataHome() / name).string(); }
    std::string ToolLog() const {
        return fs::exists(m_tools / "log") ? ReadFileBytes(m_tools / "log") : std::string();
    }
    void ClearToolLog() { fs::remove(m_tools / "log"); }

    // inode and modification time of every file under the data home
    std::map<std::string, std::pair<ino_t, long long>> Snapshot() const {
        std::map<std::string, std::pair<ino_t, long long>> files;
        for (const auto& entry : fs::recursive_directory_iterator(m_home.DataHome())) {
            struct stat info {};
            ::stat(entry.path().c_str(), &info);
            files[entry.path().string()] = {info.st_ino, info.st_mtim.tv_sec * 1000000000LL +
                                                             info.st_mtim.tv_nsec};
        }
        return files;
    }

    TScopedXdgHome m_home;
    TTempFolder m_tools;
    TAssociationOptions m_options;
};

std::string IconData(const QString& name) {
    return VarnIcons::SvgData(name).toStdString();
}

} // namespace

TEST_F(FileAssociationTest, StartupStepWritesTypesIconsAndDesktopEntry) {
    const auto report = RestoreFileAssociations(m_options);
    EXPECT_EQ(report.filesWritten.size(), 10);

    const std::string xml = ReadFileBytes(Data("mime/packages/varnsplit.xml"));
    EXPECT_NE(xml.find("<mime-type type=\"application/varnsplit\">\n"
                       "    <comment>Файл Varn split</comment>\n"
                       "    <icon name=\"application-varnsplit\"/>\n"
                       "    <glob pattern=\"*.vrn\"/>\n"
                       "  </mime-type>"),
              std::string::npos)
        << xml;
    // Pieces get an icon and nothing else: no type name.
    for (const std::string piece : {"dos", "wsp"})
        EXPECT_NE(xml.find("<mime-type type=\"application/x-varnsplit-" + piece + "\">\n" +
                           "    <icon name=\"application-x-varnsplit-" + piece + "\"/>\n" +
                           "    <glob pattern=\"*." + piece + "\"/>\n"),
                  std::string::npos)
            << piece;
    EXPECT_EQ(xml.find("<comment>", xml.find("x-varnsplit-dos")), std::string::npos);

    // Every numbered extension once, in the type (NNN mod 4) + 1.
    for (int number = 0; number < 1000; ++number) {
        char glob[32];
        std::snprintf(glob, sizeof glob, "pattern=\"*.%03d\"", number);
        const std::size_t at = xml.find(glob);
        ASSERT_NE(at, std::string::npos) << glob;
        EXPECT_EQ(xml.find(glob, at + 1), std::string::npos) << glob;
        const std::size_t type = xml.rfind("x-varnsplit-piece-", at) + 18;
        ASSERT_EQ(xml[type] - '0', number % 4 + 1) << glob;
    }

    const std::string icons = "icons/hicolor/scalable/mimetypes/";
    EXPECT_EQ(ReadFileBytes(Data(icons + "application-varnsplit.svg")), IconData("MAINICONVRN"));
    for (const char* piece : {"dos", "wsp"})
        EXPECT_EQ(ReadFileBytes(Data(icons + "application-x-varnsplit-" + piece + ".svg")),
                  IconData("MAINICON" + QString(piece).toUpper()));
    for (int cycle = 1; cycle <= 4; ++cycle)
        EXPECT_EQ(ReadFileBytes(Data(icons + "application-x-varnsplit-piece-" +
                                     std::to_string(cycle) + ".svg")),
                  IconData(("MAINICON00" + std::to_string(cycle - 1)).c_str()));
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/scalable/apps/varnsplit.svg")),
              IconData("MAINICON"));

    EXPECT_EQ(ReadFileBytes(Data("applications/varnsplit.desktop")),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Varn split\n"
              "Icon=varnsplit\n"
              "Exec=\"/opt/varn split/bin/varnsplit\" %f\n"
              "MimeType=application/varnsplit;\n"
              "Terminal=false\n"
              "NoDisplay=true\n"
              "Categories=Utility;\n");
    EXPECT_EQ(ToolLog(), "update-mime-database " + Data("mime") + "\n" +
                             "update-desktop-database " + Data("applications") + "\n");

    // The program path is quoted (above) and escaped for Exec.
    EXPECT_EQ(DesktopExecCommand("/a\"b"), "\"/a\\\\\"b\" %f");
    EXPECT_EQ(DesktopExecCommand("/a$b`c"), "\"/a\\\\$b\\\\`c\" %f");
    EXPECT_EQ(DesktopExecCommand("/a\\b"), "\"/a\\\\\\\\b\" %f");
    EXPECT_EQ(DesktopExecCommand("/100%/x"), "\"/100%%/x\" %f");
    EXPECT_EQ(DesktopExecCommand("/Програми/розбивка"), "\"/Програми/розбивка\" %f");
}

// The type alone has no piece icons and keeps piece types written before.
TEST_F(FileAssociationTest, TypeAloneKeepsPieceTypesAndOnlyChangedFilesAreRewritten) {
    auto report = RegisterFileAssociation(m_options);
    EXPECT_EQ(report.filesWritten.size(), 4);
    const std::string xml = ReadFileBytes(Data("mime/packages/varnsplit.xml"));
    EXPECT_NE(xml.find("*.vrn"), std::string::npos);
    EXPECT_EQ(xml.find("varnsplit-piece"), std::string::npos);
    EXPECT_FALSE(
        fs::exists(Data("icons/hicolor/scalable/mimetypes/application-x-varnsplit-dos.svg")));

    RestoreFileAssociations(m_options);
    ClearToolLog();
    const auto before = Snapshot();
    for (auto* step : {&RestoreFileAssociations, &RegisterFileAssociation}) {
        report = step(m_options);
        EXPECT_EQ(std::tuple(report.filesWritten.size(), report.toolsRun.size()), std::tuple(0, 0));
    }
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ToolLog(), "");

    // A moved program changes the desktop entry only.
    m_options.executable = "/usr/bin/varnsplit";
    report = RestoreFileAssociations(m_options);
    EXPECT_EQ(report.filesWritten,
              QStringList{QString::fromStdString(Data("applications/varnsplit.desktop"))});
    EXPECT_EQ(ToolLog(), "update-desktop-database " + Data("applications") + "\n");

    // A damaged icon is put right; an icon needs no database run.
    ClearToolLog();
    const std::string icon =
        Data("icons/hicolor/scalable/mimetypes/application-x-varnsplit-piece-3.svg");
    WriteFileBytes(icon, "<svg/>");
    report = RestoreFileAssociations(m_options);
    EXPECT_EQ(report.filesWritten, QStringList{QString::fromStdString(icon)});
    EXPECT_EQ(ReadFileBytes(icon), IconData("MAINICON002"));
    EXPECT_EQ(ToolLog(), "");
}

TEST_F(FileAssociationTest, StartupStepFollowsTheRestoreSettingAndDefaultsToTheXdgDataHome) {
    TRegistrySettings settings;
    settings.WriteBool("Settings", "RestoreAssociations", false);
    EXPECT_FALSE(RunAssociationStartupStep(settings, m_options));
    EXPECT_TRUE(fs::is_empty(m_home.DataHome()));
    EXPECT_EQ(ToolLog(), "");

    // Absent means on.
    TScopedXdgHome otherHome;
    TRegistrySettings fresh;
    EXPECT_TRUE(RunAssociationStartupStep(fresh, m_options));
    EXPECT_TRUE(
        fs::exists(Data("icons/hicolor/scalable/mimetypes/application-x-varnsplit-piece-4.svg")));

    // By default: the XDG data home and this program; missing tools are skipped.
    TAssociationOptions options;
    options.toolPath = QString::fromStdString(m_tools / "no-tools-here");
    const auto report = RestoreFileAssociations(options);
    EXPECT_EQ(std::tuple(report.filesWritten.size(), report.toolsRun.size()), std::tuple(10, 0));
    const std::string desktop =
        ReadFileBytes((otherHome.DataHome() / "applications/varnsplit.desktop").string());
    EXPECT_NE(desktop.find("Exec=\"" + fs::read_symlink("/proc/self/exe").string() + "\" %f\n"),
              std::string::npos)
        << desktop;
}

TEST_F(FileAssociationTest, RealMimeDatabaseAcceptsThePackage) {
    if (!fs::exists("/usr/bin/update-mime-database"))
        GTEST_SKIP() << "update-mime-database is not installed";
    m_options.toolPath = "/usr/bin";
    const auto report = RestoreFileAssociations(m_options);
    EXPECT_TRUE(report.toolsRun.contains("update-mime-database"));
    const std::string globs = ReadFileBytes(Data("mime/globs2"));
    EXPECT_NE(globs.find(":application/varnsplit:*.vrn"), std::string::npos)
        << globs.substr(0, 500);
    EXPECT_NE(globs.find(":application/x-varnsplit-piece-4:*.007"), std::string::npos);
    const std::string icons = ReadFileBytes(Data("mime/icons"));
    EXPECT_NE(icons.find("application/x-varnsplit-dos:application-x-varnsplit-dos"),
              std::string::npos);
}

// A file as the icon folder skips the icons; a folder as the desktop entry fails.
TEST_F(FileAssociationTest, UnwritableFilesAreSkippedOrAnErrorNamingThem) {
    WriteFileBytes(Data("icons"), "not a folder");
    const auto report = RestoreFileAssociations(m_options);
    EXPECT_EQ(report.filesWritten,
              (QStringList{QString::fromStdString(Data("mime/packages/varnsplit.xml")),
                           QString::fromStdString(Data("applications/varnsplit.desktop"))}));
    EXPECT_EQ(ReadFileBytes(Data("icons")), "not a folder");

    fs::remove(Data("applications/varnsplit.desktop"));
    fs::create_directories(Data("applications/varnsplit.desktop/x"));
    try {
        RestoreFileAssociations(m_options);
        FAIL() << "registration reported success";
    } catch (const ESettingsError& error) {
        EXPECT_NE(std::string(error.what()).find("varnsplit.desktop"), std::string::npos)
            << error.what();
    }
}
