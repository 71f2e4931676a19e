#pragma once

// The texts of the favorites menus and of the add-to-favorites dialog. "%s"
// marks are filled in order by FormatText.
namespace Texts {

inline constexpr const char* AddFavTitle = "Додати в Вибране";
inline constexpr const char* AddFavMessage = "Додавання активної папки в Вибране";
inline constexpr const char* AddFavDescription = "&Опис:";
inline constexpr const char* AddFavPath = "&Шлях:";
inline constexpr const char* AddFavOK = "OK";
inline constexpr const char* AddFavCancel = "Відмова";

inline constexpr const char* FavoriteExists = "Ця папка вже існує в Вибраному.";
// A stored favorite is one line "description=path": these characters would
// make it point somewhere else when the list is read back.
inline constexpr const char* FavoriteDescriptionRefused =
    "Опис не може містити знак \"=\" або перехід на новий рядок: у списку Вибраного вони "
    "відокремлюють опис від шляху та один запис від іншого. Змініть опис.";
// The folder's path.
inline constexpr const char* FavoritePathRefused =
    "Шлях папки '%s' містить перехід на новий рядок, тому її не можна зберегти у Вибраному.";

} // namespace Texts
