#include "platform/FileTimes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <utility>

namespace {

// A fixed time zone for the object's life; localtime_r sees TZ only after tzset.
struct TScopedTimeZone {
    explicit TScopedTimeZone(const char* zone) : tz(std::in_place, "TZ", zone) { tzset(); }
    ~TScopedTimeZone() {
        tz.reset();
        tzset();
    }
    std::optional<TScopedEnv> tz;
};

constexpr uint32_t Packed(int year, int month, int day, int hour, int minute, int second) {
    return (static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day) << 16) |
           static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
}

} // namespace

TEST(FileTimesTest, PacksUnpacksReadsAndAppliesLocalTimesBitByBit) {
    TScopedTimeZone utc("UTC");
    // 2001-02-03 04:05:06 UTC = 981173106.
    EXPECT_EQ(PackDosDateTime(981173106), Packed(2001, 2, 3, 4, 5, 6));
    EXPECT_EQ(PackDosDateTime(981173106), 0x2A4320A3u);
    {
        TScopedTimeZone kyiv("EET-2");
        EXPECT_EQ(PackDosDateTime(981173106), Packed(2001, 2, 3, 6, 5, 6));
    }
    // Odd seconds round down to the two-second grid; times outside 1980-2107
    // are clamped to the representable range.
    EXPECT_EQ(PackDosDateTime(981173107), Packed(2001, 2, 3, 4, 5, 6));
    const uint32_t earliest = Packed(1980, 1, 1, 0, 0, 0);
    const uint32_t latest = Packed(2107, 12, 31, 23, 59, 58);
    EXPECT_EQ(PackDosDateTime(0), earliest);            // 1970
    EXPECT_EQ(PackDosDateTime(-86400 * 365), earliest); // 1969
    EXPECT_EQ(PackDosDateTime(315532801), earliest);    // 1980-01-01 00:00:01
    EXPECT_EQ(PackDosDateTime(315532802), earliest + 1);
    EXPECT_EQ(PackDosDateTime(4354819199), latest); // 2107-12-31 23:59:59
    EXPECT_EQ(PackDosDateTime(4354819200), latest); // 2108
    EXPECT_EQ(PackDosDateTime(int64_t{1} << 40), latest);

    // Unpacking goes back; invalid values leave the time alone.
    std::time_t moment = 0;
    ASSERT_TRUE(UnpackDosDateTime(Packed(2001, 2, 3, 4, 5, 6), moment));
    EXPECT_EQ(moment, 981173106);
    ASSERT_TRUE(UnpackDosDateTime(Packed(2000, 2, 29, 23, 59, 58), moment));
    EXPECT_EQ(PackDosDateTime(moment), Packed(2000, 2, 29, 23, 59, 58));

    moment = 42;
    // Day 0 of month 0, 29 February 2001, month 13, 31 April, hour 24, minute
    // 60 and second 60 are no times.
    for (uint32_t invalid : {0u, Packed(2001, 2, 29, 0, 0, 0), Packed(2001, 13, 1, 0, 0, 0),
                             Packed(2001, 4, 31, 0, 0, 0), Packed(2001, 1, 1, 24, 0, 0),
                             Packed(2001, 1, 1, 0, 60, 0), Packed(2001, 1, 1, 0, 0, 60)})
        EXPECT_FALSE(UnpackDosDateTime(invalid, moment)) << std::hex << invalid;
    EXPECT_EQ(moment, 42);
    EXPECT_TRUE(IsValidDosDateTime(earliest) && IsValidDosDateTime(latest));

    // Files are stamped and read in the same form.
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string file = folder / "t.bin";
    WriteFileBytes(file, "x");
    const uint32_t written = Packed(2001, 2, 3, 4, 5, 6);
    const uint32_t accessed = Packed(2002, 3, 4, 5, 6, 8);
    ASSERT_TRUE(ApplyFileDosTimesAt(file, accessed, written));
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 981173106);
    TFileDosTimes times;
    ASSERT_TRUE(ReadFileDosTimes(file, times));
    EXPECT_EQ(std::pair(times.lastWrite, times.lastAccess), std::pair(written, accessed));
    EXPECT_NE(times.creation, 0u);

    // An invalid stored value is never applied: the old stamp stays.
    ASSERT_TRUE(ApplyFileDosTimesAt(file, 0, Packed(2001, 2, 30, 0, 0, 0)));
    ASSERT_TRUE(ReadFileDosTimes(file, times));
    EXPECT_EQ(std::pair(times.lastWrite, times.lastAccess), std::pair(written, accessed));

    EXPECT_FALSE(ReadFileDosTimes(folder / "missing", times));
    EXPECT_FALSE(ApplyFileDosTimesAt(folder / "missing", written, written));
}
