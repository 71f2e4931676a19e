#include "shell/ShellMasks.h"
#include "shell/ShellNamespace.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>
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

TEST(MaskList, BlankTextBecomesAllFilesAndSemicolonAlonePassesEverything) {
    EXPECT_EQ(MaskListFromText(""), QStringList{"*.*"});
    EXPECT_EQ(MaskListFromText(" \t\r\n"), QStringList{"*.*"});
    EXPECT_TRUE(MaskListFromText(";").isEmpty());
    EXPECT_EQ(MaskListFromText(" *.vrn ; *.001;;"), (QStringList{"*.vrn", "*.001"}));
    EXPECT_EQ(MaskListFromText("a b;c"), (QStringList{"a b", "c"})); // inner blanks stay
}

TEST(MaskList, JoinsWithoutBlanksOrTrailingSeparator) {
    EXPECT_EQ(MaskListToText({"*.vrn", "*.001"}), "*.vrn;*.001");
    EXPECT_EQ(MaskListToText({}), "");
    EXPECT_EQ(MaskListToText(MaskListFromText(" *.a ;;*.b; ")), "*.a;*.b");
}

TEST(MatchesMask, StarAndStarDotStar) {
    EXPECT_TRUE(MatchesMask("README", "*"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_TRUE(MatchesMask("archive.vrn", "*.*"));
    EXPECT_TRUE(MatchesMask(".profile", "*.*"));
    EXPECT_TRUE(MatchesMask("trailing.", "*.*"));
    EXPECT_FALSE(MatchesMask("README", "*.*"));
}

TEST(MatchesMask, PlainNamesAndEmptyMasks) {
    EXPECT_TRUE(MatchesMask("Setup.EXE", "setup.exe"));
    EXPECT_FALSE(MatchesMask("setup.exe", "setup.ex"));
    EXPECT_FALSE(MatchesMask("setup.ex", "setup.exe"));
    EXPECT_FALSE(MatchesMask("name", ""));
}

TEST(MatchesMask, QuestionMarkNeedsExactlyOneCharacter) {
    EXPECT_TRUE(MatchesMask("x", "?"));
    EXPECT_FALSE(MatchesMask("", "?"));
    EXPECT_FALSE(MatchesMask("xy", "?"));
    EXPECT_TRUE(MatchesMask("a.b", "*.?"));
    EXPECT_FALSE(MatchesMask("a.bc", "*.?"));
    EXPECT_TRUE(MatchesMask("file.001", "file.0??"));
    EXPECT_FALSE(MatchesMask("file.01", "file.0??"));
    // A star stays pending across "?": "*?c" needs one character before a later "c".
    EXPECT_TRUE(MatchesMask("abc", "*?c"));
    EXPECT_TRUE(MatchesMask("é.txt", "?.txt")); // one character, not one byte
}

TEST(MatchesMask, SeveralStarsContinueAfterEachFoundLiteral) {
    EXPECT_TRUE(MatchesMask("AXBYC", "a*b*c"));
    EXPECT_TRUE(MatchesMask("abc", "a*b*c"));
    EXPECT_FALSE(MatchesMask("acb", "a*b*c"));
    EXPECT_TRUE(MatchesMask("abcd", "a*b*"));
    EXPECT_TRUE(MatchesMask("movie.part1.vrn", "*.part*.vrn"));
    EXPECT_TRUE(MatchesMask("x", "**"));
}

TEST(MatchesMask, FirstOccurrenceOnlyNoBacktracking) {
    EXPECT_FALSE(MatchesMask("a.txt.txt", "*.txt"));
    EXPECT_TRUE(MatchesMask("a.txt", "*.txt"));
    EXPECT_TRUE(MatchesMask("a.b.vrn", "*.vrn")); // the literal ".vrn" is searched whole
    EXPECT_FALSE(MatchesMask("x.vrn.vrn", "*.vrn"));
    EXPECT_FALSE(MatchesMask("abab", "*ab")); // the first "ab" ends the star, "ab" remains
    EXPECT_TRUE(MatchesMask("abab", "*ab*"));
}

TEST(MatchesMask, CaseInsensitiveBeyondAscii) {
    EXPECT_TRUE(MatchesMask("ЗВІТ.VRN", "*.vrn"));
    EXPECT_TRUE(MatchesMask("звіт.vrn", "ЗВІТ.*"));
    EXPECT_TRUE(MatchesMask("Archive.Vrn", "ARCHIVE.VRN"));
}

TEST(MatchesAnyMask, EmptyListPassesAndOrderDecides) {
    EXPECT_TRUE(MatchesAnyMask("README", {}));
    EXPECT_TRUE(MatchesAnyMask("README", MaskListFromText(";")));
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

    EXPECT_EQ(NormalizePath(Q(data)), Q(data));
    EXPECT_EQ(NormalizePath(Q(data + "/")), Q(data + "/"));
    EXPECT_EQ(NormalizePath(Q(data + "/missing/deeper")), Q(data + "/"));
    EXPECT_EQ(NormalizePath(Q(data + "/missing/deeper/")), Q(data + "/"));
    EXPECT_EQ(NormalizePath(Q(data + "/file.bin")), Q(data + "/"));
    EXPECT_EQ(NormalizePath(Q(data + "/file.bin/inside")), Q(data + "/"));
}

TEST(NormalizePath, RelativeEmptyAndRootTexts) {
    EXPECT_EQ(NormalizePath("Data"), "");
    EXPECT_EQ(NormalizePath("./Data"), "");
    EXPECT_EQ(NormalizePath(""), "");
    EXPECT_EQ(NormalizePath("/"), "/");
    EXPECT_EQ(NormalizePath("/no-such-folder-varn-test/deeper"), "/");
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
    // Virtual items (no file-system bit) count as non-files as well.
    const TLevelItem virtualB{&b, SFGAO_FOLDER};
    EXPECT_EQ(CompareLevelItems(after, fileA, virtualB, so_Ascending, so_Date), 1);
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
        std::vector<TItemIdList> lists;
        std::vector<std::uint32_t> attributes;
        auto items = m_folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
        TItemIdList item;
        while (items->Next(item)) {
            lists.push_back(item);
            attributes.push_back(*m_folder->GetAttributesOf(item, SFGAO_TREEREQUEST));
        }
        std::vector<std::size_t> order_(lists.size());
        for (std::size_t i = 0; i < order_.size(); ++i)
            order_[i] = i;
        std::sort(order_.begin(), order_.end(), [&](std::size_t x, std::size_t y) {
            return CompareLevelItems(*m_folder, {&lists[x], attributes[x]},
                                     {&lists[y], attributes[y]}, order, type) < 0;
        });
        std::vector<QString> names;
        for (std::size_t i : order_)
            names.push_back(*m_folder->GetDisplayNameOf(lists[i], SHGDN_NORMAL));
        return names;
    }

    TTempFolder m_temp;
    TShellFolderPtr m_folder;
};

TEST_F(LevelOrder, DescendingKeepsTheAscendingOrderOfEveryColumn) {
    using V = std::vector<QString>;
    EXPECT_EQ(Sorted(so_Descending, so_Name),
              (V{"alpha", "Zeta", "a-large.zip", "b-small.txt", "c-middle.png"}));
    EXPECT_EQ(Sorted(so_Descending, so_Size),
              (V{"alpha", "Zeta", "b-small.txt", "c-middle.png", "a-large.zip"}));
    EXPECT_EQ(Sorted(so_Descending, so_Date),
              (V{"alpha", "Zeta", "a-large.zip", "c-middle.png", "b-small.txt"}));
}

TEST_F(LevelOrder, AscendingReversesFilesButNotFolders) {
    using V = std::vector<QString>;
    EXPECT_EQ(Sorted(so_Ascending, so_Name),
              (V{"alpha", "Zeta", "c-middle.png", "b-small.txt", "a-large.zip"}));
    EXPECT_EQ(Sorted(so_Ascending, so_Size),
              (V{"alpha", "Zeta", "a-large.zip", "c-middle.png", "b-small.txt"}));
    EXPECT_EQ(Sorted(so_Ascending, so_Date),
              (V{"alpha", "Zeta", "b-small.txt", "c-middle.png", "a-large.zip"}));
}

TEST_F(LevelOrder, TypeColumnOrdersByTypeName) {
    const std::vector<QString> descending = Sorted(so_Descending, so_Type);
    const std::vector<QString> ascending = Sorted(so_Ascending, so_Type);
    ASSERT_EQ(descending.size(), 5u);
    EXPECT_EQ(descending[0], "alpha");
    EXPECT_EQ(descending[1], "Zeta");
    EXPECT_EQ(ascending[0], "alpha");
    EXPECT_EQ(ascending[1], "Zeta");
    // The files come in exactly the reverse order.
    EXPECT_TRUE(std::equal(descending.begin() + 2, descending.end(), ascending.rbegin()));
}
