#include "StubSystem.h"

#include "engine/FileUtils.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

DWORD g_lastError = 0;

bool Failed() {
    g_lastError = GetLastError();
    return false;
}

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Utf8(const wchar_t* text, size_t size) {
    if (size == 0)
        return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

// The system's file calls take the path with either separator; the user sees "\".
std::wstring SystemPath(const std::string& path) {
    return Wide(DisplayPath(path));
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

// A console takes UTF-16 text whatever its code page; anything else (a pipe,
// a file) gets the UTF-8 bytes.
void WriteTo(DWORD which, FILE* stream, const std::string& text) {
    if (IsConsole(which)) {
        const std::wstring wide = Wide(text);
        DWORD written = 0;
        WriteConsoleW(GetStdHandle(which), wide.data(), static_cast<DWORD>(wide.size()), &written,
                      nullptr);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

// The file being rebuilt, for the console's interrupt handler, which runs on
// a thread of its own while the join goes on.
CRITICAL_SECTION g_temporaryLock;
std::wstring g_temporaryPath;

void RememberTemporaryPath(const std::wstring& path) {
    EnterCriticalSection(&g_temporaryLock);
    g_temporaryPath = path;
    LeaveCriticalSection(&g_temporaryLock);
}

BOOL WINAPI RemoveTemporaryAndExit(DWORD) {
    EnterCriticalSection(&g_temporaryLock);
    // The file is open with delete sharing: it goes when the process ends.
    if (!g_temporaryPath.empty())
        DeleteFileW(g_temporaryPath.c_str());
    ExitProcess(130);
}

} // namespace

void PrepareStubSystem() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    InitializeCriticalSection(&g_temporaryLock);
    SetConsoleCtrlHandler(RemoveTemporaryAndExit, TRUE);
}

void WriteOut(const std::string& text) {
    WriteTo(STD_OUTPUT_HANDLE, stdout, text);
}

void WriteErr(const std::string& text) {
    WriteTo(STD_ERROR_HANDLE, stderr, text);
}

bool OutputIsTerminal() {
    return IsConsole(STD_OUTPUT_HANDLE);
}

bool InputIsTerminal() {
    return IsConsole(STD_INPUT_HANDLE);
}

bool ReadAnswerLine(std::string& line) {
    if (IsConsole(STD_INPUT_HANDLE)) {
        wchar_t answer[64] = {};
        DWORD read = 0;
        if (!ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), answer, 63, &read, nullptr) || read == 0)
            return false;
        line = Utf8(answer, read);
        return true;
    }
    char answer[64] = {};
    if (std::fgets(answer, sizeof answer, stdin) == nullptr)
        return false;
    line = answer;
    return true;
}

bool ConsoleClosesAtExit() {
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

bool OwnProgramPath(std::string& path, std::string& reason) {
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) {
        Failed();
        reason = LastFailureReason();
        return false;
    }
    path = Utf8(buffer.data(), length);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return true;
}

std::string DisplayPath(const std::string& path) {
    std::string shown = path;
    for (char& c : shown)
        if (c == '/')
            c = '\\';
    return shown;
}

bool ExtensionUsableHere(const std::string& extension) {
    for (unsigned char c : extension)
        if (c < 32 || std::string("\\:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return false;
    // Windows drops trailing dots and blanks from a name: "a. " would be "a".
    return extension.empty() || (extension.back() != '.' && extension.back() != ' ');
}

std::string LastFailureReason() {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, g_lastError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = length > 0 ? Utf8(text, length) : "";
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    return reason.empty() ? "код " + std::to_string(g_lastError) : reason;
}

TPathKind KindOfPath(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return TPathKind::pkNone;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TPathKind::pkFolder : TPathKind::pkFile;
}

struct TInputFile::TState {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

TInputFile::TInputFile() : m_state(std::make_unique<TState>()) {}

TInputFile::~TInputFile() {
    if (m_state->handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_state->handle);
}

TOpenResult TInputFile::Open(const std::string& path) {
    m_state->handle = CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_state->handle == INVALID_HANDLE_VALUE) {
        Failed();
        return g_lastError == ERROR_FILE_NOT_FOUND || g_lastError == ERROR_PATH_NOT_FOUND
                   ? TOpenResult::orMissing
                   : TOpenResult::orFailed;
    }
    if (GetFileType(m_state->handle) != FILE_TYPE_DISK) {
        CloseHandle(m_state->handle);
        m_state->handle = INVALID_HANDLE_VALUE;
        return TOpenResult::orMissing;
    }
    return TOpenResult::orOpened;
}

TOpenResult TInputFile::OpenOwnProgram() {
    std::string path;
    std::string reason;
    if (!OwnProgramPath(path, reason))
        return TOpenResult::orFailed;
    return Open(path) == TOpenResult::orOpened ? TOpenResult::orOpened : TOpenResult::orFailed;
}

uint64_t TInputFile::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_state->handle, &size) || size.QuadPart < 0)
        return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

