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

// Every fault has a sentence of its own, naming the file it is about (the two
// size faults are about a number), and fills the numbers and the system's
// reason in where they belong.
TEST(EngineTexts, EveryFaultHasItsOwnTextNamingTheFile) {
    std::set<std::string> seen;
    for (int code = 0; code <= static_cast<int>(TEngineFault::efWholeChecksumMismatch); ++code) {
        const TEngineFault fault = static_cast<TEngineFault>(code);
        const std::string text = EngineFaultText(EEngineError(fault, "/t/piece.001"));
        SCOPED_TRACE(text);
        EXPECT_TRUE(seen.insert(text).second) << "shared text";
        EXPECT_TRUE(text.ends_with('.') && text.find("%s") == std::string::npos);
        EXPECT_TRUE(fault == TEngineFault::efBadBlockSize ||
                    fault == TEngineFault::efBadBufferSize ||
                    text.find("/t/piece.001") != std::string::npos);
    }
    EXPECT_EQ(EngineFaultText(EEngineError::WrongSize("/t/a.001", 1203, 1200)),
              "Частина '/t/a.001' пошкоджена: 1203 байт, а має бути 1200. Файл не відновлено.");
    EXPECT_EQ(EngineFaultText(EEngineError(TEngineFault::efWriteFailed, "/full/a.002", ENOSPC)),
              "Не вдалося записати файл '/full/a.002': " + SystemErrorText(ENOSPC) + ".");
    EXPECT_NE(SystemErrorText(ENOSPC), SystemErrorText(EACCES));
}
