#pragma once

#include "engine/Sha256.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The "name.sha256" file a split writes beside its first piece, in the format
// of GNU sha256sum, so that "sha256sum -c" checks a set and the rebuilt file
// without this program: one line per piece in order, then one for the whole
// file under the name a unite gives it.

struct TChecksumEntry {
    std::string name;
    TSha256Digest digest{};
};

// One line as sha256sum writes it: the digest, two blanks, the name, LF. A name
// holding "\", LF or CR is written escaped ("\\", "\n", "\r") and the line then
// starts with "\", which is how sha256sum marks such lines.
std::string ChecksumLine(const TChecksumEntry& entry);

// Reads the lines back: "digest  name" or "digest *name" (binary mode), escaped
// lines, upper-case digits, CR LF line ends, empty lines and "#" comments.
// Nothing (nullopt) when any other line is not a checksum line.
std::optional<std::vector<TChecksumEntry>> ParseChecksumFileText(const std::string& text);

// The checksum file's path for the set whose first piece (or information file)
// is `firstPiecePath`: its extension replaced by ".sha256".
std::string ChecksumFilePathFor(const std::string& firstPiecePath);

// The largest checksum file that is read: 65,535 pieces with long names fit.
inline constexpr std::size_t ChecksumFileReadLimit = 32u << 20;

// A set's checksums: its pieces in order, then the whole file.
class TSetChecksums {
public:
    // Nothing when fewer than two entries are given (a piece and the whole).
    static std::optional<TSetChecksums> From(std::vector<TChecksumEntry> entries);

    int64_t PieceCount() const { return static_cast<int64_t>(m_pieces.size()); }
    const TChecksumEntry& Whole() const { return m_whole; }
    // Piece `pieceNumber` (from 1) at a file named `name`: the entry of that
    // name, or the entry at that place when no entry has the name (a piece the
    // user renamed). Nothing when neither exists.
    const TChecksumEntry* PieceEntry(int64_t pieceNumber, const std::string& name) const;

private:
    std::vector<TChecksumEntry> m_pieces;
    TChecksumEntry m_whole;
    std::unordered_map<std::string, std::size_t> m_byName;
};

// Reads the checksum file at `path`. Nothing when there is no regular file
// there; throws EEngineError (efChecksumFileDamaged) when the file is there
// but cannot be read or describes no set.
std::optional<TSetChecksums> ReadSetChecksums(const std::string& path);
