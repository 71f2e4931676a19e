#pragma once

// Every text the program shows a user, in Ukrainian (the engine's own three
// messages keep their designed wording). Code refers to these by name only.
// Each area keeps its texts in its own section below.
namespace Texts {

// --- captions ---
inline constexpr const char* AppTitle = "Varn split";
inline constexpr const char* CaptionError = "Помилка";
inline constexpr const char* CaptionAttention = "Увага";
inline constexpr const char* CaptionInformation = "Інформація";

// --- engine messages ---
inline constexpr const char* EngineInputFileMissing = "Input file '%s' does not exist.";
inline constexpr const char* EnginePieceFileMissing = "Зазначений файл %s не існує.";
inline constexpr const char* EngineUnknownSignature =
    "Це видання Varn split підтримує тільки підписи версій 1.0 і 1.1.";

// --- engine faults and command line ---
// "%s" marks are filled in order: the file first, then the system's reason.
inline constexpr const char* FaultBadBlockSize = "Розмір блоку має бути не менше 1 байта.";
inline constexpr const char* FaultBadBufferSize = "Розмір буфера має бути не менше 1 байта.";
inline constexpr const char* FaultBlockNotLargerThanHeader =
    "Розмір блоку замалий: перша частина '%s' не вміщує навіть свого заголовка.";
inline constexpr const char* FaultFileTooLargeForSignature =
    "Файл '%s' більший за 2 147 483 647 байтів: підпис частин не може його описати. "
    "Оберіть DOS- або WinSplit-сумісний режим.";
inline constexpr const char* FaultTooManyBlocks =
    "Файл '%s' дав би понад 65 535 частин: підпис частин не може їх описати. "
    "Оберіть більший розмір блоку.";
inline constexpr const char* FaultSameAsSource =
    "Файл '%s' збігається з вихідним файлом; його не можна перезаписати.";
inline constexpr const char* FaultOpenFailed = "Не вдалося відкрити файл '%s'";
inline constexpr const char* FaultCreateFailed = "Не вдалося створити файл '%s'";
inline constexpr const char* FaultReadFailed = "Не вдалося прочитати файл '%s'";
inline constexpr const char* FaultWriteFailed = "Не вдалося записати файл '%s'";
inline constexpr const char* FaultDeleteFailed = "Не вдалося замінити наявний файл '%s'";
inline constexpr const char* FaultRenameFailed = "Не вдалося зберегти готовий файл під назвою '%s'";
inline constexpr const char* FaultIncompleteSet =
    "Набір неповний: бракує частини '%s'. Файл не відновлено.";
inline constexpr const char* FaultStubUnreadable = "Не вдалося прочитати файл заглушки '%s'";
inline constexpr const char* FaultUnsafeExtension =
    "Розширення, записане в '%s', не може бути частиною назви файлу";
inline constexpr const char* FaultSameAsStub =
    "Файл '%s' - це файл заглушки, з якого копіюється перша частина; його не можна "
    "перезаписати. Оберіть іншу теку.";
inline constexpr const char* FaultStubDamaged =
    "Файл заглушки '%s' пошкоджений: він не починається з програми.";
inline constexpr const char* FaultDamagedSignature =
    "Підпис першої частини '%s' пошкоджено: записані в ньому розмір або кількість блоків "
    "не відповідають набору. Файл не відновлено.";
// The piece, its size, the size its place in the set demands.
inline constexpr const char* FaultPieceWrongSize =
    "Частина '%s' пошкоджена: %s байт, а має бути %s. Файл не відновлено.";
inline constexpr const char* FaultUnsafeBatchName =
    "Командний файл '%s' не записано: назву файлу не можна безпечно записати в команди "
    "(вона містить лапки, символи * ? : \\ < > | або керівні символи). Частини записано.";
inline constexpr const char* FaultUnknown = "Операція не вдалася";

inline constexpr const char* CliProgramName = "varnsplit";
inline constexpr const char* CliUsage =
    "Використання:\n"
    "  varnsplit /split ФАЙЛ ТЕКА РОЗМІР [-ver100] [-dos] [-wsp] [-bat] [-self]\n"
    "                   [-stub=linux|windows] [-keepext] [-nosum]\n"
    "      розбити ФАЙЛ на частини по РОЗМІР байтів у ТЕКУ\n"
    "  varnsplit /split ФАЙЛ ТЕКА -n КІЛЬКІСТЬ [перемикачі]\n"
    "      розбити ФАЙЛ на КІЛЬКІСТЬ (від 2 до 65535) однакових частин\n"
    "  varnsplit /unite ПЕРША_ЧАСТИНА ТЕКА [-del] [-keepext]\n"
    "      зібрати набір, що починається з ПЕРША_ЧАСТИНА (.vrn, .exe або .wsp), у ТЕКУ\n"
    "  varnsplit /verify ПЕРША_ЧАСТИНА\n"
    "      перевірити частини набору (наявність, розмір, контрольні суми), нічого не записуючи\n"
    "  varnsplit --help\n"
    "      показати цю довідку\n"
    "\n"
    "РОЗМІР: ціле число байтів, або число (можна з десятковою крапкою) з одиницею\n"
    "K, M, G (1024, 1024², 1024³ байтів) чи KB, MB, GB (1000, 1000², 1000³ байтів)\n"
    "у будь-якому регістрі (дробові байти відкидаються), або слово floppy (1457664 байти).\n"
    "\n"
    "Перемикачі пишуться з \"-\" або \"/\" у будь-якому місці, без огляду на регістр:\n"
    "  -ver100   підпис версії 1.0\n"
    "  -dos      DOS-сумісні частини без підпису (має перевагу над -ver100)\n"
    "  -wsp      WinSplit-сумісні частини з інформаційним файлом .wsp\n"
    "  -bat      разом з -dos або -wsp: командний файл для збирання\n"
    "  -self     самозбірний набір (перша частина .exe з програмою varnstub.exe)\n"
    "  -stub=linux, -stub=windows\n"
    "            разом з -self: перша частина запускається в Linux (типово) або в Windows\n"
    "  -keepext  назви частин зберігають повну назву файлу з розширенням\n"
    "  -nosum    не записувати файл контрольних сум SHA-256 (назва.sha256)\n"
    "  -del      після успішного збирання видалити частини\n"
    "\n"
    "Збирання перевіряє частини і зібраний файл за файлом .sha256, якщо він лежить\n"
    "поруч з першою частиною; пошкоджена частина зупиняє збирання.\n"
    "\n"
    "Код завершення: 0 - успіх, 1 - операція не вдалася (або набір пошкоджений),\n"
    "2 - помилка у команді.\n";
inline constexpr const char* CliSeeHelp = "Довідка: varnsplit --help";
// The windowed start without a screen to show the window on.
inline constexpr const char* CliNoDisplay =
    "Немає графічного дисплея (DISPLAY або WAYLAND_DISPLAY не задано). "
    "Для роботи без вікна: varnsplit --help";
inline constexpr const char* CliDisplayUnavailable =
    "Не вдалося відкрити графічний дисплей. Для роботи без вікна: varnsplit --help";
inline constexpr const char* CliNoCommand = "Не вказано команду.";
inline constexpr const char* CliUnknownForm =
    "Невідома команда '%s': очікується /split, /unite або /verify.";
inline constexpr const char* CliTooFewArguments = "Замало аргументів для %s.";
inline constexpr const char* CliExtraArgument = "Зайвий аргумент '%s'.";
inline constexpr const char* CliUnknownSwitch = "Невідомий перемикач '%s'.";
inline constexpr const char* CliSwitchNotForForm = "Перемикач '%s' не застосовується з %s.";
inline constexpr const char* CliConflictingSwitches = "Перемикачі '%s' і '%s' несумісні.";
inline constexpr const char* CliBatchNeedsMode = "Перемикач '-bat' потребує '-dos' або '-wsp'.";
inline constexpr const char* CliEmptyFolder = "Не вказано теку призначення.";
inline constexpr const char* CliBadSize =
    "Розмір блоку '%s' не є ні цілим десятковим числом байтів (без знаків, пробілів і "
    "розділювачів), ні числом з одиницею K, M, G, KB, MB, GB, ні словом floppy.";
inline constexpr const char* CliFileMissing = "Файл '%s' не існує.";
inline constexpr const char* CliNotAFile = "'%s' - це не файл.";
inline constexpr const char* CliStubMissing = "Файл заглушки '%s' не знайдений.";
inline constexpr const char* CliStubDamaged = "Файл заглушки '%s' пошкоджений.";
inline constexpr const char* CliWindowsStubMissing =
    "Заглушку для Windows не встановлено: файл '%s' не знайдений.";
inline constexpr const char* CliBadStubChoice =
    "Перемикач '%s': очікується -stub=linux або -stub=windows.";
inline constexpr const char* CliStubNeedsSelf = "Перемикач '%s' потребує '-self'.";
inline constexpr const char* CliBadStoredExtension =
    "Розширення, записане в '%s', не може бути частиною назви файлу; файл не відновлено.";
inline constexpr const char* CliNotDeleted = "Файл відновлено, але '%s' не вдалося видалити.";
inline constexpr const char* CliNotCompleted = "Операцію не завершено.";
inline constexpr const char* CliInterrupted = "Операцію перервано.";
inline constexpr const char* CliProgressOfCount = "Частина %s з %s: %s%%";
inline constexpr const char* CliProgress = "Частина %s: %s%%";

// --- stub ---
// The self-joining stub fills each "%s" in order.
inline constexpr const char* StubTitle = "Varn split: відновлення файлу з частин";
inline constexpr const char* StubFile = "Файл: %s";
inline constexpr const char* StubSize = "Розмір: %s байт";
inline constexpr const char* StubBlocks = "Блоків: %s";
inline constexpr const char* StubComment = "Коментар: %s";
inline constexpr const char* StubProgress = "Частина %s з %s (%s): %s%%";
inline constexpr const char* StubDone = "Готово: файл %s відновлено.";
inline constexpr const char* StubNoSignature =
    "Файл %s не є першою частиною самозбірного набору Varn split.";
inline constexpr const char* StubFirstPieceDamaged =
    "Перша частина %s пошкоджена або неповна: її розмір не відповідає підпису.";
inline constexpr const char* StubBadExtension =
    "Підпис частини %s містить неприпустиме розширення файлу.";
inline constexpr const char* StubPieceMissing =
    "Не знайдено частину %s. Покладіть усі частини набору в одну папку з першою частиною "
    "і запустіть її знову.";
inline constexpr const char* StubPieceWrongSize =
    "Частина %s пошкоджена: %s байт, а має бути %s. Файл не відновлено.";
inline constexpr const char* StubTargetExists = "Файл %s вже існує.";
inline constexpr const char* StubAskOverwrite = "Замінити його? (y/n) ";
// Answers to that question that mean yes: the first letter of "yes" or "так".
inline constexpr const char* StubYesAnswers[] = {"y", "Y", "т", "Т"};
inline constexpr const char* StubNoTerminalRefusal =
    "Файл %s вже існує; без терміналу, де можна підтвердити заміну, його не замінено.";
inline constexpr const char* StubNotReplaced = "Файл %s не замінено.";
inline constexpr const char* StubTargetIsFolder = "%s — це папка; файл не відновлено.";
inline constexpr const char* StubCannotOpen = "Не вдається відкрити %s: %s";
inline constexpr const char* StubCannotCreate = "Не вдається створити файл у папці %s: %s";
inline constexpr const char* StubReadFailed = "Помилка читання %s: %s";
inline constexpr const char* StubWriteFailed = "Помилка запису %s: %s";
inline constexpr const char* StubRenameFailed = "Не вдається зберегти файл %s: %s";
inline constexpr const char* StubTimesNotRestored = "Увага: не вдалося відновити час файлу %s: %s";
inline constexpr const char* StubAttributesNotRestored =
    "Увага: не вдалося відновити атрибути файлу %s: %s";
// Fills the place of a path when the stub cannot even tell its own.
inline constexpr const char* StubOwnProgram = "перша частина набору";
inline constexpr const char* StubPressEnter = "Натисніть Enter, щоб закрити вікно.";

// --- settings, file types and filters ---
// The marks in order: the store file, the reason.
inline constexpr const char* SettingsWriteFailed = "Не вдалося записати налаштування у файл %s: %s";
inline constexpr const char* SettingsNoFolder = "не вдалося створити теку для файлу";
// The marks in order: the store file, the section, the value name.
inline constexpr const char* SettingsEmptyName =
    "Не вдалося записати налаштування у файл %s: порожня назва розділу або значення "
    "(розділ \"%s\", значення \"%s\")";
// The marks in order: the damaged store file, the name it was to be kept under, the reason.
inline constexpr const char* SettingsKeepDamagedFailed =
    "Файл налаштувань %s пошкоджено, і його не вдалося зберегти як %s: %s. "
    "Налаштування не записано, щоб не втратити цей файл.";
// The marks in order: the damaged store file, the name it is kept under.
inline constexpr const char* SettingsDamagedKept =
    "Файл налаштувань %s пошкоджено. Його збережено як %s, а налаштування повернуто до "
    "типових.";
// The marks in order: the file, the reason.
inline constexpr const char* AssociationWriteFailed =
    "Не вдалося записати файл реєстрації типу файлів %s: %s";
// The marks in order: the folder, the reason.
inline constexpr const char* ForceFoldersFailed = "Не вдалося створити теку %s: %s";
inline constexpr const char* VarnSplitFileType = "Файл Varn split";
inline constexpr const char* FilterAllFiles = "Всі файли";
inline constexpr const char* FilterVarnSplitFile = "Файл Varn split";
inline constexpr const char* FilterWinSplitFile = "Файл WinSplit";
inline constexpr const char* FilterWindowsMediaAudio = "Файл Windows Media Audio";
// The marks in order: the description.
inline constexpr const char* FilterDescriptionHasBar =
    "Опис фільтра \"%s\" містить символ \"|\", який відділяє опис від маски. Фільтри не "
    "збережено.";
// The marks in order: the description, the longest mask allowed.
inline constexpr const char* FilterMaskTooLong =
    "Маска фільтра \"%s\" довша за %s символів. Фільтри не збережено.";

// --- shell tree and item menu ---
inline constexpr const char* ShellDesktop = "Робочий стіл";
inline constexpr const char* ShellComputer = "Комп'ютер";
inline constexpr const char* ShellHome = "Домашня тека";
inline constexpr const char* ShellTrash = "Смітник";
inline constexpr const char* ShellNetwork = "Мережа";
inline constexpr const char* ShellRootVolume = "Файлова система";
inline constexpr const char* ShellFolderType = "Тека";
inline constexpr const char* ShellRenameEmpty = "Нова назва порожня.";
inline constexpr const char* ShellRenameBadName =
    "Назва не може містити «/», бути «.» чи «..» або бути довшою за 255 байтів.";
inline constexpr const char* ShellRenameExists = "Об'єкт із назвою «%s» уже існує.";
inline constexpr const char* ShellRenameNotAllowed = "Цей об'єкт не можна перейменувати.";
inline constexpr const char* ShellRenameFailed = "Не вдалося перейменувати «%s»: %s";
inline constexpr const char* MenuOpen = "&Відкрити";
inline constexpr const char* MenuOpenHelp = "Відкриває об'єкт у програмі, типовій для нього.";
inline constexpr const char* MenuOpenFolder = "Відкрити &теку, що містить";
inline constexpr const char* MenuOpenFolderHelp = "Відкриває теку, у якій лежить об'єкт.";
inline constexpr const char* MenuCopyPath = "&Копіювати шлях";
inline constexpr const char* MenuCopyPathHelp = "Копіює повний шлях об'єкта в буфер обміну.";
inline constexpr const char* MenuDelete = "Перемістити до с&мітника";
inline constexpr const char* MenuDeleteHelp =
    "Переміщує об'єкт до смітника; із клавішею Shift вилучає його назавжди.";
inline constexpr const char* MenuRename = "Перейменува&ти";
inline constexpr const char* MenuRenameHelp = "Змінює назву об'єкта.";
inline constexpr const char* MenuProperties = "В&ластивості";
inline constexpr const char* MenuPropertiesHelp = "Показує відомості про об'єкт.";
inline constexpr const char* MenuDeleteConfirm =
    "Вилучити «%s» назавжди? Відновити його буде неможливо.";
inline constexpr const char* MenuDeleteFailed = "Не вдалося вилучити «%s»: %s";
inline constexpr const char* MenuTrashFailed = "Не вдалося перемістити «%s» до смітника.";
inline constexpr const char* MenuOpenFailed = "Не вдалося відкрити «%s».";
inline constexpr const char* MenuNoPath = "Цей об'єкт не має шляху у файловій системі.";
inline constexpr const char* PropertiesCaption = "Властивості: %s";
inline constexpr const char* PropertiesName = "Назва";
inline constexpr const char* PropertiesPath = "Розташування";
inline constexpr const char* PropertiesKind = "Тип";
inline constexpr const char* PropertiesSize = "Розмір";
inline constexpr const char* PropertiesSizeBytes = "%s байтів";
inline constexpr const char* PropertiesModified = "Змінено";
inline constexpr const char* PropertiesAccessed = "Відкрито";
inline constexpr const char* PropertiesPermissions = "Права доступу";
inline constexpr const char* PropertiesLinkTarget = "Посилання на";
inline constexpr const char* PropertiesMissing = "Об'єкт не знайдено.";
inline constexpr const char* PropertiesVirtual = "Віртуальна тека";

// --- widgets ---
// Kept in the wording the tab set has always used for this programming error.
inline constexpr const char* TabIndexOutOfBounds = "Tab index out of bounds";

} // namespace Texts
