#include "engine/AtomicFile.h"

#include "engine/FileUtils.h"
#include "engine/Signature.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Leaves room for the dot, ".varn-" and six unique characters within NAME_MAX.
constexpr std::size_t MaxKeptNameBytes = 200;
constexpr int NameAttempts = 100;

std::string FolderOf(const std::string& path) {
    const std::string folder = FolderPart(path);
    return folder.empty() ? "." : folder;
}

std::string RandomSuffix() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[6] = {};
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        for (unsigned char& byte : bytes) // no entropy yet: the retries below still find a name
            byte = static_cast<unsigned char>(std::rand());
    std::string suffix;
    for (unsigned char byte : bytes)
        suffix += letters[byte % (sizeof letters - 1)];
    return suffix;
}

mode_t CreationMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Errors from an O_TMPFILE open that mean "this file system has no unnamed
// files" (older kernels treat the flag as O_DIRECTORY and answer EISDIR).
bool NoUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

} // namespace

std::string HiddenTemporaryName(const std::string& finalPath, const std::string& uniquePart) {
    return FolderPart(finalPath) + "." + CutUtf8(FileNamePart(finalPath), MaxKeptNameBytes) +
           ".varn-" + uniquePart;
}

TAtomicFile::~TAtomicFile() {
    Discard();
}

int TAtomicFile::Create(const std::string& finalPath, TKind kind) {
    Discard();
    m_finalPath = finalPath;
    m_committed = false;
    if (kind == TKind::kUnnamedWherePossible) {
        m_fd.Reset(open(FolderOf(finalPath).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (m_fd.IsOpen()) {
            m_unnamed = true;
            return 0;
        }
        if (!NoUnnamedFiles(errno))
            return errno;
    }
    m_unnamed = false;
    std::vector<char> pattern;
    const std::string name = HiddenTemporaryName(finalPath, "XXXXXX");
    pattern.assign(name.begin(), name.end());
    pattern.push_back('\0');
    m_fd.Reset(mkostemp(pattern.data(), O_CLOEXEC));
    if (!m_fd.IsOpen())
        return errno;
    m_temporaryPath = pattern.data();
    // mkstemp makes the file private; file systems without permissions refuse
    // the change, and the file is just as good there.
    (void)fchmod(m_fd.Get(), CreationMode());
    return 0;
}

void TAtomicFile::Discard() {
    if (m_committed)
        return;
    m_fd.Reset();
    if (!m_temporaryPath.empty())
        unlink(m_temporaryPath.c_str());
    m_temporaryPath.clear();
}

int TAtomicFile::LinkUnnamed(const std::string& target) {
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd.Get());
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    // Without /proc only the privileged form is left.
    return linkat(m_fd.Get(), "", AT_FDCWD, target.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

int TAtomicFile::PlaceUnnamed(bool replaceExisting) {
    const int error = LinkUnnamed(m_finalPath);
    if (error != EEXIST || !replaceExisting)
        return error;
    // A link cannot replace a name, so the file gets a hidden name first and
    // is renamed over the old file: the old file stays whole until the rename.
    // Only a process killed between the two steps leaves that hidden name.
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string hidden = HiddenTemporaryName(m_finalPath, RandomSuffix());
        const int error = LinkUnnamed(hidden);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return error;
        if (rename(hidden.c_str(), m_finalPath.c_str()) == 0)
            return 0;
        const int renameError = errno;
        unlink(hidden.c_str());
        return renameError;
    }
    return EEXIST;
}

int TAtomicFile::PlaceNamed(bool replaceExisting) {
    if (replaceExisting)
        return rename(m_temporaryPath.c_str(), m_finalPath.c_str()) == 0 ? 0 : errno;
    if (renameat2(AT_FDCWD, m_temporaryPath.c_str(), AT_FDCWD, m_finalPath.c_str(),
                  RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without RENAME_NOREPLACE: a hard link refuses to replace a
    // name too; where there are no hard links either (FAT), the name is checked
    // once more just before the rename.
    if (link(m_temporaryPath.c_str(), m_finalPath.c_str()) == 0) {
        unlink(m_temporaryPath.c_str());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    if (PathExists(m_finalPath))
        return EEXIST;
    return rename(m_temporaryPath.c_str(), m_finalPath.c_str()) == 0 ? 0 : errno;
}

int TAtomicFile::Commit(bool replaceExisting) {
    if (!m_fd.IsOpen() || m_committed)
        return EBADF;
    if (!m_unnamed) {
        // A named file is closed first: its late write errors must stop the
        // rename, and after the rename there is nothing left to close.
        if (const int error = m_fd.Close())
            return error;
        const int error = PlaceNamed(replaceExisting);
        if (error != 0)
            return error;
        m_temporaryPath.clear();
        m_committed = true;
        return 0;
    }
    // An unnamed file needs its descriptor for the link, so close comes after
    // it; a late write error then takes the name away again.
    if (const int error = PlaceUnnamed(replaceExisting))
        return error;
    if (const int error = m_fd.Close()) {
        unlink(m_finalPath.c_str());
        return error;
    }
    m_committed = true;
    return 0;
}
