#pragma once

// The texts of the window's small commands around the trees.
namespace Texts {

inline constexpr const char* NewFolderCaption = "Нова папка";
// A path is asked for, so the example has two levels (and "/" between them).
inline constexpr const char* NewFolderPrompt = "&Введіть шлях, наприклад: \"Папка 1/Папка 2\"";
// Delete in the source tree on an item that has no delete command.
inline constexpr const char* ItemNotDeletable = "«%s» не можна вилучити.";

} // namespace Texts
