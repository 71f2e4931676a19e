#pragma once

// Plain standard C++ only: the self-joining stub compiles this file on its own.

#include <cstdint>
#include <optional>

// The sizes every piece of a set must have. A split cuts the whole stream -
// stub, signature and data, in that order - at the block size, so the first
// piece is as long as a block (or, alone, the whole stream), every later piece
// but the last is as long as the first, and the last holds what is left.
struct TSetLayout {
    int64_t blockSize = 0;  // the first piece's length
    int64_t blockCount = 0; // pieces in the set; 0 while the whole size is unknown
    int64_t totalSize = 0;  // stub + signature + whole file; meaningful with blockCount

    bool SizeKnown() const { return blockCount > 0; }
    // The length piece `pieceNumber` (1 for the first) must have; only with a known size.
    int64_t ExpectedPieceSize(int64_t pieceNumber) const;
};

// The layout of a set whose whole stream is `dataStart` + `wholeFileSize`
// bytes, with a first piece of `firstPieceSize` bytes. Nothing (nullopt) when
// the stored size is negative, or when a first piece of that size cannot begin
// such a set (it must hold more than the header when more pieces follow).
std::optional<TSetLayout> KnownSizeLayout(int64_t firstPieceSize, int64_t dataStart,
                                          int64_t wholeFileSize);

// The layout of a plain set that stores no size (DOS-compatible, or WinSplit
// without its information file): it ends with the first piece shorter than a
// block, or when no further piece is found.
TSetLayout UnknownSizeLayout(int64_t firstPieceSize);

// True when the block count a signature stores (16 bits, so modulo 65536)
// agrees with the layout.
bool StoredBlockCountFits(const TSetLayout& layout, uint16_t storedBlockCount);

// What a later piece's size says for a set of unknown size: it belongs and
// more may follow (a whole block), it belongs and ends the set (shorter), or
// it cannot belong (longer than a block, or empty).
enum class TPieceFit { pfWhole, pfLast, pfWrong };
TPieceFit FitOfUnknownSizePiece(const TSetLayout& layout, int64_t pieceSize);
