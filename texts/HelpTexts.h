#pragma once

#include "texts/Texts.h" // AppTitle

// The help window's, the what's-this help's and the about box's texts. "%s"
// marks are filled in order by FormatText.
namespace Texts {

// The help window.
inline constexpr const char* HelpWindowTitle = "Довідка — Varn split";
inline constexpr const char* HelpContents = "&Зміст";
inline constexpr const char* HelpIndex = "&Покажчик";
inline constexpr const char* HelpIndexFind = "&Введіть ключове слово:";
inline constexpr const char* HelpShow = "Пока&зати";
inline constexpr const char* HelpBack = "&Назад";
inline constexpr const char* HelpForward = "&Вперед";
inline constexpr const char* HelpHome = "На по&чаток";
// The topic id a help request named and the help does not hold.
inline constexpr const char* HelpTopicMissing = "<p>Розділу довідки «%s» немає.</p>";
// A popup for a context number no topic answers.
inline constexpr const char* HelpNoPopup = "Для цього елемента довідки немає.";

// The about box.
inline constexpr const char* AboutTitle = "Varn split";
inline constexpr const char* AboutDescription = "Розбиває великі файли на блоки і з'єднує їх знову";
inline constexpr const char* AboutVersion = "Версія %s";
inline constexpr const char* AboutOK = "OK";
// The maker's contact lines: caption, address as shown, address to open.
struct TAboutContact {
    const char* caption;
    const char* text;
    const char* url;
};
inline constexpr TAboutContact AboutContacts[] = {
    {"Сайт:", "varnsplit.example.org", "https://varnsplit.example.org/"},
    {"Пошта:", "varnsplit@example.org", "mailto:varnsplit@example.org"},
};
// The popup menu of a contact line.
inline constexpr const char* AboutOpen = "&Відкрити";
inline constexpr const char* AboutCopy = "&Копіювати";
inline constexpr const char* AboutHint =
    "Клацніть адресу, щоб відкрити її, або клацніть правою кнопкою, щоб скопіювати.";

} // namespace Texts
