#include "settings/RegistrySettings.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const QString kSection = QStringLiteral("Settings");

// The store under a temporary XDG config home, with its file written raw.
class RegistrySettingsTest : public ::testing::Test {
protected:
    std::string StorePath() const {
        return (m_home.ConfigHome() / "Oskel/Utilities/split/1.1/UA.ini").string();
    }
    void WriteStore(const std::string& text) {
        fs::create_directories(fs::path(StorePath()).parent_path());
        WriteFileBytes(StorePath(), text);
    }
    std::vector<std::string> FilesBesideStore() const {
        return FolderNames(fs::path(StorePath()).parent_path());
    }

    TScopedXdgHome m_home;
};

} // namespace

TEST_F(RegistrySettingsTest, MissingOrMalformedValuesYieldTheDefaultAndHandEditsAreRead) {
    TRegistrySettings settings;
    EXPECT_EQ(settings.ReadString(kSection, "Nothing", "fallback"), "fallback");
    EXPECT_EQ(settings.ReadInteger(kSection, "Nothing", -17), -17);
    EXPECT_TRUE(settings.ReadBool(kSection, "Nothing", true));
    EXPECT_FALSE(settings.ReadBool(kSection, "Nothing", false));
    EXPECT_FALSE(settings.IsDamaged());
    // Reading creates nothing.
    EXPECT_FALSE(fs::exists(fs::path(StorePath()).parent_path()));

    WriteStore("[MainWindow]\nLeft=5\n[Settings]\n"
               "Two=2\nMinusOne=-1\nZero=0\nYes=yes\nEmpty=\nPlus=+42\nSpaced=\\x207\n"
               "Trailing=12abc\nHex=0x10\nBig=2147483647\nSmall=-2147483648\n"
               "TooBig=2147483648\nTooSmall=-2147483649\nHuge=99999999999999999999\n"
               "Sign=-\nDouble=--1\nFraction=1.5\nGrouped=1 457 664\n");
    EXPECT_EQ(settings.ReadInteger("MainWindow", "Top", 107), 107);
    EXPECT_EQ(settings.ReadInteger("SourceData", "Left", 191), 191);
    EXPECT_EQ(settings.ReadInteger("MainWindow", "Left", 191), 5);
    EXPECT_TRUE(settings.ReadBool(kSection, "Two", false));
    EXPECT_TRUE(settings.ReadBool(kSection, "MinusOne", false));
    EXPECT_FALSE(settings.ReadBool(kSection, "Zero", true));
    EXPECT_TRUE(settings.ReadBool(kSection, "Yes", true));
    EXPECT_FALSE(settings.ReadBool(kSection, "Yes", false));
    EXPECT_TRUE(settings.ReadBool(kSection, "Empty", true));
    EXPECT_EQ(settings.ReadInteger(kSection, "Plus", 0), 42);
    EXPECT_EQ(settings.ReadInteger(kSection, "Big", 0), 2147483647);
    EXPECT_EQ(settings.ReadInteger(kSection, "Small", 0), -2147483647 - 1);
    for (const char* name : {"Yes", "Empty", "Spaced", "Trailing", "Hex", "TooBig", "TooSmall",
                             "Huge", "Sign", "Double", "Fraction", "Grouped"})
        EXPECT_EQ(settings.ReadInteger(kSection, name, 77), 77) << name;

    // Hand-edited: a BOM, comments, blanks, CR LF, repeated names and sections.
    WriteStore("\xEF\xBB\xBF; comment\r\n"
               "# another\r\n"
               "  [ MainWindow ]  \r\n"
               "  Left = 15  \r\n"
               "Top=1\r\n"
               "Top=2\r\n"
               "\r\n"
               "[mainwindow]\r\n"
               "Width=600\r\n");
    TRegistrySettings edited;
    EXPECT_FALSE(edited.IsDamaged());
    EXPECT_EQ(edited.ReadInteger("MainWindow", "Left", 0), 15);
    EXPECT_EQ(edited.ReadInteger("MainWindow", "Top", 0), 2);
    EXPECT_EQ(edited.ReadInteger("MainWindow", "Width", 0), 600);
}

