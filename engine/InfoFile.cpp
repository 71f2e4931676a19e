#include "engine/InfoFile.h"

#include "engine/FileUtils.h"
#include "engine/Signature.h"

#include <vector>

std::string InfoFileText(const std::string& extensionWithoutDot, int64_t blockCount,
                         int64_t wholeFileSize) {
    return extensionWithoutDot + "\r\n" + std::to_string(blockCount) + "\r\n" +
           std::to_string(wholeFileSize) + "\r\n";
}

std::optional<int64_t> ParseDecimal(const std::string& text) {
    std::string::size_type first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    std::string::size_type last = text.find_last_not_of(" \t");
    if (text[first] == '+')
        ++first;
    if (first > last)
        return std::nullopt;
    int64_t value = 0;
    for (std::string::size_type i = first; i <= last; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        if (__builtin_mul_overflow(value, int64_t{10}, &value) ||
            __builtin_add_overflow(value, int64_t{c - '0'}, &value))
            return std::nullopt;
    }
    return value;
}

std::optional<TInfoFile> ParseInfoFileText(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        const bool lastLine = end == std::string::npos;
        if (lastLine)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty())
        return std::nullopt;
    TInfoFile info;
    info.extension = TextFromStoredBytes(lines[0]);
    if (lines.size() > 1) {
        if (const std::optional<int64_t> count = ParseDecimal(lines[1]))
            info.blockCount = *count;
    }
    if (lines.size() > 2)
        info.wholeFileSize = ParseDecimal(lines[2]);
    return info;
}

bool IsInfoFileName(const std::string& fileName) {
    std::string extension = ExtensionOf(fileName);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension == ".wsp";
}
