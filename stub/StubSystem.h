#pragma once

// What the self-joining stub needs of the system it runs on, Linux or Windows:
// one implementation each (StubSystemPosix.cpp, StubSystemWindows.cpp), so that
// stub.cpp itself is the same program on both. Paths are UTF-8 with "/"
// between folders on either system; Windows accepts "/" in its file calls.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Gets the console ready for UTF-8 text (on Windows its output code page is set
// to UTF-8) and makes an interrupt remove the half-built file.
void PrepareStubSystem();

// Writes UTF-8 text to standard output or standard error as it is.
void WriteOut(const std::string& text);
void WriteErr(const std::string& text);
bool OutputIsTerminal();
bool InputIsTerminal();
// Reads one line the user typed, as UTF-8; false at the end of the input.
bool ReadAnswerLine(std::string& line);
// True when the stub's console window goes away as soon as it ends (a Windows
// console opened just for it from the file manager): the last words would not
// be read, so the stub waits for Enter first.
bool ConsoleClosesAtExit();

// The path of this very program file; false with `reason` when unknown.
bool OwnProgramPath(std::string& path, std::string& reason);
// A path as the user writes it on this system ("\" between folders on Windows).
std::string DisplayPath(const std::string& path);
// True when a stored extension can end a file name here without leading out
// of the folder or naming no file.
bool ExtensionUsableHere(const std::string& extension);
// The system's words for the last failure of one of the calls below.
std::string LastFailureReason();

enum class TPathKind { pkNone, pkFile, pkFolder };
TPathKind KindOfPath(const std::string& path);

enum class TOpenResult { orOpened, orMissing, orFailed };

// A regular file open for reading.
class TInputFile {
public:
    TInputFile();
    ~TInputFile();
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    // Only a regular file opens: a FIFO or device named like a piece would
    // block the join for ever.
    TOpenResult Open(const std::string& path);
    // This very program's file, however it was started.
    TOpenResult OpenOwnProgram();
    uint64_t Size() const;
    // Reads exactly `length` bytes at `offset`; false on failure or a short read.
    bool ReadAt(uint64_t offset, char* buffer, size_t length);

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};

// The whole file being rebuilt: written under a temporary name (or none, where
// the system allows) and given its final name only by Commit, so a failed or
// interrupted join leaves nothing behind.
class TOutputFile {
public:
    TOutputFile();
    ~TOutputFile(); // throws the file away unless it was committed
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    bool Create(const std::string& finalPath);
    bool Write(const char* buffer, size_t length);
    // The stored packed DOS date-times; what the system cannot set (a creation
    // time on Linux) or a value that is no valid date is skipped.
    bool SetTimes(uint32_t creation, uint32_t lastAccess, uint32_t lastWrite);
    // Gives the complete file its final name; an existing file there is
    // replaced only with `replaceExisting`. After a failure nothing is left.
    bool Commit(bool replaceExisting);
    // The stored attribute bits, on the committed file.
    bool SetAttributes(uint32_t attributes);

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};
