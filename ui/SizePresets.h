#pragma once

#include <cstdint>
#include <span>

class QComboBox;

// The block-size presets, largest first (92,168 is the designed value, not
// 92,160). The buffer sizes are the first 19 of them, down to 102,400.
std::span<const int64_t> BlockSizePresets();
std::span<const int64_t> BufferSizePresets();

// Adds the sizes to the list, each formatted "#,##0" in the locale's grouping.
void FillSizePresets(QComboBox& list, std::span<const int64_t> sizes);
