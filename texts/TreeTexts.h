#pragma once

// The texts the shell trees show themselves. "%s" marks are filled in order by
// FormatText.
namespace Texts {

// The item's path, then the reason.
inline constexpr const char* TreeRenameFailed = "Не вдалося перейменувати %s.\n%s";

} // namespace Texts
