#pragma once

// Standard C++ and POSIX only: the self-joining stub compiles this file on its own.

#include <cstdint>
#include <string>

// The attribute bits stored in a version 1.1 signature, as a Windows program
// reported them, and how they map onto a POSIX file.
inline constexpr uint32_t faReadOnly = 1; // the owner has no write permission
inline constexpr uint32_t faHidden = 2;   // the file name starts with "."
inline constexpr uint32_t faSystem = 4;   // never set here
inline constexpr uint32_t faDirectory = 16;
inline constexpr uint32_t faArchive = 32; // every regular file
inline constexpr uint32_t faNormal = 128; // no other bit

// The attribute bits of the file or folder at `path`; 0 when nothing exists there.
uint32_t FileAttributesOf(const std::string& path);

// Restores stored attributes on the file at `path`: read-only removes every
// write permission bit; hidden, system and archive cannot be set and are
// skipped; without read-only the permissions are left as they are. Returns
// false with errno set when the system refuses.
bool ApplyFileAttributes(const std::string& path, uint32_t attributes);

// Gives a self-joining first piece the executable bits: u+x always, g+x and o+x
// where the group or others may read. Returns false with errno set on failure.
bool MakeExecutable(const std::string& path);
