#pragma once

#include "engine/EngineErrors.h"

#include <cstdint>
#include <optional>
#include <string>

// What a split will write, worked out before it starts: the window shows it
// and asks for confirmation, and Split itself cuts by it, so the two agree.
struct TSplitPlanInput {
    int64_t wholeSize = 0;
    int64_t blockSize = 0;
    bool signedSet = true; // normal, version 1.0 and self-joining sets
    bool version100 = false;
    std::string extension;  // the whole file's, with its dot, as the signature stores it
    std::string comment;    // version 1.1 only
    int64_t stubLength = 0; // self-joining sets: the stub's program image
};

struct TSplitPlan {
    int64_t headerSize = 0;    // stub and signature at the start of the first piece
    int64_t blockCount = 0;    // at least 1: an empty file still makes one piece
    int64_t lastPieceSize = 0; // the last piece's length (the only piece's, alone)
    // Why the split would be refused; the plan's numbers are then meaningless.
    std::optional<TEngineFault> refusal;
};

TSplitPlan PlanSplit(const TSplitPlanInput& input);

// The block size that cuts the split `input` describes (its blockSize aside)
// into `count` pieces by the block arithmetic's rule (fewer may result when
// the size does not divide evenly). Nothing when the file is empty or `count`
// is below 2.
std::optional<int64_t> BlockSizeForPieceCount(const TSplitPlanInput& input, uint16_t count);
