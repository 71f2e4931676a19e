#include "engine/SetLayout.h"

int64_t TSetLayout::ExpectedPieceSize(int64_t pieceNumber) const {
    if (pieceNumber < blockCount)
        return blockSize;
    return totalSize - (blockCount - 1) * blockSize;
}

std::optional<TSetLayout> KnownSizeLayout(int64_t firstPieceSize, int64_t dataStart,
                                          int64_t wholeFileSize) {
    if (wholeFileSize < 0 || dataStart < 0 || firstPieceSize < 0)
        return std::nullopt;
    TSetLayout layout;
    layout.totalSize = dataStart + wholeFileSize;
    if (firstPieceSize >= layout.totalSize) {
        // Alone, the first piece is the whole stream; a longer one is checked
        // against that length by its caller.
        layout.blockSize = layout.totalSize;
        layout.blockCount = 1;
        return layout;
    }
    // A first piece no longer than the header carries no data, and no split
    // makes such a set: the count would never end.
    if (firstPieceSize <= dataStart)
        return std::nullopt;
    layout.blockSize = firstPieceSize;
    layout.blockCount = (layout.totalSize + firstPieceSize - 1) / firstPieceSize;
    return layout;
}

TSetLayout UnknownSizeLayout(int64_t firstPieceSize) {
    TSetLayout layout;
    layout.blockSize = firstPieceSize;
    return layout;
}

bool StoredBlockCountFits(const TSetLayout& layout, uint16_t storedBlockCount) {
    return (layout.blockCount & 0xFFFF) == storedBlockCount;
}

TPieceFit FitOfUnknownSizePiece(const TSetLayout& layout, int64_t pieceSize) {
    if (pieceSize == layout.blockSize)
        return TPieceFit::pfWhole;
    if (pieceSize > 0 && pieceSize < layout.blockSize)
        return TPieceFit::pfLast;
    return TPieceFit::pfWrong;
}
