#include "shell/ShellMasks.h"
#include "shell/ShellNamespace.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

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
}

TEST(MatchesMask, WildcardsMatchCaseInsensitivelyWithoutBacktracking) {
    struct TCase {
        const char* name;
        const char* mask;
        bool matches;
    };
    const TCase cases[] = {
        {"README", "*", true},
        {"", "*", true},
        {"archive.vrn", "*.*", true},
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
        {"file.01", "file.0??", false},
        {"abc", "*?c", true}, // the star stays pending across "?"
        {"é.txt", "?.txt", true},
        // Several stars continue after each literal found.
        {"AXBYC", "a*b*c", true},
        {"abc", "a*b*c", true},
        {"acb", "a*b*c", false},
        {"abcd", "a*b*", true},
        {"movie.part1.vrn", "*.part*.vrn", true},
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

TEST(MatchesAnyMask, EmptyListPassesAndOrderDecides) {
    EXPECT_TRUE(MatchesAnyMask("README", {}));
    EXPECT_FALSE(MatchesAnyMask("README", MaskListFromText("")));
    EXPECT_TRUE(MatchesAnyMask("archive.vrn", MaskListFromText("")));
    EXPECT_TRUE(MatchesAnyMask("piece.001", {"*.vrn", "*.001"}));
    EXPECT_FALSE(MatchesAnyMask("piece.002", {"*.vrn", "*.001"}));
}

TEST(NormalizePath, KeepsExistingDirectoriesAndCutsBackTheRest) {
    TTempFolder temp;
    const std::string data = temp / "Data";
    std::filesystem::create_directory(data);
    WriteFileBytes(data + "/file.bin", "x");
    const std::pair<std::string, std::string> cases[] = {
        {data, data},
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

TEST(DirectoryExists, DirectoriesAndLinksToThem) {
    TTempFolder temp;
    std::filesystem::create_directory(temp / "dir");
    WriteFileBytes(temp / "file", "x");
    std::filesystem::create_symlink(temp / "dir", temp / "dirlink");
    std::filesystem::create_symlink(temp / "gone", temp / "dangling");
    EXPECT_TRUE(DirectoryExists(Q(temp / "dir")));
    EXPECT_TRUE(DirectoryExists(Q(temp / "dirlink")));
    EXPECT_FALSE(DirectoryExists(Q(temp / "file")));
    EXPECT_FALSE(DirectoryExists(Q(temp / "dangling")));
    EXPECT_FALSE(DirectoryExists(Q(temp / "missing")));
    EXPECT_FALSE(DirectoryExists(""));
}

namespace {

// A folder that answers a fixed comparison and remembers the column asked.
class TFixedCompareFolder : public TShellFolder {
public:
    explicit TFixedCompareFolder(int answer) : m_answer(answer) {}
    const TItemIdList& AbsoluteIdList() const override { return m_list; }
    std::unique_ptr<TEnumIdList> EnumObjects(unsigned) const override { return nullptr; }
    std::shared_ptr<TShellFolder> BindToObject(const TItemIdList&) const override {
        return nullptr;
    }
    std::optional<std::uint32_t> GetAttributesOf(const TItemIdList&, std::uint32_t) const override {
        return std::nullopt;
    }
    int CompareIDs(int column, const TItemIdList&, const TItemIdList&) const override {
        lastColumn = column;
        return m_answer;
    }
    std::optional<QString> GetDisplayNameOf(const TItemIdList&, unsigned) const override {
        return std::nullopt;
    }
    std::optional<TItemIdList> SetNameOf(const TItemIdList&, const QString&, unsigned,
                                         QString*) const override {
        return std::nullopt;
    }
    std::optional<TItemIdList> ParseDisplayName(const QString&, std::uint32_t*) const override {
        return std::nullopt;
    }
    mutable int lastColumn = -1;

private:
    int m_answer;
    TItemIdList m_list = TItemIdList::Empty();
};

constexpr std::uint32_t FileBits = SFGAO_FILESYSTEM;
constexpr std::uint32_t FolderBits = SFGAO_FILESYSTEM | SFGAO_FOLDER;

} // namespace

TEST(CompareLevelItems, ReducesTheAnswerAndReversesOnlyForAscending) {
    const TItemIdList a = TItemIdList::FromId("a");
    const TItemIdList b = TItemIdList::FromId("b");
    const TLevelItem fileA{&a, FileBits};
    const TLevelItem fileB{&b, FileBits};
    const TLevelItem folderB{&b, FolderBits};

    TFixedCompareFolder after(5);
    EXPECT_EQ(CompareLevelItems(after, fileA, fileB, so_Descending, so_Size), 1);
    EXPECT_EQ(after.lastColumn, 1);
    EXPECT_EQ(CompareLevelItems(after, fileA, fileB, so_Ascending, so_Date), -1);
    EXPECT_EQ(after.lastColumn, 3);
    EXPECT_EQ(CompareLevelItems(after, fileA, fileB, so_Descending, so_Type), 1);
    EXPECT_EQ(after.lastColumn, 2);
    // A folder in the pair: column 0 and never reversed.
    EXPECT_EQ(CompareLevelItems(after, fileA, folderB, so_Ascending, so_Size), 1);
    EXPECT_EQ(after.lastColumn, 0);

    TFixedCompareFolder before(-70000);
    EXPECT_EQ(CompareLevelItems(before, fileA, fileB, so_Descending, so_Name), -1);
    EXPECT_EQ(CompareLevelItems(before, fileA, fileB, so_Ascending, so_Name), 1);
    TFixedCompareFolder same(0);
    EXPECT_EQ(CompareLevelItems(same, fileA, fileB, so_Ascending, so_Name), 0);
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
    struct TCase {
        TFileSortOrder order;
        TFileSortType type;
        std::vector<QString> files;
    };
    const TCase cases[] = {
        {so_Descending, so_Name, {"a-large.zip", "b-small.txt", "c-middle.png"}},
        {so_Descending, so_Size, {"b-small.txt", "c-middle.png", "a-large.zip"}},
        {so_Descending, so_Date, {"a-large.zip", "c-middle.png", "b-small.txt"}},
        {so_Ascending, so_Name, {"c-middle.png", "b-small.txt", "a-large.zip"}},
        {so_Ascending, so_Size, {"a-large.zip", "c-middle.png", "b-small.txt"}},
        {so_Ascending, so_Date, {"b-small.txt", "c-middle.png", "a-large.zip"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << " type " << c.type);
        std::vector<QString> expected{"alpha", "Zeta"};
        expected.insert(expected.end(), c.files.begin(), c.files.end());
        EXPECT_EQ(Sorted(c.order, c.type), expected);
    }
    // Type names depend on the system's types; the files come in exactly the
    // reverse order.
    const std::vector<QString> descending = Sorted(so_Descending, so_Type);
    const std::vector<QString> ascending = Sorted(so_Ascending, so_Type);
    ASSERT_EQ(descending.size(), 5u);
    EXPECT_EQ(std::vector<QString>(descending.begin(), descending.begin() + 2),
              (std::vector<QString>{"alpha", "Zeta"}));
    EXPECT_EQ(std::vector<QString>(ascending.begin(), ascending.begin() + 2),
              (std::vector<QString>{"alpha", "Zeta"}));
    EXPECT_TRUE(std::equal(descending.begin() + 2, descending.end(), ascending.rbegin()));
}
