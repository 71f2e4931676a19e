// Feeds arbitrary text to the reader of checksum files, which lie beside a
// set's first piece and may come from anywhere, and checks it against the writer.

#include "FuzzCheck.h"
#include "engine/ChecksumFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::vector<TChecksumEntry>> entries = ParseChecksumFileText(text);
    if (!entries)
        return 0;
    std::string written;
    for (const TChecksumEntry& entry : *entries) {
        FUZZ_REQUIRE(!entry.name.empty());
        written += ChecksumLine(entry);
    }
    // What was read reads back the same once written as sha256sum writes it.
    const std::optional<std::vector<TChecksumEntry>> back = ParseChecksumFileText(written);
    FUZZ_REQUIRE(back.has_value());
    FUZZ_REQUIRE(back->size() == entries->size());
    for (std::size_t i = 0; i < back->size(); ++i) {
        FUZZ_REQUIRE((*back)[i].name == (*entries)[i].name);
        FUZZ_REQUIRE((*back)[i].digest == (*entries)[i].digest);
    }
    if (const std::optional<TSetChecksums> set = TSetChecksums::From(*entries))
        for (int64_t k = 1; k <= set->PieceCount(); ++k)
            FUZZ_REQUIRE(set->PieceEntry(k, "") != nullptr);
    return 0;
}
