#include "shell/ItemIdList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace std::string_literals;

namespace {

// [ab][c]: counts include their own two bytes, little-endian, then 0 0.
const std::string TwoIds = "\x04\x00"s
                           "ab"
                           "\x03\x00"s
                           "c"
                           "\x00\x00"s;
const std::string OnlyAb = "\x04\x00"s
                           "ab"
                           "\x00\x00"s;
const std::string OnlyC = "\x03\x00"s
                          "c"
                          "\x00\x00"s;

} // namespace

TEST(ItemIdList, BuildsCutsCopiesAppendsAndRefusesMalformedBytes) {
    const TItemIdList two = TItemIdList::FromIds({"ab", "c"});
    EXPECT_EQ(two.Bytes(), TwoIds);
    EXPECT_EQ(TItemIdList::Empty().Bytes(), "\x00\x00"s);
    // Counts and sizes (without the terminator) of two ids, of none and of no list.
    EXPECT_EQ(
        (std::vector{two.ItemCount(), two.TotalSize(), TItemIdList::Empty().ItemCount(),
                     TItemIdList::Empty().TotalSize(), ItemCount(nullptr), TotalSize(nullptr)}),
        (std::vector<std::size_t>{2, 7, 0, 0, 0, 0}));
    // An empty payload still makes an id: a count of 2 and nothing after it.
    EXPECT_EQ(TItemIdList::FromId("").Bytes(), "\x02\x00\x00\x00"s);
    EXPECT_EQ(TItemIdList::FromIds({"ab", "", "c"}).Ids(),
              (std::vector<std::string_view>{"ab", "", "c"}));
    EXPECT_TRUE(TItemIdList().Ids().empty());

    const TItemIdList wide = TItemIdList::FromId(std::string(300, 'x'));
    EXPECT_EQ(wide.Bytes().substr(0, 2), "\x2E\x01"s); // 302 = 0x012E
    EXPECT_EQ(wide.TotalSize(), 302u);
    const TItemIdList largest = TItemIdList::FromId(std::string(65533, 'y'));
    EXPECT_EQ(largest.Bytes().substr(0, 2), "\xFF\xFF"s);
    EXPECT_EQ(largest.ItemCount(), 1u);
    EXPECT_THROW(TItemIdList::FromId(std::string(65534, 'z')), std::length_error);

    const TItemIdList one = TItemIdList::FromId("ab");
    EXPECT_EQ(one.LastId(), one);
    EXPECT_EQ(LastId(nullptr), nullptr);
    EXPECT_EQ(two.LastId().Bytes(), OnlyC);
    EXPECT_EQ(two.FirstId().Bytes(), OnlyAb);
    EXPECT_EQ(two.WithoutFirstId().Bytes(), OnlyC);
    EXPECT_EQ(TItemIdList::Empty().LastId(), TItemIdList::Empty());
    EXPECT_TRUE(TItemIdList().LastId().IsNull());

    // Fewer than two ids are never cut.
    for (TItemIdList refused : {TItemIdList(), TItemIdList::Empty(), one}) {
        const TItemIdList before = refused;
        EXPECT_FALSE(refused.RemoveLastId());
        EXPECT_EQ(refused, before);
    }
    TItemIdList three = TItemIdList::FromIds({"ab", "c", "def"});
    EXPECT_TRUE(three.RemoveLastId());
    EXPECT_EQ(three.Bytes(), TwoIds);
    EXPECT_TRUE(three.RemoveLastId());
    EXPECT_EQ(three.Bytes(), OnlyAb);
    EXPECT_FALSE(three.RemoveLastId());

    EXPECT_EQ(TItemIdList().Copy().Bytes(), "\x00\x00"s); // total size + 2 bytes
    const TItemIdList parent = TItemIdList::FromIds({"x", "yy"});
    EXPECT_EQ(parent.Copy(), parent);
    const TItemIdList relative = TItemIdList::FromIds({"zzz", "w"});
    // Append takes only the first id of the relative list.
    EXPECT_EQ(TItemIdList::Append(parent, relative), TItemIdList::FromIds({"x", "yy", "zzz"}));
    EXPECT_EQ(TItemIdList::Append(TItemIdList::Empty(), relative), TItemIdList::FromId("zzz"));
    EXPECT_EQ(TItemIdList::Append(parent, TItemIdList()), parent);
    EXPECT_EQ(TItemIdList::Append(TItemIdList(), TItemIdList::Empty()), TItemIdList::Empty());
    EXPECT_EQ(TItemIdList::Concat(parent, relative), TItemIdList::FromIds({"x", "yy", "zzz", "w"}));

    // Ids compare by count and bytes of the first id only.
    EXPECT_TRUE(ItemIdsEqual(two.Data(), TItemIdList::FromIds({"ab", "other"}).Data()));
    for (const char* other : {"aB", "abc", "a"})
        EXPECT_FALSE(ItemIdsEqual(two.Data(), TItemIdList::FromId(other).Data())) << other;
    EXPECT_FALSE(ItemIdsEqual(two.Data(), nullptr));
    EXPECT_FALSE(ItemIdsEqual(TItemIdList::Empty().Data(), TItemIdList::Empty().Data()));
    EXPECT_FALSE(TItemIdList() == TItemIdList::Empty());

    EXPECT_EQ(TItemIdList::FromBytes(TwoIds), two);
    EXPECT_TRUE(IsWellFormedIdList("\x02\x00\x00\x00"s));
    const std::string malformed[] = {
        "",
        "\x00"s,
        "\x02\x00\x00"s,                // half a terminator
        OnlyAb.substr(0, 4),            // no end
        "\x01\x00\x00\x00"s,            // a count below its own two bytes
        "\x01\x00\x00"s,                // a count of one, read again as its own end
        "\x09\x00"s + OnlyAb.substr(2), // a count past the end
        TwoIds + "x",                   // bytes after the end
    };
    for (const std::string& bytes : malformed) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_FALSE(IsWellFormedIdList(bytes));
        EXPECT_THROW(TItemIdList::FromBytes(bytes), std::invalid_argument);
    }
}
