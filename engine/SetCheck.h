#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a verify found for one piece of a set.
enum class TPieceState {
    psGood,      // its SHA-256 matches the checksum file
    psPresent,   // there and of the right size; no checksum file to compare with
    psDamaged,   // its SHA-256 differs from the checksum file's
    psWrongSize, // not as long as its place in the set demands (cut short, or longer)
    psMissing,   // not there
    psNotListed, // there, but the checksum file has no line for it
};

struct TPieceCheck {
    std::string path;
    TPieceState state = TPieceState::psMissing;
    int64_t size = 0;         // with psWrongSize: the piece's length
    int64_t expectedSize = 0; // with psWrongSize: the length its place demands
};

// The result of a verify: every piece looked at, in order.
struct TSetCheck {
    std::vector<TPieceCheck> pieces;
    bool checksumsAvailable = false;
    std::string checksumFile; // the checksum file's path, whether found or not

    int64_t Count(TPieceState state) const {
        int64_t count = 0;
        for (const TPieceCheck& piece : pieces)
            count += piece.state == state ? 1 : 0;
        return count;
    }
    // Every piece there and checked as far as the set allows: by checksum
    // when there is a checksum file, by size when there is none.
    bool Intact() const {
        if (pieces.empty())
            return false;
        const TPieceState wanted =
            checksumsAvailable ? TPieceState::psGood : TPieceState::psPresent;
        return Count(wanted) == static_cast<int64_t>(pieces.size());
    }
};

// What a unite could say about the rebuilt file.
enum class TChecksumCheck {
    ccNone,           // no unite completed
    ccVerified,       // every piece and the whole file matched the checksum file
    ccNoChecksumFile, // there was no checksum file beside the first piece
};