// Accessors share the file; names match without regard to case.
TEST_F(RegistrySettingsTest, WriteCreatesFoldersFileAndSectionAsText) {
    TRegistrySettings settings;
    TRegistrySettings dialog;
    settings.WriteInteger("MainWindow", "Left", -12);
    EXPECT_EQ(dialog.ReadInteger("MAINWINDOW", "left", 0), -12);
    dialog.WriteBool("mainwindow", "Maximized", true);
    settings.WriteBool(kSection, "HotTrack", false);
    settings.WriteString(kSection, "Note", "a b");
    settings.WriteInteger("mainWindow", "LEFT", 1457664);
    EXPECT_EQ(ReadFileBytes(StorePath()), "[MainWindow]\n"
                                          "Left=1457664\n"
                                          "Maximized=1\n"
                                          "\n"
                                          "[Settings]\n"
                                          "HotTrack=0\n"
                                          "Note=a b\n");
    // The atomic replacement leaves no temporary file behind.
    EXPECT_EQ(FilesBesideStore(), std::vector<std::string>{"UA.ini"});
}

// Values, names and a section name that look like the file's own syntax.
TEST_F(RegistrySettingsTest, TrickyValuesRoundTripAndDamagedStoresAreKept) {
    std::vector<std::pair<QString, QString>> values = {
        {"Equals", "Диск D=/media/ґанок=2 — їжак, єнот"},
        {"Separators", ";leading,and;;trailing,,"},
        {"Hash", "#not a comment"},
        {"Bracket", "[NotASection]"},
        {"LineBreaks", "Home=/home/u\r\nДокументи=/home/u/Документи\r\n"},
        {"LoneBreaks", "\n\r\r\n\n"},
        {"Blanks", "  padded value\t "},
        {"Backslashes", "C:\\dir\\\\x20\\n"},
        {"Controls", QString::fromLatin1("bell\aesc\033del\177nul\0\037", 18)},
        {"Quotes", "@Variant(x) %1 %USERPROFILE% \"quoted\" 'single'"},
        {"Empty", ""},
    };
    QString favorites;
    for (int i = 0; favorites.size() < 100000; ++i)
        favorites +=
            QStringLiteral("Улюблена тека %1=/home/user/папка, з комою; і = знаком %1\r\n").arg(i);
    values.emplace_back("Favorites", favorites);
    for (const QString name : {"a=b", "[x]", ";semi", "#hash", " blank ", "a/b\\c", "Назва"})
        values.emplace_back(name, name + "!");

    {
        TRegistrySettings settings;
        for (const auto& [name, value] : values)
            settings.WriteString("Sec]tion [1]", name, value);
    }
    TRegistrySettings reader;
    for (const auto& [name, value] : values)
        EXPECT_EQ(reader.ReadString("Sec]tion [1]", name, "<missing>"), value)
            << name.toStdString();
    EXPECT_FALSE(reader.IsDamaged());
    // Every value is one line of the file, so nothing can leak into a new key.
    const std::string text = ReadFileBytes(StorePath());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(values.size()) + 1);

    // A damaged store reads the defaults and is kept before it is overwritten.
    const std::vector<std::string> damagedTexts = {
        "[Settings]\nSplitMode=3\nthis line has no equals sign\n",
        "SplitMode=3\n[Settings]\n",                     // value before any section
        "[Settings\nSplitMode=3\n",                      // header not closed
        "[Settings]\nSplitMode=\\q3\n",                  // unknown escape
        "[Settings]\nSplitMode=3\xff\xfe\n",             // not UTF-8
        std::string("[Settings]\nSplitMode=3\n\0\n", 24) // a NUL byte
    };
    // Each in its turn, beside the kept copies, which a later copy never replaces.
    for (std::size_t turn = 0; turn < damagedTexts.size(); ++turn) {
        const std::string& damaged = damagedTexts[turn];
        SCOPED_TRACE(damaged);
        WriteStore(damaged);
        TRegistrySettings settings;
        EXPECT_TRUE(settings.IsDamaged());
        EXPECT_EQ(settings.ReadInteger(kSection, "SplitMode", 0), 0);
        // Reading alone leaves the file where it is.
        EXPECT_EQ(ReadFileBytes(StorePath()), damaged);

        settings.WriteInteger(kSection, "SplitMode", 2);
        const std::string keptAs = settings.DamagedFileKeptAs().toStdString();
        EXPECT_EQ(keptAs.rfind(StorePath() + ".damaged-", 0), 0u) << keptAs;
        EXPECT_EQ(ReadFileBytes(keptAs), damaged);
        EXPECT_EQ(ReadFileBytes(StorePath()), "[Settings]\nSplitMode=2\n");
        EXPECT_FALSE(settings.IsDamaged());
        EXPECT_EQ(FilesBesideStore().size(), turn + 2);
    }

    // A folder where the file should be cannot be read as a store either.
    fs::remove(StorePath());
    fs::create_directories(fs::path(StorePath()) / "inside");
    TRegistrySettings settings;
    EXPECT_TRUE(settings.IsDamaged());
    EXPECT_EQ(settings.ReadString(kSection, "Name", "default"), "default");
    settings.WriteString(kSection, "Name", "value");
    EXPECT_TRUE(fs::is_directory(settings.DamagedFileKeptAs().toStdString() + "/inside"));
    EXPECT_EQ(TRegistrySettings().ReadString(kSection, "Name", ""), "value");
}

