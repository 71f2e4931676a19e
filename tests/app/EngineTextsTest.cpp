#include "texts/EngineTexts.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

TEST(EngineTexts, FormatFillsMarksInOrder) {
    EXPECT_EQ(FormatText("%s і %s", {"a", "b"}), "a і b");
    EXPECT_EQ(FormatText("%s%%", {"50"}), "50%");
    EXPECT_EQ(FormatText("%s і %s", {"a"}), "a і ");
    EXPECT_EQ(FormatText("без", {"зайве"}), "без");
    EXPECT_EQ(FormatText("%s", {"%s"}), "%s"); // a value is never read as a pattern
    EXPECT_EQ(FormatText("кінець %", {}), "кінець %");
}

TEST(EngineTexts, EngineMessagesKeepTheirDesignedWording) {
    EXPECT_EQ(EngineMessageText(TEngineMessage::emInputFileMissing, "/x/a.dat"),
              "Input file '/x/a.dat' does not exist.");
    EXPECT_EQ(EngineMessageText(TEngineMessage::emPieceFileMissing, "/x/a.vrn"),
              "Зазначений файл /x/a.vrn не існує.");
}

TEST(EngineTexts, EveryFaultHasItsOwnTextNamingTheFile) {
    const TEngineFault faults[] = {
        TEngineFault::efBadBlockSize,
        TEngineFault::efBadBufferSize,
        TEngineFault::efBlockNotLargerThanHeader,
        TEngineFault::efFileTooLargeForSignature,
        TEngineFault::efTooManyBlocks,
        TEngineFault::efSameAsSource,
        TEngineFault::efOpenFailed,
        TEngineFault::efCreateFailed,
        TEngineFault::efReadFailed,
        TEngineFault::efWriteFailed,
        TEngineFault::efDeleteFailed,
        TEngineFault::efRenameFailed,
        TEngineFault::efIncompleteSet,
        TEngineFault::efStubUnreadable,
        TEngineFault::efUnsafeExtension,
        TEngineFault::efSameAsStub,
        TEngineFault::efStubDamaged,
        TEngineFault::efDamagedSignature,
        TEngineFault::efPieceWrongSize,
        TEngineFault::efUnsafeBatchName,
    };
    std::set<std::string> seen;
    for (TEngineFault fault : faults) {
        const std::string text = EngineFaultText(EEngineError(fault, "/t/piece.001"));
        EXPECT_TRUE(seen.insert(text).second) << "shared text: " << text;
        EXPECT_EQ(text.back(), '.') << text;
        EXPECT_EQ(text.find("%s"), std::string::npos) << text;
        const bool aboutSize =
            fault == TEngineFault::efBadBlockSize || fault == TEngineFault::efBadBufferSize;
        if (!aboutSize) {
            EXPECT_NE(text.find("/t/piece.001"), std::string::npos) << text;
        }
    }
}

TEST(EngineTexts, WrongSizeNamesBothSizes) {
    EXPECT_EQ(EngineFaultText(EEngineError::WrongSize("/t/a.001", 1203, 1200)),
              "Частина '/t/a.001' пошкоджена: 1203 байт, а має бути 1200. Файл не відновлено.");
}

TEST(EngineTexts, SystemReasonFollowsTheFile) {
    const std::string text =
        EngineFaultText(EEngineError(TEngineFault::efWriteFailed, "/full/a.002", ENOSPC));
    EXPECT_EQ(text, "Не вдалося записати файл '/full/a.002': " + SystemErrorText(ENOSPC) + ".");
    EXPECT_FALSE(SystemErrorText(ENOSPC).empty());
    EXPECT_NE(SystemErrorText(ENOSPC), SystemErrorText(EACCES));
}
