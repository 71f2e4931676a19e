#include "StubSystem.h"

#include "engine/AtomicFile.h"
#include "engine/FileUtils.h"
#include "platform/FileAttributes.h"
#include "platform/FileTimes.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* OwnImage = "/proc/self/exe";

int g_lastError = 0;

bool Failed() {
    g_lastError = errno;
    return false;
}

// The half-built whole file has no name where the file system allows that;
// elsewhere this is its hidden name, removed unless the run reaches its end,
// also when the user interrupts the stub, so nothing half-written is left.
char g_temporaryPath[4096] = {};

void RememberTemporaryPath(const std::string& path) {
    const size_t length = std::min(path.size(), sizeof g_temporaryPath - 1);
    std::memcpy(g_temporaryPath, path.c_str(), length);
    g_temporaryPath[length] = '\0';
}

void RemoveTemporaryAndExit(int signalNumber) {
    if (g_temporaryPath[0] != '\0')
        unlink(g_temporaryPath);
    _exit(128 + signalNumber);
}

void WriteTo(FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

void PrepareStubSystem() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndExit;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
}

void WriteOut(const std::string& text) {
    WriteTo(stdout, text);
}

void WriteErr(const std::string& text) {
    WriteTo(stderr, text);
}

bool OutputIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool ReadAnswerLine(std::string& line) {
    char answer[64] = {};
    if (std::fgets(answer, sizeof answer, stdin) == nullptr)
        return false;
    line = answer;
    return true;
}

bool ConsoleClosesAtExit() {
    return false;
}

bool OwnProgramPath(std::string& path, std::string& reason) {
    std::vector<char> link(4096);
    const ssize_t length = readlink(OwnImage, link.data(), link.size() - 1);
    if (length <= 0) {
        reason = std::strerror(errno);
        return false;
    }
    path.assign(link.data(), static_cast<size_t>(length));
    return true;
}

std::string DisplayPath(const std::string& path) {
    return path;
}

bool ExtensionUsableHere(const std::string&) {
    return true; // the shared rule (no "/", no NUL) is all Linux asks
}

std::string LastFailureReason() {
    return std::strerror(g_lastError);
}

TPathKind KindOfPath(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0)
        return TPathKind::pkNone;
    return S_ISDIR(status.st_mode) ? TPathKind::pkFolder : TPathKind::pkFile;
}

struct TInputFile::TState {
    int fd = -1;
};

TInputFile::TInputFile() : m_state(std::make_unique<TState>()) {}

TInputFile::~TInputFile() {
    if (m_state->fd >= 0)
        close(m_state->fd);
}

TOpenResult TInputFile::Open(const std::string& path) {
    m_state->fd = OpenRegularFile(path);
    if (m_state->fd >= 0)
        return TOpenResult::orOpened;
    Failed();
    return errno == ENOENT || errno == EINVAL ? TOpenResult::orMissing : TOpenResult::orFailed;
}

TOpenResult TInputFile::OpenOwnProgram() {
    // The running image is read through /proc, since argv[0] may be relative
    // or name a different file.
    m_state->fd = open(OwnImage, O_RDONLY | O_CLOEXEC);
    if (m_state->fd >= 0)
        return TOpenResult::orOpened;
    Failed();
    return TOpenResult::orFailed;
}

uint64_t TInputFile::Size() const {
    struct stat status {};
    if (fstat(m_state->fd, &status) != 0 || status.st_size < 0)
        return 0;
    return static_cast<uint64_t>(status.st_size);
}

bool TInputFile::ReadAt(uint64_t offset, char* buffer, size_t length) {
    size_t done = 0;
    while (done < length) {
        const ssize_t got =
            pread(m_state->fd, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failed();
        if (got == 0) { // the file shrank under us
            g_lastError = EIO;
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

struct TOutputFile::TState {
    TAtomicFile file;
    bool committed = false;
};

TOutputFile::TOutputFile() : m_state(std::make_unique<TState>()) {}

TOutputFile::~TOutputFile() {
    if (!m_state->committed)
        m_state->file.Discard();
    g_temporaryPath[0] = '\0';
}

bool TOutputFile::Create(const std::string& finalPath) {
    if (const int error = m_state->file.Create(finalPath)) {
        g_lastError = error;
        return false;
    }
    RememberTemporaryPath(m_state->file.TemporaryPath());
    return true;
}

bool TOutputFile::Write(const char* buffer, size_t length) {
    size_t done = 0;
    while (done < length) {
        const ssize_t put = write(m_state->file.Fd(), buffer + done, length - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return Failed();
        done += static_cast<size_t>(put);
    }
    return true;
}

bool TOutputFile::SetTimes(uint32_t, uint32_t lastAccess, uint32_t lastWrite) {
    return ApplyFileDosTimes(m_state->file.Fd(), lastAccess, lastWrite) || Failed();
}

bool TOutputFile::Commit(bool replaceExisting) {
    // A file that appeared at the target since it was checked is never
    // replaced without the user's word.
    if (const int error = m_state->file.Commit(replaceExisting)) {
        g_lastError = error;
        return false;
    }
    m_state->committed = true;
    g_temporaryPath[0] = '\0';
    return true;
}

bool TOutputFile::SetAttributes(uint32_t attributes) {
    return ApplyFileAttributes(m_state->file.FinalPath(), attributes) || Failed();
}
