#pragma once

#include <cstdint>
#include <string>

// The maker's web address shown by the join batch file.
inline constexpr const char* MakerWebAddress = "https://varnsplit.example.org";

// What the join batch file says about a DOS- or WinSplit-compatible set.
struct TBatchFileFacts {
    std::string wholeFileName;   // file-name part of the whole file (after the last "/")
    int64_t blockCount = 0;      // N
    int64_t wholeFileSize = 0;   // bytes
    std::string pathAfterLastPiece; // the engine's Path after the piece loop; piece names derive from it
    bool winSplitCompatible = false;
    bool dosCompatible = false;
    uint32_t attributes = 0;     // attribute bits of the whole file; 0 leaves out the "@attrib" line
};

// The batch file's full text, every line ended by CR LF.
std::string BatchFileText(const TBatchFileFacts& facts);
