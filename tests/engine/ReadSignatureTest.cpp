#include "EngineTestSupport.h"

namespace {

using ReadSignatureTest = TEngineFolderTest;

// What an inspection tells about a set (but its times), compared and printed
// at once. A size that is not known ends in "?".
std::string Facts(const TVarnSplit& engine) {
    return "ext " + engine.OriginalExt() + ", size " + std::to_string(engine.OriginalSize()) +
           (engine.OriginalSizeKnown() ? "" : "?") + ", blocks " +
           std::to_string(engine.BlockCount()) + ", comment " + engine.Comment() + ", attributes " +
           std::to_string(engine.Attributes()) + (engine.FullSignature() ? ", full" : "") +
           (engine.Version100() ? ", 1.0" : "") + (engine.WinSplitCompatible() ? ", WinSplit" : "");
}

} // namespace

// One engine inspects pieces in turn, as the window does: each signature replaces
// the last one's facts (a version 1.0 one keeps the times), a file without one
// resets them, and an information file tells the mode.
TEST_F(ReadSignatureTest, EachPieceReplacesTheLastOnesFacts) {
    TSignature signature = SampleSignature();
    signature.comment = "\xCF\xF0\xE8\xE2\xB3\xF2"; // Windows-1251 texts become UTF-8
    WriteFileBytes(folder / "a.vrn", EncodeSignature(signature) + "data");
    engine.SetWinSplitCompatible(true);
    engine.SetVersion100(true);
    engine.ReadSignature(folder / "a.vrn");
    EXPECT_EQ(Facts(engine),
              "ext .dat, size 3000000, blocks 259, comment Привіт, attributes 33, full");
    EXPECT_EQ(std::tuple(engine.CreationTime(), engine.LastAccessTime(), engine.LastWriteTime()),
              std::tuple(0x11223344u, 0x55667788u, 0x99AABBCCu));

    signature = SampleSignature();
    signature.version = TSignatureVersion::sv100;
    signature.extension = ".\xF2\xE5\xEA"; // ".тек"
    WriteFileBytes(folder / "old.vrn", EncodeSignature(signature));
    engine.ReadSignature(folder / "old.vrn");
    EXPECT_EQ(Facts(engine), "ext .тек, size 3000000, blocks 259, comment , attributes 0, 1.0");
    EXPECT_EQ(engine.LastWriteTime(), 0x99AABBCCu);

    WriteFileBytes(folder / "junk.vrn", std::string(100, 'j'));
    engine.ReadSignature(folder / "junk.vrn");
    const std::string nothing = "ext , size 0?, blocks 0, comment , attributes 0";
    EXPECT_EQ(Facts(engine), nothing);
    // A signature cut off inside its comment is no signature either.
    const std::string cut = EncodeSignature(SampleSignature());
    WriteFileBytes(folder / "cut.vrn", cut.substr(0, cut.size() - 1));
    engine.ReadSignature(folder / "a.vrn");
    engine.ReadSignature(folder / "cut.vrn");
    EXPECT_EQ(Facts(engine), nothing);

    ExpectFault([&] { engine.ReadSignature(folder / "missing.vrn"); }, TEngineFault::efOpenFailed,
                folder / "missing.vrn");

    // Of an information file, the unites from information files read the
    // sizes and counts; what only this inspection shows:
    WriteFileBytes(folder / "noext.WSP", "\r\nx\r\n");
    engine.ReadSignature(folder / "noext.WSP");
    EXPECT_EQ(Facts(engine), "ext ., size 0?, blocks 1, comment , attributes 0, WinSplit");

    WriteFileBytes(folder / "empty.wsp", "");
    EXPECT_THROW(engine.ReadSignature(folder / "empty.wsp"), EEngineError);
}