bool TInputFile::ReadAt(uint64_t offset, char* buffer, size_t length) {
    size_t done = 0;
    while (done < length) {
        OVERLAPPED at{};
        const uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position & 0xffffffffu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(m_state->handle, buffer + done, chunk, &got, &at))
            return Failed();
        if (got == 0) { // the file shrank under us
            g_lastError = ERROR_HANDLE_EOF;
            return false;
        }
        done += got;
    }
    return true;
}

struct TOutputFile::TState {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring temporaryPath;
    std::wstring finalPath;
    bool committed = false;

    void Discard() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        if (!temporaryPath.empty())
            DeleteFileW(temporaryPath.c_str());
        RememberTemporaryPath(L"");
    }
};

TOutputFile::TOutputFile() : m_state(std::make_unique<TState>()) {}

TOutputFile::~TOutputFile() {
    if (!m_state->committed)
        m_state->Discard();
}

bool TOutputFile::Create(const std::string& finalPath) {
    m_state->finalPath = SystemPath(finalPath);
    const std::wstring temporary =
        SystemPath(FolderPart(finalPath) + "." + FileNamePart(finalPath) + ".varn-" +
                   std::to_string(GetCurrentProcessId()));
    m_state->handle =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_state->handle == INVALID_HANDLE_VALUE)
        return Failed();
    m_state->temporaryPath = temporary;
    RememberTemporaryPath(temporary);
    return true;
}

bool TOutputFile::Write(const char* buffer, size_t length) {
    size_t done = 0;
    while (done < length) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length - done, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(m_state->handle, buffer + done, chunk, &put, nullptr) || put == 0)
            return Failed();
        done += put;
    }
    return true;
}

namespace {

// A packed DOS date-time (local time) as the system's UTC file time; false for
// a value that is no valid date.
bool FileTimeOf(uint32_t packed, FILETIME& time) {
    FILETIME local{};
    if (packed == 0 || !DosDateTimeToFileTime(static_cast<WORD>(packed >> 16),
                                              static_cast<WORD>(packed & 0xffff), &local))
        return false;
    return LocalFileTimeToFileTime(&local, &time) != 0;
}

} // namespace

bool TOutputFile::SetTimes(uint32_t creation, uint32_t lastAccess, uint32_t lastWrite) {
    FILETIME times[3] = {};
    const bool known[3] = {FileTimeOf(creation, times[0]), FileTimeOf(lastAccess, times[1]),
                           FileTimeOf(lastWrite, times[2])};
    return SetFileTime(m_state->handle, known[0] ? &times[0] : nullptr,
                       known[1] ? &times[1] : nullptr, known[2] ? &times[2] : nullptr) ||
           Failed();
}

bool TOutputFile::Commit(bool replaceExisting) {
    const bool closed = CloseHandle(m_state->handle) != 0;
    m_state->handle = INVALID_HANDLE_VALUE;
    if (!closed ||
        !MoveFileExW(m_state->temporaryPath.c_str(), m_state->finalPath.c_str(),
                     MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0))) {
        Failed();
        m_state->Discard();
        return false;
    }
    m_state->committed = true;
    RememberTemporaryPath(L"");
    return true;
}

bool TOutputFile::SetAttributes(uint32_t attributes) {
    // The bits a Windows program stored: read-only, hidden, system, archive.
    DWORD kept = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept == 0)
        kept = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(m_state->finalPath.c_str(), kept) || Failed();
}
