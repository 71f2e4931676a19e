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

[[noreturn]] void ThrowFolderError(const std::string& folder, int error) {
    throw EFolderError(
        FormatQText(Texts::ForceFoldersFailed,
                    {QString::fromStdString(folder), QString::fromLocal8Bit(std::strerror(error))})
            .toStdString());
}

} // namespace

EFolderError::EFolderError(const std::string& message) : std::runtime_error(message) {}

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
