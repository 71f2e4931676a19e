// Feeds arbitrary text to the reader of WinSplit information files, which a
// user may pick as the first piece of a set, and checks it against the writer.

#include "FuzzCheck.h"
#include "engine/InfoFile.h"
#include "engine/Signature.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

void CheckDecimal(const std::string& text) {
    const std::optional<int64_t> value = ParseDecimal(text);
    if (!value)
        return;
    FUZZ_REQUIRE(*value >= 0);
    // Whatever was read must read back the same once written plainly.
    FUZZ_REQUIRE(ParseDecimal(std::to_string(*value)) == value);
    FUZZ_REQUIRE(ParseDecimal(" \t" + text + "\t ") == value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckDecimal(text);

    const std::optional<TInfoFile> info = ParseInfoFileText(text);
    // Any byte at all makes at least the extension line.
    FUZZ_REQUIRE(info.has_value() == !text.empty());
    if (!info)
        return 0;
    FUZZ_REQUIRE(IsValidUtf8(info->extension));
    FUZZ_REQUIRE(info->extension.find('\n') == std::string::npos);
    FUZZ_REQUIRE(info->blockCount >= 0);
    FUZZ_REQUIRE(!info->wholeFileSize || *info->wholeFileSize >= 0);

    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        CheckDecimal(text.substr(start, end - start));
        start = end + 1;
    }

    // A size that was not a number has nothing to be written back as.
    if (!info->wholeFileSize)
        return 0;
    const std::string written =
        InfoFileText(info->extension, info->blockCount, *info->wholeFileSize);
    const std::optional<TInfoFile> back = ParseInfoFileText(written);
    FUZZ_REQUIRE(back.has_value());
    // The extension is UTF-8 already, so it passes through unchanged.
    FUZZ_REQUIRE(back->extension == info->extension);
    FUZZ_REQUIRE(back->blockCount == info->blockCount);
    FUZZ_REQUIRE(back->wholeFileSize == info->wholeFileSize);
    return 0;
}
