#include "shell/ShellMasks.h"
#include "shell/ShellNamespace.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QMimeDatabase>

#include <sys/time.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void SetModificationTime(const std::string& path, time_t seconds) {
    const struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

} // namespace

TEST(MaskList, ListsSplitAtSemicolonsAndWildcardsMatchCaseInsensitively) {
    // Text, masks, masks joined again.
    const std::tuple<const char*, QStringList, const char*> cases[] = {
        {"", {"*.*"}, "*.*"}, // blank text means all files
        {" \t\r\n", {"*.*"}, "*.*"},
        {";", {}, ""}, // a semicolon alone passes everything
        {" *.vrn ; *.001;;", {"*.vrn", "*.001"}, "*.vrn;*.001"},
        {"a b;c", {"a b", "c"}, "a b;c"}, // inner blanks stay
    };
    for (const auto& [text, masks, joined] : cases) {
        EXPECT_EQ(MaskListFromText(text), masks) << text;
        EXPECT_EQ(MaskListToText(masks), joined) << text;
    }
    // An empty list passes every name; otherwise any mask may match.
    EXPECT_TRUE(MatchesAnyMask("README", {}));
    EXPECT_FALSE(MatchesAnyMask("README", MaskListFromText("")));
    EXPECT_TRUE(MatchesAnyMask("piece.001", {"*.vrn", "*.001"}));
    EXPECT_FALSE(MatchesAnyMask("piece.002", {"*.vrn", "*.001"}));

    // "?" is one character, not one byte, and a star stays pending across it;
    // stars continue after each literal found and end at its first whole
    // occurrence. Each case is "name mask", split at the first blank.
    auto check = [](std::initializer_list<const char*> cases, bool matches) {
        for (const QString c : cases) {
            const qsizetype blank = c.indexOf(u' ');
            EXPECT_EQ(MatchesMask(c.left(blank), c.mid(blank + 1)), matches) << c.toStdString();
        }
    };
    check({" *", ".profile *.*", "trailing. *.*", "Setup.EXE setup.exe", "x ?", "a.b *.?",
           "file.001 file.0??", "abc *?c", "é.txt ?.txt", "AXBYC a*b*c", "abcd a*b*", "x **",
           "a.txt *.txt", "a.b.vrn *.vrn", "abab *ab*", "ЗВІТ.VRN *.vrn", "звіт.vrn ЗВІТ.*"},
          true);
    check({"README *.*", "setup.exe setup.ex", "setup.ex setup.exe", "name ", " ?", "xy ?",
           "a.bc *.?", "acb a*b*c", "a.txt.txt *.txt", "abab *ab"},
          false);
}

class LevelOrder : public ::testing::Test {
protected:
    void SetUp() override {
        // Sizes, types and dates each order the files differently from their names.
        Make("b-small.txt", 10, 3000);
        Make("a-large.zip", 300, 1000);
        Make("c-middle.png", 100, 2000);
        std::filesystem::create_directory(m_temp / "Zeta");
        std::filesystem::create_directory(m_temp / "alpha");
        SetModificationTime(m_temp / "Zeta", 1700000000);
        m_folder = ShellDesktopFolder()->BindToObject(*ParsePathToIdList(Q(m_temp.Path())));
        ASSERT_TRUE(m_folder);
    }

    void Make(const std::string& name, std::size_t size, time_t modified) {
        WriteFileBytes(m_temp / name, std::string(size, 'x'));
        SetModificationTime(m_temp / name, 1700000000 + modified);
    }

    std::vector<QString> Sorted(TFileSortOrder order, TFileSortType type) {
        std::vector<std::pair<TItemIdList, std::uint32_t>> items;
        auto listing = m_folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
        TItemIdList item;
        while (listing->Next(item))
            items.emplace_back(item, *m_folder->GetAttributesOf(item, SFGAO_TREEREQUEST));
        std::sort(items.begin(), items.end(), [&](const auto& x, const auto& y) {
            return CompareLevelItems(*m_folder, {&x.first, x.second}, {&y.first, y.second}, order,
                                     type) < 0;
        });
        std::vector<QString> names;
        for (const auto& [list, attributes] : items)
            names.push_back(*m_folder->GetDisplayNameOf(list, SHGDN_NORMAL));
        return names;
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_temp;
    TShellFolderPtr m_folder;
};

TEST_F(LevelOrder, FoldersComeFirstSoAscendingReversesFilesAndPathsAreCutBack) {
    // Type names come from the system's types; a tie falls back to the name.
    std::vector<QString> byType{"a-large.zip", "b-small.txt", "c-middle.png"};
    const QMimeDatabase types;
    auto typeOf = [&](const QString& name) {
        return types.mimeTypeForFile(name, QMimeDatabase::MatchExtension).comment().toCaseFolded();
    };
    std::stable_sort(byType.begin(), byType.end(),
                     [&](const QString& a, const QString& b) { return typeOf(a) < typeOf(b); });
    const std::pair<TFileSortType, std::vector<QString>> cases[] = {
        {so_Name, {"a-large.zip", "b-small.txt", "c-middle.png"}},
        {so_Size, {"b-small.txt", "c-middle.png", "a-large.zip"}},
        {so_Date, {"a-large.zip", "c-middle.png", "b-small.txt"}},
        {so_Type, byType},
    };
    for (const auto& [type, files] : cases) {
        SCOPED_TRACE(testing::Message() << "type " << type);
        // Folders always by name, though alpha is the newer one.
        std::vector<QString> expected{"alpha", "Zeta"};
        expected.insert(expected.end(), files.begin(), files.end());
        EXPECT_EQ(Sorted(so_Descending, type), expected);
        std::reverse(expected.begin() + 2, expected.end());
        EXPECT_EQ(Sorted(so_Ascending, type), expected);
    }

    // NormalizePath keeps existing directories and cuts back the rest.
    const std::string data = m_temp / "Data";
    std::filesystem::create_directory(data);
    WriteFileBytes(data + "/file.bin", "x");
    std::filesystem::create_symlink(data, m_temp / "link");
    std::filesystem::create_symlink(m_temp / "gone", m_temp / "dangling");
    EXPECT_TRUE(DirectoryExists(Q(m_temp / "link")));
    for (const std::string& path : {data + "/file.bin", m_temp / "dangling", std::string()})
        EXPECT_FALSE(DirectoryExists(Q(path))) << path;
    // Existing folders (links to one too) stay, the rest is cut back to the
    // deepest existing one; relative texts name nothing.
    for (const std::string& kept : {data, m_temp / "link", data + "/", std::string("/")})
        EXPECT_EQ(NormalizePath(Q(kept)), Q(kept)) << kept;
    for (const char* rest : {"/missing/deeper", "/missing/deeper/", "/file.bin", "/file.bin/x"})
        EXPECT_EQ(NormalizePath(Q(data + rest)), Q(data + "/")) << rest;
    for (const char* relative : {"Data", "./Data", ""})
        EXPECT_EQ(NormalizePath(relative), "") << relative;
    EXPECT_EQ(NormalizePath("/no-such-folder-varn-test/deeper"), "/");
}
