#include "engine/SplitPlan.h"

#include <gtest/gtest.h>

// The plan is what the window shows before a split, so it must count exactly
// what Split writes: extension and comment as stored UTF-8 bytes, the stub's image.
TEST(SplitPlan, CountsWhatTheSplitWritesAndRefusesWhatASignedSetCannotHold) {
    const struct {
        int64_t size, block;
        bool signedSet, version100;
        const char* extension;
        const char* comment;
        int64_t stub;
        int64_t count, last;
    } cases[] = {
        {3000000, 1457664, true, false, ".zip", "", 0, 3, 84710},   // normal: 38-byte header
        {3000000, 1457664, false, false, ".zip", "", 0, 3, 84672},  // DOS or WinSplit: none
        {3000000, 1457664, true, true, ".zip", "", 0, 3, 84706},    // version 1.0: 34 bytes
        {1000, 1457664, true, false, ".dat", "", 0, 1, 1038},       // one piece holds it all
        {0, 100, false, false, "", "", 0, 1, 0},                    // one empty piece
        {100 - 38 - 6, 100, true, false, ".dat", "абв", 0, 1, 100}, // 3 letters, 6 bytes
        {100 - 38 - 6 + 1, 100, true, false, ".dat", "абв", 0, 2, 1},
        {5000, 100000, true, false, ".bin", "", 90000, 1, 95038}, // the stub counts
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.size);
        const TSplitPlan plan = PlanSplit({item.size, item.block, item.signedSet, item.version100,
                                           item.extension, item.comment, item.stub});
        EXPECT_EQ(std::tuple(plan.refusal, plan.blockCount, plan.lastPieceSize),
                  std::tuple(std::nullopt, item.count, item.last));
    }

    // A signed set refuses what its signature cannot hold.
    const struct {
        int64_t size, block;
        bool signedSet;
        std::optional<TEngineFault> refusal;
    } refusals[] = {
        {100, 0, false, TEngineFault::efBadBlockSize},
        {100, 38, true, TEngineFault::efBlockNotLargerThanHeader}, // ".dat": 38-byte header
        {100, 39, true, std::nullopt},
        {int64_t{2147483648}, int64_t{1} << 30, true, TEngineFault::efFileTooLargeForSignature},
        {int64_t{2147483648}, int64_t{1} << 30, false, std::nullopt},
        {65535 * 100 - 38, 100, true, std::nullopt},
        {65535 * 100 - 38 + 1, 100, true, TEngineFault::efTooManyBlocks},
        {70000 * 100, 100, false, std::nullopt}, // plain sets have no count to overflow
    };
    for (const auto& row : refusals) {
        SCOPED_TRACE(std::to_string(row.size) + " / " + std::to_string(row.block));
        EXPECT_EQ(PlanSplit({row.size, row.block, row.signedSet, false, ".dat", "", 0}).refusal,
                  row.refusal);
    }
}
