#include "ui/SizePresets.h"

#include "ui/SizeText.h"

#include <QComboBox>

namespace {

constexpr int64_t SizePresets[] = {
    1073741824, 681984000, 100431872, 1457664, 1457000, 1024000, 921600, 819200, 716800, 614400,
    512000,     460800,    409600,    358400,  307200,  256000,  204800, 153600, 102400, 92168,
    81920,      71680,     61440,     51200,   40960,   30720,   20480,  10240,
};
constexpr std::size_t BufferPresetCount = 19;

} // namespace

std::span<const int64_t> BlockSizePresets() {
    return SizePresets;
}

std::span<const int64_t> BufferSizePresets() {
    return std::span<const int64_t>(SizePresets).first(BufferPresetCount);
}

void FillSizePresets(QComboBox& list, std::span<const int64_t> sizes) {
    for (int64_t size : sizes)
        list.addItem(GroupedNumber(size));
}
