#pragma once

// The size calculator's texts. "%s" marks are filled in order by FormatText.
namespace Texts {

inline constexpr const char* CalcTitle = "Розрахунок розміру блока";
inline constexpr const char* CalcDescription = "Оберіть необхідний режим розрахунку розміру блока";
inline constexpr const char* CalcByNumber = "Розрахунок по &кількості блоків";
inline constexpr const char* CalcBlockCount = "Буде блоків:";
inline constexpr const char* CalcByDownloadTime = "Розрахунок по &швидкості передачі";
inline constexpr const char* CalcTime = "&Час:";
inline constexpr const char* CalcSpeed = "&Швидкість:";
inline constexpr const char* CalcBps = "bps";
inline constexpr const char* CalcResults = " Результати ";
inline constexpr const char* CalcTotalOfBlocks = "Усього буде блоків:";
inline constexpr const char* CalcSizeOfBlock = "Розмір одного блоку:";
inline constexpr const char* CalcSizeOfLastBlock = "Останній блок:";
inline constexpr const char* CalcOK = "OK";
inline constexpr const char* CalcCancel = "Відмова";
inline constexpr const char* CalcDefaultSpeed = "33600";
inline constexpr const char* CalcSpeeds[] = {"9600", "14400", "28800", "33600"};

// Why OK gives no block size. The marks hold what was typed, or the size found.
inline constexpr const char* CalcNoFile =
    "Немає файлу для розрахунку: оберіть у вихідних даних файл, який не порожній.";
inline constexpr const char* CalcBadCount =
    "Кількість блоків '%s' неправильна: зазначте ціле число від 2 до 999.";
inline constexpr const char* CalcBadTime =
    "Час передачі '%s' неправильний: зазначте час від 00:00:01 до 23:59:59.";
inline constexpr const char* CalcBadSpeed =
    "Швидкість '%s' неправильна: зазначте ціле число від 1 до 2147483647 біт за секунду.";
inline constexpr const char* CalcBlockTooLarge =
    "Розрахований розмір блоку (%s байт) більший за найбільший можливий (2 147 483 647 байт). "
    "Зменшіть час або швидкість.";
inline constexpr const char* CalcFileChanged =
    "Обраний файл або режим змінився після розрахунку. Результати перераховано; перевірте їх "
    "і натисніть OK ще раз.";

} // namespace Texts
