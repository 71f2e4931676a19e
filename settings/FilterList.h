#pragma once

#include <QString>

#include <memory>
#include <vector>

class TRegistrySettings;

// The object attached to each entry of the main window's filter list: the
// file mask the source tree is given when the entry is chosen.
class TFilterItem {
public:
    explicit TFilterItem(const QString& mask) : m_mask(mask) {}
    const QString& Mask() const { return m_mask; }

private:
    QString m_mask;
};

// One filter as stored and as shown: a description and a file mask.
struct TFilter {
    QString description;
    QString mask;
    bool operator==(const TFilter&) const = default;
};

// One entry of the main window's filter list; the list owns its items.
struct TFilterEntry {
    QString text;
    std::unique_ptr<TFilterItem> item;
};

// Longest mask a stored filter keeps.
inline constexpr int MaxFilterMaskLength = 1000;

// "description|mask": the description is the text before the first "|", the
// mask the text after it (at most 1000 characters); text without "|" is all
// mask.
TFilter ParseFilter(const QString& stored);
QString FilterToText(const TFilter& filter);

// The list used while no "FilterCount" is stored.
std::vector<TFilter> BuiltInFilters();
// Descriptions whose designer rows can be neither edited nor deleted.
bool IsProtectedFilterDescription(const QString& description);

// The stored filters 1..FilterCount (a missing one reads "Error|*.*"), or the
// built-ins when no count is stored. A count of 0 or below gives no filters;
// a count beyond the highest stored filter stops there.
std::vector<TFilter> LoadFilters(const TRegistrySettings& settings);
// The main window's entries, rebuilt from the store.
std::vector<TFilterEntry> LoadFilterEntries(const TRegistrySettings& settings);
// Index of the "Всі файли" entry (compared without regard to case); one with
// mask "*.*" is appended first when the list has none.
int SelectAllFilesEntry(std::vector<TFilterEntry>& entries);

// Whether the tree should be given the file-add check: only for the mask "*.*".
bool UsesShortcutsBatchCheck(const QString& mask);
// The check itself (the main window's `sdfa_ShortcutsBatch`): false for files
// the "*.*" filter hides: "file_id.diz" and the extensions .lnk, .pif, .url,
// .scf, .ini and .bat, without regard to case.
bool AcceptedByShortcutsBatch(const QString& fileName);

// Why the rows cannot be saved as they are (a description holding "|", a mask
// over 1000 characters); empty when they can. Rows SaveFilters skips are not
// looked at.
QString FilterRowsProblem(const std::vector<TFilter>& rows);

// Writes the rows whose description and mask are both non-empty as filters
// 1, 2, ... in row order, then "FilterCount". Higher stored filters stay and
// are ignored. Returns the number written. Throws ESettingsError, before
// writing anything, for a description holding "|" or a mask over 1000
// characters, which would not read back as saved.
int SaveFilters(TRegistrySettings& settings, const std::vector<TFilter>& rows);
