#pragma once

// Plain POSIX only: the self-joining stub compiles this file on its own.

#include "engine/FileDescriptor.h"

#include <string>

// A file that appears under its final name only once it is complete. It is
// written as an unnamed file (O_TMPFILE) in the final folder and linked into
// place by Commit, so a process killed at any moment leaves either the complete
// file or nothing, and no hidden leftovers. Where the file system has no
// unnamed files (FAT, some network file systems), a hidden named temporary
// file beside the final name takes its place and is removed on every failure.
class TAtomicFile {
public:
    // Named files also serve where unnamed ones would work, for callers and
    // tests that must see the fallback.
    enum class TKind { kUnnamedWherePossible, kNamed };

    TAtomicFile() = default;
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Opens the file that will become `finalPath`, with the permissions a newly
    // created file gets. Returns 0 or the errno of the failure.
    int Create(const std::string& finalPath, TKind kind = TKind::kUnnamedWherePossible);

    int Fd() const { return m_fd.Get(); }
    const std::string& FinalPath() const { return m_finalPath; }
    // The hidden name the fallback writes under; "" for an unnamed file. A
    // signal handler that must not leave it behind removes this name.
    const std::string& TemporaryPath() const { return m_temporaryPath; }

    // Gives the complete file its final name. With `replaceExisting` a file
    // already there is replaced in one step; without it an existing name makes
    // the commit fail with EEXIST and leaves that file alone. The late write
    // errors that close reports are checked too, and undo the commit. Returns 0
    // or the errno of the failure; after a failure nothing new is left.
    int Commit(bool replaceExisting);

    // Throws the file away unless it was committed.
    void Discard();

private:
    int LinkUnnamed(const std::string& target);
    int PlaceUnnamed(bool replaceExisting);
    int PlaceNamed(bool replaceExisting);

    std::string m_finalPath;
    std::string m_temporaryPath;
    TFileDescriptor m_fd;
    bool m_unnamed = false;
    bool m_committed = false;
};

// A hidden name beside `finalPath` for a file being built: "." + the final
// name (cut so that the whole name stays within the file system's 255-byte
// limit, never inside a UTF-8 character) + ".varn-" + `uniquePart`.
std::string HiddenTemporaryName(const std::string& finalPath, const std::string& uniquePart);
