#include "platform/FileTimes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int DosFirstYear = 1980;
constexpr int DosLastYear = 2107;
// 1980-01-01 00:00:00 and 2107-12-31 23:59:58, the ends of what a packed value holds.
constexpr uint32_t DosEarliest = (((0u << 9) | (1u << 5) | 1u) << 16) | 0u;
constexpr uint32_t DosLatest =
    (((127u << 9) | (12u << 5) | 31u) << 16) | ((23u << 11) | (59u << 5) | 29u);

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

struct timespec DosToTimespec(uint32_t packed) {
    struct timespec result {};
    std::time_t moment;
    if (UnpackDosDateTime(packed, moment)) {
        result.tv_sec = moment;
        result.tv_nsec = 0;
    } else {
        // A stored value that is no date must never land on the file.
        result.tv_nsec = UTIME_OMIT;
    }
    return result;
}

} // namespace

uint32_t PackDosDateTime(std::time_t moment) {
    struct tm local {};
    if (localtime_r(&moment, &local) == nullptr)
        return moment < 0 ? DosEarliest : DosLatest;
    const int year = local.tm_year + 1900;
    if (year < DosFirstYear)
        return DosEarliest;
    if (year > DosLastYear)
        return DosLatest;
    const uint32_t seconds = static_cast<uint32_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    const uint32_t date = (static_cast<uint32_t>(year - DosFirstYear) << 9) |
                          (static_cast<uint32_t>(local.tm_mon + 1) << 5) |
                          static_cast<uint32_t>(local.tm_mday);
    const uint32_t time = (static_cast<uint32_t>(local.tm_hour) << 11) |
                          (static_cast<uint32_t>(local.tm_min) << 5) | (seconds / 2);
    return (date << 16) | time;
}

bool IsValidDosDateTime(uint32_t packed) {
    const uint32_t date = packed >> 16;
    const uint32_t time = packed & 0xFFFF;
    const int day = static_cast<int>(date & 0x1F);
    const int month = static_cast<int>((date >> 5) & 0x0F);
    const int year = DosFirstYear + static_cast<int>(date >> 9);
    const uint32_t seconds = (time & 0x1F) * 2;
    const uint32_t minutes = (time >> 5) & 0x3F;
    const uint32_t hours = time >> 11;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    return hours < 24 && minutes < 60 && seconds < 60;
}

bool UnpackDosDateTime(uint32_t packed, std::time_t& moment) {
    if (!IsValidDosDateTime(packed))
        return false;
    const uint32_t date = packed >> 16;
    const uint32_t time = packed & 0xFFFF;
    struct tm local {};
    local.tm_year = DosFirstYear + static_cast<int>(date >> 9) - 1900;
    local.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
    local.tm_mday = static_cast<int>(date & 0x1F);
    local.tm_hour = static_cast<int>(time >> 11);
    local.tm_min = static_cast<int>((time >> 5) & 0x3F);
    local.tm_sec = static_cast<int>((time & 0x1F) * 2);
    local.tm_isdst = -1; // let the time zone rules decide, as the packing did
    const std::time_t result = mktime(&local);
    if (result == static_cast<std::time_t>(-1))
        return false;
    moment = result;
    return true;
}

bool ReadFileDosTimes(const std::string& path, TFileDosTimes& times) {
    struct statx info {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_ATIME | STATX_MTIME, &info) == 0) {
        const std::time_t written = static_cast<std::time_t>(info.stx_mtime.tv_sec);
        const std::time_t born = (info.stx_mask & STATX_BTIME)
                                     ? static_cast<std::time_t>(info.stx_btime.tv_sec)
                                     : written;
        times.creation = PackDosDateTime(born);
        times.lastAccess = PackDosDateTime(static_cast<std::time_t>(info.stx_atime.tv_sec));
        times.lastWrite = PackDosDateTime(written);
        return true;
    }
    if (errno != ENOSYS)
        return false;
    struct stat plain {};
    if (stat(path.c_str(), &plain) != 0)
        return false;
    times.creation = PackDosDateTime(plain.st_mtime);
    times.lastAccess = PackDosDateTime(plain.st_atime);
    times.lastWrite = PackDosDateTime(plain.st_mtime);
    return true;
}

bool ApplyFileDosTimes(int fd, uint32_t lastAccess, uint32_t lastWrite) {
    const struct timespec stamps[2] = {DosToTimespec(lastAccess), DosToTimespec(lastWrite)};
    return futimens(fd, stamps) == 0;
}

bool ApplyFileDosTimesAt(const std::string& path, uint32_t lastAccess, uint32_t lastWrite) {
    const struct timespec stamps[2] = {DosToTimespec(lastAccess), DosToTimespec(lastWrite)};
    return utimensat(AT_FDCWD, path.c_str(), stamps, 0) == 0;
}
