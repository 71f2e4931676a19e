#include "engine/FileUtils.h"

#include "engine/EngineErrors.h"
#include "platform/FileTimes.h"

#include <cerrno>
#include <clocale>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string AddTrailingSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/')
        return folder;
    return folder + "/";
}

std::string ReplaceExtension(const std::string& fileName, const std::string& newExtension) {
    const std::string::size_type found = fileName.find_last_of("./");
    if (found != std::string::npos && fileName[found] == '.')
        return fileName.substr(0, found) + newExtension;
    return fileName + newExtension;
}

std::string ExtensionOf(const std::string& fileName) {
    const std::string::size_type found = fileName.find_last_of("./");
    if (found != std::string::npos && fileName[found] == '.')
        return fileName.substr(found);
    return "";
}

std::string FileNamePart(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ZeroPad(int64_t number, int width) {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

std::string TrimControl(const std::string& text) {
    std::string::size_type first = 0;
    std::string::size_type last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) < 33)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) < 33)
        --last;
    return text.substr(first, last - first);
}

namespace {

void RemoveAll(std::string& text, const std::string& what) {
    if (what.empty())
        return;
    for (std::string::size_type at = text.find(what); at != std::string::npos;
         at = text.find(what, at))
        text.erase(at, what.size());
}

} // namespace

std::string StripGrouping(const std::string& numberText, const std::string& separator) {
    std::string text = numberText;
    RemoveAll(text, separator);
    // Blanks: the ASCII space and tab, and the no-break spaces (U+00A0,
    // U+202F) and thin space (U+2009) that grouped digits are shown with.
    for (const char* blank : {" ", "\t", "\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89"})
        RemoveAll(text, blank);
    return text;
}

std::string StripGrouping(const std::string& numberText) {
    const struct lconv* conventions = localeconv();
    std::string separator = conventions != nullptr && conventions->thousands_sep != nullptr
                                ? conventions->thousands_sep
                                : "";
    if (separator.empty())
        separator = ",";
    return StripGrouping(numberText, separator);
}

int64_t FileSizeOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return 0;
    return static_cast<int64_t>(info.st_size);
}

bool FileDosTimes(const std::string& path, uint32_t& creation, uint32_t& lastAccess,
                  uint32_t& lastWrite) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode))
        return true;
    TFileDosTimes times;
    if (!ReadFileDosTimes(path, times))
        return false;
    creation = times.creation;
    lastAccess = times.lastAccess;
    lastWrite = times.lastWrite;
    return true;
}

std::string AttributeLetters(uint32_t attributes) {
    std::string letters;
    if (attributes & 1u)
        letters += " R";
    if (attributes & 2u)
        letters += " H";
    if (attributes & 32u)
        letters += " A";
    if (attributes & 4u)
        letters += " S";
    return letters;
}

void EraseExisting(const std::string& path) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        throw EEngineError(TEngineFault::efDeleteFailed, path, errno);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && lstat(path.c_str(), &info) == 0;
}

int OpenRegularFile(const std::string& path) {
    // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EINVAL;
        close(fd);
        errno = error;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}
