#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The three-line ".wsp" information file of the WinSplit splitter, which tells
// what a WinSplit-compatible set's plain pieces do not: the whole file's
// extension, the number of blocks and the size. Lines end with CR LF.
struct TInfoFile {
    std::string extension;                // without its leading dot; "" when none
    int64_t blockCount = 1;               // 1 when the stored line is not a number
    std::optional<int64_t> wholeFileSize; // nothing when the stored line is not a number
};

// The file's text: extension, block count and size, each line ended by CR LF.
std::string InfoFileText(const std::string& extensionWithoutDot, int64_t blockCount,
                         int64_t wholeFileSize);

// Reads the lines back. Lines may end with CR LF or LF alone; missing lines take
// their defaults; an extension that is not UTF-8 is read as Windows-1251.
// Nothing (nullopt) when the text holds no line at all.
std::optional<TInfoFile> ParseInfoFileText(const std::string& text);

// A whole non-negative decimal integer (blanks around it allowed); nothing for
// anything else, including numbers past 64 bits.
std::optional<int64_t> ParseDecimal(const std::string& text);

// True when the file name's extension is ".wsp" in any letter case.
bool IsInfoFileName(const std::string& fileName);
