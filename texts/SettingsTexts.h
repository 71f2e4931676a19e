#pragma once

#include "texts/Texts.h" // AppTitle, the captions

// The settings dialog's texts. "%s" marks are filled in order by FormatText.
namespace Texts {

inline constexpr const char* SettingsTitle = "Настроювання";
inline constexpr const char* SettingsOK = "OK";
inline constexpr const char* SettingsCancel = "Відмова";
inline constexpr const char* SettingsHelp = "Довідка";

// The page selectors, in page order, and the favorites heading above two of them.
inline constexpr const char* SettingsPageGeneral = "Загальні";
inline constexpr const char* SettingsPageSplitting = "Розбивка";
inline constexpr const char* SettingsPageSourceFavorites = "Вихідні дані";
inline constexpr const char* SettingsPageTargetFavorites = "Нові дані";
inline constexpr const char* SettingsPageFilter = "Фільтри файлів";
inline constexpr const char* SettingsFavorites = "Вибране";

// What each page is for, shown in the header when it is chosen.
inline constexpr const char* SettingsDescriptions[] = {
    "Параметри відображення даних і взаємодії з Реєстром Windows при запуску",
    "Встановлювані за замовчуванням параметри перед розбивкою файлу на блоки",
    "Використовуйте кнопки Перейменувати, Видалити і Перевірити шлях для зміни списку",
    "Використовуйте кнопки Перейменувати, Видалити і Перевірити шлях для зміни списку",
    "Використовуйте Дизайнер фільтрів для створення потрібного Вам списку файлових фільтрів",
};
// The help topic of each page; the splitting page has none.
inline constexpr const char* SettingsHelpTopics[] = {
    "SETTINGS_GENERAL",
    "",
    "SETTINGS_SOURCE_DATA_FAVORITES",
    "SETTINGS_TARGET_DATA_FAVORITES",
    "SETTINGS_FILTER_DESIGNER",
};
// The help file's name, the secondary window, the topic.
inline constexpr const char* SettingsHelpMacro = "JumpId(\"%s>%s\", \"%s\")";
inline constexpr const char* SettingsHelpWindow = "Second";

// Page 0.
inline constexpr const char* SettingsView = "Вид";
inline constexpr const char* SettingsShowHiddenFiles =
    "Показувати файли і папки з атрибутом 'Пр&ихований'";
inline constexpr const char* SettingsShowVirtualFolders = "&Показувати віртуальні папки";
inline constexpr const char* SettingsHotTrack = "Використовувати &ефекти HotTrack";
inline constexpr const char* SettingsFlatBtns = "П&лоскі кнопки";
inline constexpr const char* SettingsStartUp = "Запуск";
inline constexpr const char* SettingsRestoreAssociations =
    "&Відновлювати записи при кожному запуску програми";
inline constexpr const char* SettingsRestoreNow = "Відновити за&писи зараз";

// Page 1.
inline constexpr const char* SettingsSplitNote =
    "Вказання специфічного розміру блоку в настройках\n"
    "може зберегти Вам багато часу надалі";
inline constexpr const char* SettingsDefaultBlockSize =
    "&Розмір блоку за замовчуванням (у байтах):";
inline constexpr const char* SettingsDefaultBufferSize =
    "&Розмір буферу за замовчуванням (у байтах):";
inline constexpr const char* SettingsMode = "Ре&жим:";
inline constexpr const char* SettingsAskForEachDisk =
    "Завжди &показувати діалог запиту наступного диска";
inline constexpr const char* SettingsKeepOriginalExt =
    "Додавати нове розширення замість заміни вихідного";

// Pages 2 and 3.
inline constexpr const char* SettingsColumnDescription = "Опис";
inline constexpr const char* SettingsColumnPath = "Шлях";
inline constexpr const char* SettingsRename = "&Перейменувати";
inline constexpr const char* SettingsDelete = "&Видалити";
inline constexpr const char* SettingsCheckPath = "Пе&ревірити шлях";
inline constexpr const char* SettingsPathExists = "Цей шлях існує.";
inline constexpr const char* SettingsPathMissing = "Цей шлях не існує.";
// The refused description.
inline constexpr const char* SettingsFavoriteBadDescription =
    "Опис \"%s\" не можна зберегти: він не може містити знак \"=\" або розриви рядка.";

// Page 4.
inline constexpr const char* SettingsColumnMask = "Маска";

// The size boxes, checked before the dialog closes. The marks in order: the
// box's name, then the text it holds or the largest size allowed.
inline constexpr const char* SettingsBlockSizeName = "Розмір блоку за замовчуванням";
inline constexpr const char* SettingsBufferSizeName = "Розмір буферу за замовчуванням";
inline constexpr const char* SettingsSizeNotNumber =
    "%s: \"%s\" не є цілим числом. Вкажіть розмір у байтах, наприклад 1 457 664.";
inline constexpr const char* SettingsSizeBelowOne = "%s: розмір має бути не менше 1 байта.";
inline constexpr const char* SettingsSizeTooLarge = "%s: розмір не може перевищувати %s байтів.";
// After OK, when the store could not take the new settings. The mark: the reason.
inline constexpr const char* SettingsNotSaved =
    "Налаштування не збережено; збережені раніше залишилися без змін.\n\n%s";

} // namespace Texts
