#include "settings/FilterList.h"

#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

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
    std::vector<TFilter> filters;
    const QString missing = QString::fromUtf8(SettingNames::DefaultFilter);
    for (int number = 1; number <= count; ++number)
        filters.push_back(
            ParseFilter(settings.ReadString(section, FilterValueName(number), missing)));
    return filters;
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
    for (const auto& row : rows) {
        if (row.description.isEmpty() || row.mask.isEmpty())
            continue;
        if (row.description.contains(u'|'))
            throw ESettingsError(FormatQText(Texts::FilterDescriptionHasBar, {row.description}));
        if (row.mask.size() > MaxFilterMaskLength)
            throw ESettingsError(FormatQText(
                Texts::FilterMaskTooLong, {row.description, QString::number(MaxFilterMaskLength)}));
    }
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
