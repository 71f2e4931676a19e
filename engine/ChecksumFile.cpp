#include "engine/ChecksumFile.h"

#include "engine/EngineErrors.h"
#include "engine/FileDescriptor.h"
#include "engine/FileUtils.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr std::size_t HexDigits = 64;

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool NeedsEscape(const std::string& name) {
    return name.find_first_of("\\\n\r") != std::string::npos;
}

std::optional<std::string> Unescaped(const std::string& name) {
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            text += name[i];
            continue;
        }
        if (++i == name.size())
            return std::nullopt;
        switch (name[i]) {
        case '\\':
            text += '\\';
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return text;
}

std::optional<TChecksumEntry> ParseLine(std::string line) {
    const bool escaped = !line.empty() && line.front() == '\\';
    if (escaped)
        line.erase(0, 1);
    if (line.size() < HexDigits + 3 || line[HexDigits] != ' ' ||
        (line[HexDigits + 1] != ' ' && line[HexDigits + 1] != '*'))
        return std::nullopt;
    TChecksumEntry entry;
    for (std::size_t i = 0; i < HexDigits; i += 2) {
        const int high = HexValue(line[i]);
        const int low = HexValue(line[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        entry.digest[i / 2] = static_cast<unsigned char>(high * 16 + low);
    }
    const std::string name = line.substr(HexDigits + 2);
    if (!escaped) {
        entry.name = name;
        return entry;
    }
    const std::optional<std::string> plain = Unescaped(name);
    if (!plain || plain->empty())
        return std::nullopt;
    entry.name = *plain;
    return entry;
}

} // namespace

std::string ChecksumLine(const TChecksumEntry& entry) {
    if (!NeedsEscape(entry.name))
        return HexDigest(entry.digest) + "  " + entry.name + "\n";
    std::string name;
    for (char c : entry.name) {
        if (c == '\\')
            name += "\\\\";
        else if (c == '\n')
            name += "\\n";
        else if (c == '\r')
            name += "\\r";
        else
            name += c;
    }
    return "\\" + HexDigest(entry.digest) + "  " + name + "\n";
}

std::optional<std::vector<TChecksumEntry>> ParseChecksumFileText(const std::string& text) {
    std::vector<TChecksumEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        // sha256sum escapes a CR in a name, so a bare one at the end is a
        // line end that a Windows copy added.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        std::optional<TChecksumEntry> entry = ParseLine(line);
        if (!entry)
            return std::nullopt;
        entries.push_back(std::move(*entry));
    }
    return entries;
}

std::string ChecksumFilePathFor(const std::string& firstPiecePath) {
    return ReplaceExtension(firstPiecePath, ".sha256");
}

std::optional<TSetChecksums> TSetChecksums::From(std::vector<TChecksumEntry> entries) {
    if (entries.size() < 2)
        return std::nullopt;
    TSetChecksums checksums;
    checksums.m_whole = std::move(entries.back());
    entries.pop_back();
    checksums.m_pieces = std::move(entries);
    for (std::size_t i = 0; i < checksums.m_pieces.size(); ++i)
        checksums.m_byName.emplace(checksums.m_pieces[i].name, i);
    return checksums;
}

const TChecksumEntry* TSetChecksums::PieceEntry(int64_t pieceNumber,
                                                const std::string& name) const {
    if (const auto found = m_byName.find(name); found != m_byName.end())
        return &m_pieces[found->second];
    if (pieceNumber >= 1 && pieceNumber <= PieceCount())
        return &m_pieces[static_cast<std::size_t>(pieceNumber - 1)];
    return nullptr;
}

std::optional<TSetChecksums> ReadSetChecksums(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (static_cast<uint64_t>(info.st_size) > ChecksumFileReadLimit)
        throw EEngineError(TEngineFault::efChecksumFileDamaged, path);
    TFileDescriptor file(OpenRegularFile(path));
    if (!file.IsOpen())
        throw EEngineError(TEngineFault::efOpenFailed, path, errno);
    std::string text;
    char buffer[65536];
    while (true) {
        const ssize_t got = read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EEngineError(TEngineFault::efReadFailed, path, errno);
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > ChecksumFileReadLimit)
            throw EEngineError(TEngineFault::efChecksumFileDamaged, path);
    }
    std::optional<std::vector<TChecksumEntry>> entries = ParseChecksumFileText(text);
    std::optional<TSetChecksums> checksums =
        entries ? TSetChecksums::From(std::move(*entries)) : std::nullopt;
    if (!checksums)
        throw EEngineError(TEngineFault::efChecksumFileDamaged, path);
    return checksums;
}
