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

TEST(MaskList, TextSplitsAtSemicolonsAndJoinsWithoutBlanks) {
    struct TCase {
        const char* text;
        QStringList masks;
        const char* joined;
    };
    const TCase cases[] = {
        {"", {"*.*"}, "*.*"}, // blank text means all files
        {" \t\r\n", {"*.*"}, "*.*"},
        {";", {}, ""}, // a semicolon alone passes everything
        {" *.vrn ; *.001;;", {"*.vrn", "*.001"}, "*.vrn;*.001"},
        {"a b;c", {"a b", "c"}, "a b;c"}, // inner blanks stay
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MaskListFromText(c.text), c.masks);
        EXPECT_EQ(MaskListToText(c.masks), c.joined);
    }
    // An empty list passes every name; otherwise any mask may match.
    EXPECT_TRUE(MatchesAnyMask("README", {}));
    EXPECT_FALSE(MatchesAnyMask("README", MaskListFromText("")));
    EXPECT_TRUE(MatchesAnyMask("piece.001", {"*.vrn", "*.001"}));
    EXPECT_FALSE(MatchesAnyMask("piece.002", {"*.vrn", "*.001"}));
}

TEST(MatchesMask, WildcardsMatchCaseInsensitivelyWithoutBacktracking) {
    struct TCase {
        const char* name;
        const char* mask;
        bool matches;
    };
    const TCase cases[] = {
        {"", "*", true},
        {".profile", "*.*", true},
        {"trailing.", "*.*", true},
        {"README", "*.*", false}, // "*.*" wants a dot
        {"Setup.EXE", "setup.exe", true},
        {"setup.exe", "setup.ex", false},
        {"setup.ex", "setup.exe", false},
        {"name", "", false},
        // "?" needs exactly one character, not one byte.
        {"x", "?", true},
        {"", "?", false},
        {"xy", "?", false},
        {"a.b", "*.?", true},
        {"a.bc", "*.?", false},
        {"file.001", "file.0??", true},
        {"abc", "*?c", true}, // the star stays pending across "?"
        {"é.txt", "?.txt", true},
        // Several stars continue after each literal found.
        {"AXBYC", "a*b*c", true},
        {"acb", "a*b*c", false},
        {"abcd", "a*b*", true},
        {"x", "**", true},
        // A star ends at the first occurrence of the literal after it.
        {"a.txt", "*.txt", true},
        {"a.txt.txt", "*.txt", false},
        {"a.b.vrn", "*.vrn", true}, // the literal ".vrn" is searched whole
        {"abab", "*ab", false},
        {"abab", "*ab*", true},
        // Case folding beyond ASCII.
        {"ЗВІТ.VRN", "*.vrn", true},
        {"звіт.vrn", "ЗВІТ.*", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " / " << c.mask);
        EXPECT_EQ(MatchesMask(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)), c.matches);
    }
}

TEST(NormalizePath, KeepsExistingDirectoriesAndCutsBackTheRest) {
    TTempFolder temp;
    const std::string data = temp / "Data";
    std::filesystem::create_directory(data);
    WriteFileBytes(data + "/file.bin", "x");
    std::filesystem::create_symlink(data, temp / "link");
    std::filesystem::create_symlink(temp / "gone", temp / "dangling");
    EXPECT_TRUE(DirectoryExists(Q(temp / "link")));
    for (const std::string& path : {data + "/file.bin", temp / "dangling", std::string()})
        EXPECT_FALSE(DirectoryExists(Q(path))) << path;
    const std::pair<std::string, std::string> cases[] = {
        {data, data},
        {temp / "link", temp / "link"}, // a link to a folder is one
        {data + "/", data + "/"},
        {data + "/missing/deeper", data + "/"},
        {data + "/missing/deeper/", data + "/"},
        {data + "/file.bin", data + "/"},
        {data + "/file.bin/inside", data + "/"},
        {"Data", ""}, // relative texts name nothing
        {"./Data", ""},
        {"", ""},
        {"/", "/"},
        {"/no-such-folder-varn-test/deeper", "/"},
    };
    for (const auto& [text, normal] : cases)
        EXPECT_EQ(NormalizePath(Q(text)), Q(normal)) << text;
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

    TTempFolder m_temp;
    TShellFolderPtr m_folder;
};

TEST_F(LevelOrder, FoldersComeFirstAndOnlySoAscendingReversesTheFiles) {
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
}
