#pragma once

// Standard C++ and POSIX only: the self-joining stub compiles this file on its own.

#include <cstdint>
#include <ctime>
#include <string>

// A file's three time stamps as packed DOS date-times: local time, low 16 bits
// the DOS time (seconds / 2, minutes, hours), high 16 bits the DOS date (day,
// month, years since 1980). 0 is no valid date.
struct TFileDosTimes {
    uint32_t creation = 0;
    uint32_t lastAccess = 0;
    uint32_t lastWrite = 0;
};

// Packs a moment as local time. Moments before 1980-01-01 00:00:00 or after
// 2107-12-31 23:59:58 clamp to those ends; odd seconds round down.
uint32_t PackDosDateTime(std::time_t moment);

// True when `packed` names a real date and time (month 1-12, a day the month
// has, hours < 24, minutes < 60, seconds < 60).
bool IsValidDosDateTime(uint32_t packed);

// The moment a valid packed value names in local time; false (and `moment`
// untouched) for a value that is no valid date.
bool UnpackDosDateTime(uint32_t packed, std::time_t& moment);

// The time stamps of the file or folder at `path`: creation is the birth time
// where the file system reports it, else the modification time. Returns false
// when nothing exists there (errno tells why).
bool ReadFileDosTimes(const std::string& path, TFileDosTimes& times);

// Sets last access and last write on an open file. A value that is no valid
// date is left alone, never applied; creation times cannot be set here.
// Returns false with errno set when the system refuses.
bool ApplyFileDosTimes(int fd, uint32_t lastAccess, uint32_t lastWrite);
// The same by path (the file need not be open).
bool ApplyFileDosTimesAt(const std::string& path, uint32_t lastAccess, uint32_t lastWrite);
