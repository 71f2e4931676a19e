#include "platform/Mounts.h"

#include <fstream>
#include <sstream>

namespace {

// mountinfo escapes blank, tab, newline and backslash in paths as a backslash
// and three octal digits; anything else after a backslash is kept as it is.
std::string UnescapeMountField(const std::string& field) {
    std::string result;
    result.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1];
            const char b = field[i + 2];
            const char c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                result += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        result += field[i];
    }
    return result;
}

std::vector<std::string> SplitBlanks(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    std::string field;
    while (stream >> field)
        fields.push_back(field);
    return fields;
}

bool ParseDevice(const std::string& text, unsigned& major, unsigned& minor) {
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size())
        return false;
    auto parse = [](const std::string& digits, unsigned& value) {
        if (digits.empty() || digits.size() > 9)
            return false;
        value = 0;
        for (char ch : digits) {
            if (ch < '0' || ch > '9')
                return false;
            value = value * 10 + static_cast<unsigned>(ch - '0');
        }
        return true;
    };
    return parse(text.substr(0, colon), major) && parse(text.substr(colon + 1), minor);
}

// Whether `prefix` covers `path` by whole components ("/mnt/a" covers
// "/mnt/a/b" and "/mnt/a", not "/mnt/ab").
bool CoversPath(const std::string& prefix, const std::string& path) {
    if (prefix == "/")
        return !path.empty() && path[0] == '/';
    if (path.compare(0, prefix.size(), prefix) != 0)
        return false;
    return path.size() == prefix.size() || path[prefix.size()] == '/';
}

} // namespace

std::vector<TMountRecord> ParseMountInfo(const std::string& text) {
    // Line layout: id parent maj:min root mountpoint options [optional...] - fstype source
    // superoptions
    std::vector<TMountRecord> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto fields = SplitBlanks(line);
        if (fields.size() < 7)
            continue;
        std::size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-")
            ++separator;
        // The file system type must follow the separator; the source may be
        // missing on some kernels, so only the type is required.
        if (separator + 1 >= fields.size())
            continue;
        TMountRecord record;
        if (!ParseDevice(fields[2], record.major, record.minor))
            continue;
        record.root = UnescapeMountField(fields[3]);
        record.mountPoint = UnescapeMountField(fields[4]);
        if (record.mountPoint.empty() || record.mountPoint[0] != '/')
            continue;
        record.fsType = UnescapeMountField(fields[separator + 1]);
        if (separator + 2 < fields.size())
            record.source = UnescapeMountField(fields[separator + 2]);
        mounts.push_back(std::move(record));
    }
    return mounts;
}

std::vector<TMountRecord> ReadMountTable() {
    // /proc files report a size of zero, so read until the stream ends.
    std::ifstream file("/proc/self/mountinfo");
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    return ParseMountInfo(text.str());
}

const TMountRecord* MountOf(const std::vector<TMountRecord>& mounts, const std::string& path) {
    // Later lines stack over earlier ones at the same point, so on equal length
    // the last mount wins: it is the one a path lookup actually reaches.
    const TMountRecord* best = nullptr;
    for (const auto& mount : mounts) {
        if (!CoversPath(mount.mountPoint, path))
            continue;
        if (!best || mount.mountPoint.size() >= best->mountPoint.size())
            best = &mount;
    }
    return best;
}
