#include "shell/ItemIdList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace std::string_literals;

namespace {

std::string Bytes(const TItemIdList& list) {
    return list.Bytes();
}

// [ab][c]: counts include their own two bytes, little-endian, then 0 0.
const std::string TwoIds = "\x04\x00"s
                           "ab"
                           "\x03\x00"s
                           "c"
                           "\x00\x00"s;
// [ab] and [c] alone.
const std::string OnlyAb = "\x04\x00"s
                           "ab"
                           "\x00\x00"s;
const std::string OnlyC = "\x03\x00"s
                          "c"
                          "\x00\x00"s;

} // namespace

TEST(ItemIdList, BuildsTheDesignedByteLayout) {
    EXPECT_EQ(Bytes(TItemIdList::FromIds({"ab", "c"})), TwoIds);
    EXPECT_EQ(Bytes(TItemIdList::Empty()), "\x00\x00"s);
    EXPECT_TRUE(TItemIdList().IsNull());
    EXPECT_EQ(TItemIdList().Data(), nullptr);
    // An empty payload still makes an id: a count of 2 and nothing after it.
    EXPECT_EQ(Bytes(TItemIdList::FromId("")), "\x02\x00\x00\x00"s);
}

TEST(ItemIdList, CountsIdsAndSizesWithoutTheTerminator) {
    const TItemIdList list = TItemIdList::FromIds({"ab", "c"});
    EXPECT_EQ(list.ItemCount(), 2u);
    EXPECT_EQ(list.TotalSize(), 7u);
    EXPECT_EQ(TItemIdList::Empty().ItemCount(), 0u);
    EXPECT_EQ(TItemIdList::Empty().TotalSize(), 0u);
    EXPECT_EQ(ItemCount(nullptr), 0u);
    EXPECT_EQ(TotalSize(nullptr), 0u);
}

TEST(ItemIdList, CountsAboveOneByteAreLittleEndian) {
    const std::string payload(300, 'x');
    const TItemIdList list = TItemIdList::FromId(payload);
    EXPECT_EQ(list.Bytes().substr(0, 2), "\x2E\x01"s); // 302 = 0x012E
    EXPECT_EQ(list.TotalSize(), 302u);
    const TItemIdList largest = TItemIdList::FromId(std::string(65533, 'y'));
    EXPECT_EQ(largest.Bytes().substr(0, 2), "\xFF\xFF"s);
    EXPECT_EQ(largest.ItemCount(), 1u);
    EXPECT_THROW(TItemIdList::FromId(std::string(65534, 'z')), std::length_error);
}

TEST(ItemIdList, LastIdPointsAtTheFinalId) {
    const TItemIdList two = TItemIdList::FromIds({"ab", "c"});
    EXPECT_EQ(LastId(two.Data()), two.Data() + 4);
    const TItemIdList one = TItemIdList::FromId("ab");
    EXPECT_EQ(LastId(one.Data()), one.Data()); // the list itself when it has one id
    EXPECT_EQ(LastId(nullptr), nullptr);
    EXPECT_EQ(Bytes(two.LastId()), OnlyC);
    EXPECT_EQ(Bytes(two.FirstId()), OnlyAb);
    EXPECT_EQ(Bytes(two.WithoutFirstId()), OnlyC);
    EXPECT_EQ(TItemIdList::Empty().LastId(), TItemIdList::Empty());
    EXPECT_TRUE(TItemIdList().LastId().IsNull());
}

TEST(ItemIdList, RemoveLastIdRefusesBelowTwoIds) {
    TItemIdList empty = TItemIdList::Empty();
    EXPECT_FALSE(empty.RemoveLastId());
    TItemIdList one = TItemIdList::FromId("ab");
    EXPECT_FALSE(one.RemoveLastId());
    EXPECT_EQ(one, TItemIdList::FromId("ab"));
    TItemIdList null;
    EXPECT_FALSE(null.RemoveLastId());

    TItemIdList three = TItemIdList::FromIds({"ab", "c", "def"});
    EXPECT_TRUE(three.RemoveLastId());
    EXPECT_EQ(Bytes(three), TwoIds);
    EXPECT_TRUE(three.RemoveLastId());
    EXPECT_EQ(Bytes(three), OnlyAb);
    EXPECT_FALSE(three.RemoveLastId());

    // In place on raw bytes: the cut writes a terminator over the last count.
    std::string raw = TwoIds;
    EXPECT_TRUE(RemoveLastId(reinterpret_cast<std::uint8_t*>(raw.data())));
    EXPECT_EQ(raw.substr(0, 6), OnlyAb);
}

TEST(ItemIdList, CopyAddsTheTerminatorToTheTotalSize) {
    EXPECT_EQ(Bytes(TItemIdList().Copy()), "\x00\x00"s); // a 2-byte copy
    EXPECT_EQ(Bytes(TItemIdList::Empty().Copy()), "\x00\x00"s);
    const TItemIdList list = TItemIdList::FromIds({"ab", "c"});
    const TItemIdList copy = list.Copy();
    EXPECT_EQ(copy, list);
    EXPECT_NE(copy.Data(), list.Data());
}

TEST(ItemIdList, AppendTakesOnlyTheFirstIdOfTheRelativeList) {
    const TItemIdList parent = TItemIdList::FromIds({"x", "yy"});
    const TItemIdList relative = TItemIdList::FromIds({"zzz", "w"});
    EXPECT_EQ(TItemIdList::Append(parent, relative), TItemIdList::FromIds({"x", "yy", "zzz"}));
    EXPECT_EQ(TItemIdList::Append(TItemIdList::Empty(), relative), TItemIdList::FromId("zzz"));
    EXPECT_EQ(TItemIdList::Append(parent, TItemIdList()), parent);
    EXPECT_EQ(TItemIdList::Append(TItemIdList(), TItemIdList::Empty()), TItemIdList::Empty());
    EXPECT_EQ(TItemIdList::Concat(parent, relative), TItemIdList::FromIds({"x", "yy", "zzz", "w"}));
}

TEST(ItemIdList, IdEqualityComparesCountsAndBytesOfTheFirstIds) {
    const TItemIdList ab = TItemIdList::FromIds({"ab", "c"});
    EXPECT_TRUE(ItemIdsEqual(ab.Data(), TItemIdList::FromIds({"ab", "other"}).Data()));
    EXPECT_FALSE(ItemIdsEqual(ab.Data(), TItemIdList::FromId("aB").Data()));
    EXPECT_FALSE(ItemIdsEqual(ab.Data(), TItemIdList::FromId("abc").Data())); // prefix
    EXPECT_FALSE(ItemIdsEqual(ab.Data(), TItemIdList::FromId("a").Data()));
    EXPECT_FALSE(ItemIdsEqual(ab.Data(), nullptr));
    EXPECT_FALSE(ItemIdsEqual(TItemIdList::Empty().Data(), TItemIdList::Empty().Data()));
    EXPECT_TRUE(TItemIdList() == TItemIdList());
    EXPECT_FALSE(TItemIdList() == TItemIdList::Empty());
}

TEST(ItemIdList, FromBytesRefusesMalformedLists) {
    EXPECT_EQ(TItemIdList::FromBytes(TwoIds), TItemIdList::FromIds({"ab", "c"}));
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

TEST(ItemIdList, IdsAreViewsOfThePayloads) {
    const TItemIdList list = TItemIdList::FromIds({"ab", "", "c"});
    EXPECT_EQ(list.Ids(), (std::vector<std::string_view>{"ab", "", "c"}));
    EXPECT_TRUE(TItemIdList().Ids().empty());
}