TEST_F(RegistrySettingsTest, FailedWritesRaiseAndLeaveTheStoreAsItWas) {
    WriteStore("[Settings]\nSplitMode=1\n");
    TRegistrySettings settings;
    EXPECT_THROW(settings.WriteString("", "Name", "x"), ESettingsError);
    EXPECT_THROW(settings.WriteString(kSection, "", "x"), ESettingsError);

    // A file where the store's folder should be.
    TTempFolder other;
    const std::string blocked = other / "file";
    WriteFileBytes(blocked, "x");
    TRegistrySettings nowhere(QString::fromStdString(blocked + "/sub/UA.ini"));
    try {
        nowhere.WriteInteger(kSection, "SplitMode", 1);
        FAIL() << "write into a file's path succeeded";
    } catch (const ESettingsError& error) {
        EXPECT_NE(std::string(error.what()).find(blocked), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadFileBytes(blocked), "x");
    EXPECT_EQ(ReadFileBytes(StorePath()), "[Settings]\nSplitMode=1\n");

    // A damaged store that cannot be moved away is never overwritten.
    WriteStore("broken\n");
    const fs::path folder = fs::path(StorePath()).parent_path();
    // A read-only folder stops the move for an ordinary user; root ignores
    // permissions, but cannot rename a file that is a mount point either.
    TTempFolder source;
    bool mounted = false;
    if (geteuid() == 0) {
        WriteFileBytes(source / "over", "broken\n");
        const std::string over = source / "over";
        mounted = ::mount(over.c_str(), StorePath().c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (!mounted)
            GTEST_SKIP() << "root here cannot bind-mount, so nothing stops the move";
    } else {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    }
    TRegistrySettings broken;
    EXPECT_TRUE(broken.IsDamaged());
    EXPECT_THROW(broken.WriteInteger(kSection, "SplitMode", 1), ESettingsError);
    if (mounted)
        ::umount(StorePath().c_str());
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(StorePath()), "broken\n");
    EXPECT_EQ(FilesBesideStore(), std::vector<std::string>{"UA.ini"});
}

// A batch reaches the file in one replacement, or not at all when dropped.
TEST_F(RegistrySettingsTest, BatchWritesAllAtOnceOrNothing) {
    WriteStore("[Settings]\nSplitMode=1\n");
    TRegistrySettings settings;
    {
        TSettingsBatch batch(settings);
        settings.WriteInteger(kSection, "SplitMode", 3);
        settings.WriteBool(kSection, "HotTrack", true);
        EXPECT_EQ(ReadFileBytes(StorePath()), "[Settings]\nSplitMode=1\n");
    }
    EXPECT_EQ(ReadFileBytes(StorePath()), "[Settings]\nSplitMode=1\n");
    EXPECT_EQ(settings.ReadInteger(kSection, "SplitMode", 0), 1);

    TSettingsBatch batch(settings);
    settings.WriteInteger(kSection, "SplitMode", 3);
    settings.WriteBool(kSection, "HotTrack", true);
    batch.Commit();
    EXPECT_EQ(ReadFileBytes(StorePath()), "[Settings]\nSplitMode=3\nHotTrack=1\n");
    EXPECT_EQ(settings.ValueNames(kSection), (QStringList{"SplitMode", "HotTrack"}));
}
