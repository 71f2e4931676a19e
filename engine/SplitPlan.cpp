#include "engine/SplitPlan.h"

#include "engine/BlockArithmetic.h"
#include "engine/Signature.h"

#include <algorithm>

TSplitPlan PlanSplit(const TSplitPlanInput& input) {
    TSplitPlan plan;
    if (input.blockSize < 1) {
        plan.refusal = TEngineFault::efBadBlockSize;
        return plan;
    }
    if (input.signedSet) {
        // The header is measured by the very encoder that writes it, so cut
        // extensions and comments count as the bytes that are stored.
        TSignature signature;
        signature.version = input.version100 ? TSignatureVersion::sv100 : TSignatureVersion::sv110;
        signature.extension = input.extension;
        if (!input.version100)
            signature.comment = input.comment;
        plan.headerSize =
            input.stubLength + static_cast<int64_t>(EncodedSignatureLength(signature));
        if (input.blockSize <= plan.headerSize)
            plan.refusal = TEngineFault::efBlockNotLargerThanHeader;
        else if (input.wholeSize > SignatureMaxWholeFileSize)
            plan.refusal = TEngineFault::efFileTooLargeForSignature;
    }
    plan.blockCount = std::max<int64_t>(
        CountBlocksWithHeader(input.wholeSize, input.blockSize, plan.headerSize), 1);
    if (!plan.refusal && input.signedSet && plan.blockCount > SignatureMaxBlockCount)
        plan.refusal = TEngineFault::efTooManyBlocks;
    plan.lastPieceSize =
        input.wholeSize + plan.headerSize - (plan.blockCount - 1) * input.blockSize;
    return plan;
}

std::optional<int64_t> BlockSizeForPieceCount(const TSplitPlanInput& input, uint16_t count) {
    std::optional<TBlockSizing> sizing;
    if (!input.signedSet) {
        sizing = BlockSizeForCount(input.wholeSize, count);
    } else if (input.version100) {
        sizing = BlockSizeForCount10(input.wholeSize, count);
    } else {
        // The header as the signature stores it (long texts are cut); a
        // self-joining set counts its stub as part of the whole.
        const auto n =
            static_cast<int64_t>(CutUtf8(input.extension, Signature110MaxExtension).size());
        const auto m = static_cast<int64_t>(CutUtf8(input.comment, Signature110MaxComment).size());
        sizing = BlockSizeForCount(input.wholeSize + input.stubLength, count, n, m);
    }
    return sizing ? std::optional<int64_t>(sizing->blockSize) : std::nullopt;
}
