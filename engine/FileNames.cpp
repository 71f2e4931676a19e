#include "engine/FileUtils.h"

#include <clocale>

// The path and text helpers of FileUtils.h that touch no file: plain standard
// C++, so that the Windows stub compiles them too.

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
