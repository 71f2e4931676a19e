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
inline constexpr const char* FaultUnknown = "Операція не вдалася";

inline constexpr const char* CliProgramName = "varnsplit";
inline constexpr const char* CliUsage =
    "Використання:\n"
    "  varnsplit /split ФАЙЛ ТЕКА РОЗМІР [-ver100] [-dos] [-wsp] [-bat] [-self] [-keepext]\n"
    "      розбити ФАЙЛ на частини по РОЗМІР байтів (ціле десяткове число) у ТЕКУ\n"
    "  varnsplit /unite ПЕРША_ЧАСТИНА ТЕКА [-del] [-keepext]\n"
    "      зібрати набір, що починається з ПЕРША_ЧАСТИНА (.vrn, .exe або .wsp), у ТЕКУ\n"
    "  varnsplit --help\n"
    "      показати цю довідку\n"
    "\n"
    "Перемикачі пишуться з \"-\" або \"/\" у будь-якому місці, без огляду на регістр:\n"
    "  -ver100   підпис версії 1.0\n"
    "  -dos      DOS-сумісні частини без підпису (має перевагу над -ver100)\n"
    "  -wsp      WinSplit-сумісні частини з інформаційним файлом .wsp\n"
    "  -bat      разом з -dos або -wsp: командний файл для збирання\n"
    "  -self     самозбірний набір (перша частина .exe з програмою varnstub.exe)\n"
    "  -keepext  назви частин зберігають повну назву файлу з розширенням\n"
    "  -del      після успішного збирання видалити частини\n"
    "\n"
    "Код завершення: 0 - успіх, 1 - операція не вдалася, 2 - помилка у команді.\n";
inline constexpr const char* CliSeeHelp = "Довідка: varnsplit --help";
inline constexpr const char* CliNoCommand = "Не вказано команду.";
inline constexpr const char* CliUnknownForm = "Невідома команда '%s': очікується /split або /unite.";
inline constexpr const char* CliTooFewArguments = "Замало аргументів для %s.";
inline constexpr const char* CliExtraArgument = "Зайвий аргумент '%s'.";
inline constexpr const char* CliUnknownSwitch = "Невідомий перемикач '%s'.";
inline constexpr const char* CliSwitchNotForForm = "Перемикач '%s' не застосовується з %s.";
inline constexpr const char* CliConflictingSwitches = "Перемикачі '%s' і '%s' несумісні.";
inline constexpr const char* CliBatchNeedsMode = "Перемикач '-bat' потребує '-dos' або '-wsp'.";
inline constexpr const char* CliEmptyFolder = "Не вказано теку призначення.";
inline constexpr const char* CliBadSize =
    "Розмір блоку '%s' не є цілим десятковим числом байтів (без знаків, пробілів і розділювачів).";
inline constexpr const char* CliFileMissing = "Файл '%s' не існує.";
inline constexpr const char* CliNotAFile = "'%s' - це не файл.";
inline constexpr const char* CliStubMissing = "Файл заглушки '%s' не знайдений.";
inline constexpr const char* CliStubDamaged = "Файл заглушки '%s' пошкоджений.";
inline constexpr const char* CliProgressOfCount = "Частина %s з %s: %s%%";
inline constexpr const char* CliProgress = "Частина %s: %s%%";

// --- stub ---

// --- settings, file types and filters ---

// --- shell tree and item menu ---

// --- widgets ---

} // namespace Texts
