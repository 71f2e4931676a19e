#include "settings/PlatformHelpers.h"

#include "texts/QtTextFormat.h"
#include "texts/Texts.h"

#include <QGuiApplication>
#include <QScreen>
#include <QString>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace {

std::string TrimControl(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

[[noreturn]] void ThrowFolderError(const std::string& folder, int error) {
    throw EFolderError(
        FormatQText(Texts::ForceFoldersFailed,
                    {QString::fromStdString(folder), QString::fromLocal8Bit(std::strerror(error))})
            .toStdString());
}

} // namespace

EFolderError::EFolderError(const std::string& message) : std::runtime_error(message) {}

int ClassifyWindowsVersion(int platformId, int major, int minor, const std::string& servicePack) {
    const std::string pack = TrimControl(servicePack);
    if (platformId == 1) {
        if (minor < 10)
            return pack == "B" ? 2 : 1;
        if (minor < 90)
            return pack == "A" ? 4 : 3;
        if (minor == 90)
            return 5;
        return 0;
    }
    if (platformId == 2) {
        if (major == 3 && minor == 1)
            return 6;
        if (major == 3 && minor == 5)
            return 7;
        if (major == 3 && minor == 51)
            return 8;
        if (major == 4)
            return 9;
        if (major == 5 && minor == 0)
            return 10;
        if (major == 5 && minor == 1)
            return 11;
    }
    return 0;
}

int GetWindowsVersion() {
    return 0;
}

int GetColorDepth() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 0;
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void ForceFolders(const std::string& path) {
    std::string folder = path;
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty())
        ThrowFolderError(path, ENOENT);
    if (FolderExists(folder))
        return;
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        ForceFolders(folder.substr(0, slash));
    if (::mkdir(folder.c_str(), 0777) != 0) {
        const int error = errno;
        // Another process may have made it meanwhile; anything else in the
        // way (a file, a dangling link) is a failure.
        if (error == EEXIST && FolderExists(folder))
            return;
        ThrowFolderError(folder, error == EEXIST ? ENOTDIR : error);
    }
}
