#include "settings/FilterList.h"

#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

#include <map>

namespace {

QString FilterValueName(int number) {
    return QString::fromLatin1(SettingNames::FilterPrefix) + QString::number(number);
}

} // namespace

TFilter ParseFilter(const QString& stored) {
    const qsizetype bar = stored.indexOf(u'|');
    if (bar < 0)
        return {QString(), stored.left(MaxFilterMaskLength)};
    return {stored.left(bar), stored.mid(bar + 1).left(MaxFilterMaskLength)};
}

QString FilterToText(const TFilter& filter) {
    return filter.description + u'|' + filter.mask;
}

std::vector<TFilter> BuiltInFilters() {
    // The third pairs the WinSplit description with "*.vrn", as designed.
    return {
        {QString::fromUtf8(Texts::FilterAllFiles), QStringLiteral("*.*")},
        {QString::fromUtf8(Texts::FilterVarnSplitFile), QStringLiteral("*.vrn")},
        {QString::fromUtf8(Texts::FilterWinSplitFile), QStringLiteral("*.vrn")},
        {QString::fromUtf8(Texts::FilterWindowsMediaAudio), QStringLiteral("*.wma")},
    };
}

bool IsProtectedFilterDescription(const QString& description) {
    return description == QString::fromUtf8(Texts::FilterAllFiles) ||
           description == QString::fromUtf8(Texts::FilterVarnSplitFile);
}

std::vector<TFilter> LoadFilters(const TRegistrySettings& settings) {
    const QString section = QString::fromLatin1(SettingNames::SectionSettings);
    const QString countName = QString::fromLatin1(SettingNames::FilterCount);
    if (!settings.ValueExists(section, countName))
        return BuiltInFilters();
    const int count = settings.ReadInteger(section, countName, 0);

    // The count is only trusted as far as the values really stored: a
    // hand-edited count of millions must not build millions of rows.
    std::map<int, QString> stored;
    const QString prefix = QString::fromLatin1(SettingNames::FilterPrefix);
    for (const QString& name : settings.ValueNames(section)) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QStringView digits = QStringView(name).mid(prefix.size());
        bool isNumber = !digits.isEmpty() && digits[0] != u'0';
        for (QChar ch : digits)
            isNumber = isNumber && ch >= u'0' && ch <= u'9';
        const int number = isNumber ? digits.toInt(&isNumber) : 0;
        if (isNumber && number >= 1 && number <= count)
            stored.emplace(number, settings.ReadString(section, name, QString()));
    }

    // A number missing among the stored ones reads "Error|*.*", as a missing
    // value always has; a gap wider than what is left of that allowance
    // (only a hand edit makes one) is skipped instead of filled.
    const QString missing = QString::fromUtf8(SettingNames::DefaultFilter);
    std::size_t fillsLeft = stored.size();
    std::vector<TFilter> filters;
    int previous = 0;
    for (const auto& [number, text] : stored) {
        const std::size_t gap = static_cast<std::size_t>(number - previous - 1);
        if (gap <= fillsLeft) {
            fillsLeft -= gap;
            filters.insert(filters.end(), gap, ParseFilter(missing));
        }
        filters.push_back(ParseFilter(text));
        previous = number;
    }
    return filters;
}

QString FilterRowsProblem(const std::vector<TFilter>& rows) {
    for (const auto& row : rows) {
        if (row.description.isEmpty() || row.mask.isEmpty())
            continue;
        if (row.description.contains(u'|'))
            return FormatQText(Texts::FilterDescriptionHasBar, {row.description});
        if (row.mask.size() > MaxFilterMaskLength)
            return FormatQText(Texts::FilterMaskTooLong,
                               {row.description, QString::number(MaxFilterMaskLength)});
    }
    return QString();
}

std::vector<TFilterEntry> LoadFilterEntries(const TRegistrySettings& settings) {
    std::vector<TFilterEntry> entries;
    for (const auto& filter : LoadFilters(settings))
        entries.push_back({filter.description, std::make_unique<TFilterItem>(filter.mask)});
    return entries;
}

int SelectAllFilesEntry(std::vector<TFilterEntry>& entries) {
    const QString allFiles = QString::fromUtf8(Texts::FilterAllFiles);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].text.compare(allFiles, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    entries.push_back({allFiles, std::make_unique<TFilterItem>(QStringLiteral("*.*"))});
    return static_cast<int>(entries.size() - 1);
}

bool UsesShortcutsBatchCheck(const QString& mask) {
    return mask == u"*.*";
}

bool AcceptedByShortcutsBatch(const QString& fileName) {
    if (fileName.compare(u"file_id.diz", Qt::CaseInsensitive) == 0)
        return false;
    static const char16_t* const hiddenExtensions[] = {u".lnk", u".pif", u".url",
                                                       u".scf", u".ini", u".bat"};
    for (const char16_t* extension : hiddenExtensions)
        if (fileName.endsWith(QStringView(extension), Qt::CaseInsensitive))
            return false;
    return true;
}

int SaveFilters(TRegistrySettings& settings, const std::vector<TFilter>& rows) {
    // A bar in a description or an overlong mask would not read back as
    // saved, so such rows are refused before anything is written.
    if (const QString problem = FilterRowsProblem(rows); !problem.isEmpty())
        throw ESettingsError(problem);
    const QString section = QString::fromLatin1(SettingNames::SectionSettings);
    int saved = 0;
    for (const auto& row : rows) {
        if (row.description.isEmpty() || row.mask.isEmpty())
            continue;
        ++saved;
        settings.WriteString(section, FilterValueName(saved), FilterToText(row));
    }
    settings.WriteInteger(section, QString::fromLatin1(SettingNames::FilterCount), saved);
    return saved;
}
