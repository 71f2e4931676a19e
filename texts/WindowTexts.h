#pragma once

#include "texts/Texts.h" // AppTitle

// The main window's texts. "%s" marks are filled in order by FormatText.
namespace Texts {

// The selected file's name, then the program's.
inline constexpr const char* AppTitleWithFile = "%s — Varn split";

inline constexpr const char* SourceData = "&Вихідні дані:";
inline constexpr const char* TargetData = "&Нові дані:";
inline constexpr const char* HintDesktop = "Робочий стіл";
inline constexpr const char* HintSortOrder = "Впорядкувати";
inline constexpr const char* SortByName = "по і&мені";
inline constexpr const char* SortByType = "по &типу";
inline constexpr const char* SortBySize = "по ро&зміру";
inline constexpr const char* SortByDate = "по да&ті";
inline constexpr const char* HintFavorites = "Вибране";
inline constexpr const char* HintAddToFavorites = "Додати в Вибране";
inline constexpr const char* HintNewFolder = "Нова папка";
inline constexpr const char* HintWhatsThis = "Що це таке?";
inline constexpr const char* ButtonSettings = "Настро&ювання";
inline constexpr const char* ButtonHelp = "&Довідка";
inline constexpr const char* ButtonAbout = "&Про програму";
inline constexpr const char* ButtonClose = "В&ихід";
inline constexpr const char* ButtonSplit = "&Розбити";
inline constexpr const char* ButtonUnite = "Об'&єднати";
inline constexpr const char* ButtonStop = "&Зупинити";
inline constexpr const char* LabelFilter = "&Фільтр:";
inline constexpr const char* LabelBlockSize = "&Розмір блоку (у байтах):";
inline constexpr const char* LabelMode = "Ре&жим:";
inline constexpr const char* TabParameters = "Параметри";
inline constexpr const char* TabComment = "Коментар";
inline constexpr const char* TabMore = "Додатково";
inline constexpr const char* HintSizeCalc = "Розрахунок розміру блока";
inline constexpr const char* CommentLoad = "Завантажити з файлу";
inline constexpr const char* CommentSave = "Зберегти у файл";
inline constexpr const char* CommentClear = "Очистити";
inline constexpr const char* CommentFileFilter = "Текстовий документ (*.txt);;всі файли (*)";
inline constexpr const char* MakeBatchFile = "&Пакетний (.bat) файл для об'єднання";
inline constexpr const char* DeleteFileAfterSplit = "&Видалити файл після розбивки";
inline constexpr const char* DeleteBlocksAfterUnite = "&Видаляти блоки після об'єднання";

inline constexpr const char* ModeNames[] = {
    "Звичайна розбивка",         "DOS-сумісна розбивка",      "Сумісно з версією 1.0",
    "WinSplit-сумісна розбивка", "Блоки, що самопоєднуються",
};

// The information panel.
inline constexpr const char* NoFile = "файл не обраний";
inline constexpr const char* WillBeBlocks = "Буде блоків:";
inline constexpr const char* Size = "Розмір:";
inline constexpr const char* Extension = "Розширення:";
inline constexpr const char* LastBlock = "Останній блок:";
inline constexpr const char* Attributes = "Атрибути:";
inline constexpr const char* Created = "Створений:";
inline constexpr const char* Modified = "Змінений:";
inline constexpr const char* TotalBlocks = "Всього блоків:";
inline constexpr const char* OriginalSize = "Вихідний розмір:";
inline constexpr const char* OriginalExtension = "Вихідне розширення:";
inline constexpr const char* OriginalAttributes = "Вихідні атрибути:";
inline constexpr const char* OriginalCreated = "Вихідне створення:";
inline constexpr const char* OriginalModified = "Вихідна зміна:";
inline constexpr const char* UnknownDate = "(невідомо)";
inline constexpr const char* UnknownCount = "?";
// The piece being written or read, and how many the set has.
inline constexpr const char* CurrentBlock = "%s з %s";

// Message boxes.
inline constexpr const char* WrongBlockSize = "Зазначено неправильний розмір блоку.";
inline constexpr const char* StubMissing = "Файл 'VARNSTUB.EXE' не знайдений.";
inline constexpr const char* StubDamaged = "Файл 'VARNSTUB.EXE' пошкоджений.";
inline constexpr const char* SplitFinished = "Розбивка файлу '%s' на блоки завершена.";
inline constexpr const char* SplitFinishedCaption = "Розбивка завершена";
inline constexpr const char* SplitCancelled = "Розбивка файлу '%s' на блоки скасована.";
inline constexpr const char* SplitCancelledCaption = "Розбивка скасована";
inline constexpr const char* UniteFinished = "Об'єднання файлу '%s' із блоків завершено.";
inline constexpr const char* UniteFinishedCaption = "Об'єднання завершено";
inline constexpr const char* UniteCancelled = "Об'єднання файлу '%s' із блоків скасовано.";
inline constexpr const char* UniteCancelledCaption = "Об'єднання скасоване";
inline constexpr const char* SourceNotDeleted = "Файл '%s' не вдалося видалити: %s";
inline constexpr const char* PiecesNotDeleted = "Файл відновлено, але не вдалося видалити: %s";
inline constexpr const char* CommentNotRead = "Не вдалося прочитати файл '%s'.";
inline constexpr const char* CommentNotSaved = "Не вдалося зберегти файл '%s'.";
inline constexpr const char* DropOneFile = "Перетягніть у вікно один файл.";

} // namespace Texts
