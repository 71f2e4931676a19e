#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Numbers as the window and its dialogs show them, digits grouped by the
// locale's separator, and read back whatever grouping the user typed.

// "#,##0": 1457664 gives "1,457,664" under an English locale.
QString GroupedNumber(int64_t n);
// GroupedNumber followed by " байт".
QString SizeInBytes(int64_t n);
// SizeInBytes followed by the size in kilobytes with two decimals:
// "1,457,664 байт (1,423.50 КБ)".
QString SizeWithKilobytes(int64_t n);
// A whole non-negative number with the locale's group separators and blanks
// removed; nothing for an empty text, other characters or a number past 64 bits.
std::optional<int64_t> ParseGroupedNumber(const QString& text);
