#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The maker's web address shown by the join batch file. example.org is a
// reserved name, so the line claims no real site until the project has one.
inline constexpr const char* MakerWebAddress = "https://varnsplit.example.org";

// What the join batch file says about a DOS- or WinSplit-compatible set.
struct TBatchFileFacts {
    // File-name part of the whole file (after the last "/").
    std::string wholeFileName;
    // N, the number of blocks.
    int64_t blockCount = 0;
    // Size of the whole file in bytes.
    int64_t wholeFileSize = 0;
    // The engine's Path after the piece loop; the piece names derive from its
    // file-name part, so they keep the whole file's extension when it was kept.
    std::string pathAfterLastPiece;
    bool winSplitCompatible = false;
    bool dosCompatible = false;
    // Attribute bits of the whole file; 0 leaves out the "@attrib" line.
    uint32_t attributes = 0;
};

// The batch file's full text, every line ended by CR LF. The pieces are named
// without folders, so it joins them in whatever folder they are gathered.
// Nothing (nullopt) when a name cannot be written so that the command
// interpreter copies exactly those files and runs nothing else.
std::optional<std::string> BatchFileText(const TBatchFileFacts& facts);
