#include "settings/FilterList.h"
#include "settings/RegistrySettings.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

const QString kSection = QStringLiteral("Settings");

std::vector<std::pair<QString, QString>> EntriesOf(const std::vector<TFilterEntry>& entries) {
    std::vector<std::pair<QString, QString>> result;
    for (const auto& entry : entries)
        result.emplace_back(entry.text, entry.item->Mask());
    return result;
}

using TPairs = std::vector<std::pair<QString, QString>>;

} // namespace

// Built-ins without a count, else the stored rows with "Error|*.*" for missing
// ones, as far as rows are really stored; then "Всі файли" is selected.
TEST(FilterListTest, LoadSaveAndParseTheStoredRows) {
    TScopedXdgHome home;
    const TPairs builtIns = {{"Всі файли", "*.*"},
                             {"Файл Varn split", "*.vrn"},
                             {"Файл WinSplit", "*.vrn"},
                             {"Файл Windows Media Audio", "*.wma"}};
    const TPairs allFiles = {{"Всі файли", "*.*"}};
    // Count (nullptr: none stored), stored rows, entries, the selected one.
    const std::tuple<const char*, std::vector<std::pair<int, const char*>>, TPairs, int> cases[] = {
        {nullptr, {{1, "Stale|*.old"}}, builtIns, 0},
        // "Всі файли" is found without regard to case; nothing is appended.
        {"4",
         {{1, "Архіви|*.zip;*.rar"}, {2, "abc"}, {4, "ВСІ ФАЙЛИ|*"}, {5, "Beyond|*.b"}},
         {{"Архіви", "*.zip;*.rar"}, {"", "abc"}, {"Error", "*.*"}, {"ВСІ ФАЙЛИ", "*"}},
         3},
        {"1", {{1, "A|*.a"}}, {{"A", "*.a"}, {"Всі файли", "*.*"}}, 1},
        {"0", {{1, "A|*.a"}}, allFiles, 0},
        {"-3", {{1, "A|*.a"}}, allFiles, 0},
        {"many", {{1, "A|*.a"}}, allFiles, 0},
        {"-2147483648", {{1, "A|*.a"}}, allFiles, 0},
        {"2147483647", {{1, "A|*.a"}, {2, "B|*.b"}}, {{"A", "*.a"}, {"B", "*.b"}, allFiles[0]}, 2},
        {"5",
         {{1, "A|*.a"}, {3, "C|*.c"}},
         {{"A", "*.a"}, {"Error", "*.*"}, {"C", "*.c"}, allFiles[0]},
         3},
        // Filter 2000000 is beyond the allowance for missing rows: not filled.
        {"2000000000",
         {{1, "A|*.a"}, {2000000, "Far|*.f"}},
         {{"A", "*.a"}, {"Far", "*.f"}, allFiles[0]},
         2},
        {"3", {{1, "A|*.a"}, {4, "Beyond|*.b"}}, {{"A", "*.a"}, allFiles[0]}, 1},
    };
    for (const auto& [count, stored, expected, selected] : cases) {
        SCOPED_TRACE(count ? count : "no count");
        TTempFolder folder;
        TRegistrySettings settings(QString::fromStdString(folder / "UA.ini"));
        for (const auto& [number, text] : stored)
            settings.WriteString(kSection, QStringLiteral("Filter%1").arg(number), text);
        if (count)
            settings.WriteString(kSection, "FilterCount", count);
        auto entries = LoadFilterEntries(settings);
        EXPECT_EQ(SelectAllFilesEntry(entries), selected);
        EXPECT_EQ(EntriesOf(entries), expected);
    }

    // Saving skips incomplete rows, numbers the rest and refuses bad ones.
    TRegistrySettings settings;
    for (int k = 1; k <= 5; ++k)
        settings.WriteString(kSection, QStringLiteral("Filter%1").arg(k), "Old|*.old");
    settings.WriteInteger(kSection, "FilterCount", 5);

    const int saved = SaveFilters(
        settings, {{"A", "*.a"}, {"", ""}, {"NoMask", ""}, {"", "*.nodesc"}, {"B", "*.b"}});
    EXPECT_EQ(saved, 2);
    // Values above the new count stay and are ignored.
    EXPECT_EQ(settings.ReadString(kSection, "Filter3", ""), "Old|*.old");
    TRegistrySettings reloaded;
    EXPECT_EQ(EntriesOf(LoadFilterEntries(reloaded)), (TPairs{{"A", "*.a"}, {"B", "*.b"}}));

    EXPECT_EQ(SaveFilters(settings, {}), 0);
    EXPECT_TRUE(LoadFilters(settings).empty());

    // Rows that would not read back are refused before anything is written.
    EXPECT_THROW(SaveFilters(settings, {{"C", "*.c"}, {"Bad|bar", "*.b"}}), ESettingsError);
    EXPECT_THROW(SaveFilters(settings, {{"C", "*.c"}, {"Long", QString(1001, u'x')}}),
                 ESettingsError);
    EXPECT_EQ(settings.ReadString(kSection, "Filter1", ""), "A|*.a");
    EXPECT_EQ(settings.ReadInteger(kSection, "FilterCount", 0), 0);
    // A bar inside the mask is fine: only the first bar separates.
    EXPECT_EQ(SaveFilters(settings, {{"Both", "*.a|*.b"}, {"Max", QString(1000, u'x')}}), 2);
    EXPECT_EQ(LoadFilters(settings),
              (std::vector<TFilter>{{"Both", "*.a|*.b"}, {"Max", QString(1000, u'x')}}));

    EXPECT_EQ(ParseFilter("Всі файли|*.*"), (TFilter{"Всі файли", "*.*"}));
    EXPECT_EQ(ParseFilter("abc"), (TFilter{"", "abc"}));
    EXPECT_EQ(ParseFilter("|*.a"), (TFilter{"", "*.a"}));
    EXPECT_EQ(ParseFilter("A|"), (TFilter{"A", ""}));
    EXPECT_EQ(ParseFilter(""), (TFilter{"", ""}));
    // Only the first bar separates.
    EXPECT_EQ(ParseFilter("A|*.a|*.b"), (TFilter{"A", "*.a|*.b"}));
    // The mask keeps at most 1000 characters, with or without a bar.
    const QString longMask(1500, u'x');
    EXPECT_EQ(ParseFilter("A|" + longMask).mask, QString(1000, u'x'));
    EXPECT_EQ(ParseFilter(longMask).mask, QString(1000, u'x'));
    // Only the two own descriptions are protected, with their exact case.
    EXPECT_TRUE(IsProtectedFilterDescription("Всі файли"));
    EXPECT_TRUE(IsProtectedFilterDescription("Файл Varn split"));
    EXPECT_FALSE(IsProtectedFilterDescription("Файл WinSplit"));
    EXPECT_FALSE(IsProtectedFilterDescription("всі файли"));

    // The all-files mask hides shortcuts and batch files.
    EXPECT_TRUE(UsesShortcutsBatchCheck("*.*"));
    EXPECT_FALSE(UsesShortcutsBatchCheck("*"));
    EXPECT_FALSE(UsesShortcutsBatchCheck("*.vrn"));
    for (const char* hidden : {"file_id.diz", "FILE_ID.DIZ", "a.lnk", "b.PIF", "c.Url", "d.scf",
                               "desktop.ini", "RUN.BAT", ".ini"})
        EXPECT_FALSE(AcceptedByShortcutsBatch(hidden)) << hidden;
    for (const char* shown : {"file_id.diz.txt", "my_file_id.diz", "a.lnk.txt", "batch", "abat",
                              "x.vrn", "ini", "a.bak"})
        EXPECT_TRUE(AcceptedByShortcutsBatch(shown)) << shown;
}
