#pragma once

// The texts of the modal dialogs. "%s" marks are filled in order by FormatText.
namespace Texts {

// The split confirmation.
inline constexpr const char* ConfirmTitle = "Підтвердіть розбивку файлу";
inline constexpr const char* ConfirmDescription =
    "Уважно перевірте правильність вказаних параметрів";
inline constexpr const char* ConfirmMessage = "Буде проведена розбивка файлу";
inline constexpr const char* ConfirmMessage2 = "за наступними параметрами:";
inline constexpr const char* ConfirmBlockSize = "Розмір одного блоку:";
inline constexpr const char* ConfirmBlockCount = "Усього буде блоків:";
inline constexpr const char* ConfirmLastBlock = "Останній блок:";
inline constexpr const char* ConfirmAsk = "Продовжити ?";
inline constexpr const char* ConfirmYes = "&Так";
inline constexpr const char* ConfirmNo = "&Ні";

// The need-disk prompt. The two next-piece texts differ on purpose.
inline constexpr const char* DiskTitle = "Вставте наступний диск";
inline constexpr const char* DiskBrowse = "О&гляд...";
inline constexpr const char* DiskContinue = "&Продовжити";
inline constexpr const char* DiskCancel = "С&касувати";
inline constexpr const char* DiskPathLabel = "&Розташування файлу:";
inline constexpr const char* DiskDontAsk = "&Не запитувати надалі";
// The piece's number, then the number of pieces.
inline constexpr const char* DiskNextForSplit = "Вставте диск %s з %s дисків(а)";
inline constexpr const char* DiskNextForUnite = "Вставте диск %s з %s диска(ів).";
inline constexpr const char* DiskForInfoFile =
    "Вставте диск для створення інформаційоного файлу WinSplit";
inline constexpr const char* DiskForBatchFile = "Вставте диск для створення пакетного (.bat) файлу";
// Written with "\?" so the three question marks are no trigraph.
inline constexpr const char* DiskPieceFilter = "Blocks (*.vrn *.\?\?\?)";
inline constexpr const char* DiskPathEmpty = "Вкажіть, куди записати частину.";
inline constexpr const char* DiskPathIsFolder =
    "'%s' - це папка. Вкажіть повне ім'я файлу частини.";
inline constexpr const char* DiskPathIsOtherFile =
    "Файл '%s' вже існує і не є цією частиною; його не буде перезаписано. Вкажіть інше ім'я.";

} // namespace Texts
