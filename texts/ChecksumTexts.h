#pragma once

// The texts of the set checksums: the faults a verified unite stops with, the
// verify command's report, and the window's checksum option and verify
// command. "%s" marks are filled in order by FormatText.
namespace Texts {

// --- engine faults ---
inline constexpr const char* FaultChecksumFileDamaged =
    "Файл контрольних сум '%s' пошкоджений або не належить до цього набору. Файл не "
    "відновлено; щоб зібрати набір без перевірки, приберіть цей файл з теки першої частини.";
inline constexpr const char* FaultChecksumMismatch =
    "Частина '%s' пошкоджена: її контрольна сума SHA-256 не збігається з записаною. Файл не "
    "відновлено, жодну частину не видалено.";
inline constexpr const char* FaultWholeChecksumMismatch =
    "Зібраний файл '%s' не збігається з контрольною сумою SHA-256, записаною для нього. Файл "
    "не відновлено, жодну частину не видалено.";

// --- unite without a checksum file (the checksum file's path) ---
inline constexpr const char* UniteNotVerified =
    "Файл контрольних сум '%s' не знайдено: відновлений файл не перевірено.";

// --- the verify command: one line per piece (the piece's path first) ---
inline constexpr const char* VerifyPieceGood = "%s: ціла";
inline constexpr const char* VerifyPiecePresent = "%s: на місці, розмір правильний";
inline constexpr const char* VerifyPieceDamaged =
    "%s: пошкоджена (контрольна сума SHA-256 не збігається)";
// The piece, its size, the size its place in the set demands.
inline constexpr const char* VerifyPieceWrongSize = "%s: пошкоджена (%s байт, а має бути %s)";
inline constexpr const char* VerifyPieceMissing = "%s: відсутня";
inline constexpr const char* VerifyPieceNotListed =
    "%s: на місці, але файл контрольних сум її не описує";
// The numbers of pieces: in the set, intact, damaged, missing.
inline constexpr const char* VerifySummary =
    "Частин: %s; цілих: %s; пошкоджених: %s; відсутніх: %s.";
inline constexpr const char* VerifyIntact = "Набір повний і неушкоджений.";
inline constexpr const char* VerifyNotIntact = "Набір пошкоджений або неповний.";
// The checksum file that was looked for.
inline constexpr const char* VerifyNoChecksums =
    "Контрольні суми недоступні (файл '%s' не знайдено): перевірено лише наявність і розміри "
    "частин.";
inline constexpr const char* VerifySizesRight = "Усі частини на місці, їхні розміри правильні.";

// --- command line ---
inline constexpr const char* CliBadCount =
    "Кількість частин '%s' має бути цілим числом від 2 до 65535.";
inline constexpr const char* CliCountMissing = "Після '%s' має стояти кількість частин.";
inline constexpr const char* CliSizeAndCount =
    "Вкажіть або РОЗМІР, або '-n КІЛЬКІСТЬ', але не обидва.";
inline constexpr const char* CliCountNotPossible =
    "Файл '%s' не можна розбити на %s частин: він порожній або замалий.";

// --- window ---
inline constexpr const char* MakeChecksums = "&Контрольні суми SHA-256 (.sha256)";
inline constexpr const char* ButtonVerify = "Пере&вірити";
inline constexpr const char* VerifyCaption = "Перевірка набору";
inline constexpr const char* VerifyRunning = "Перевіряються частини набору...";
inline constexpr const char* VerifyStop = "&Зупинити";
inline constexpr const char* VerifyStopped = "Перевірку зупинено.";
// How many more damaged or missing pieces the message leaves out.
inline constexpr const char* VerifyMoreProblems = "... і ще %s";
inline constexpr const char* DiskForChecksumFile =
    "Вставте диск для створення файлу контрольних сум (.sha256)";

} // namespace Texts
