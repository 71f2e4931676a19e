#include "EngineTestSupport.h"
#include "engine/Signature.h"

namespace {

using ReadSignatureTest = TEngineFolderTest;

TSignature Sample(TSignatureVersion version) {
    TSignature signature;
    signature.version = version;
    signature.wholeFileSize = 3000000;
    signature.attributes = 33;
    signature.creationTime = 0x2A214C21;
    signature.lastAccessTime = 0x2A224C22;
    signature.lastWriteTime = 0x2A234C23;
    signature.blockCount = 3;
    signature.extension = ".dat";
    signature.comment = "note";
    return signature;
}

} // namespace

// One engine inspects pieces in turn, as the window does: each signature
// replaces what the last one said, a version 1.0 one keeps the earlier times,
// and a file without one resets everything.
TEST_F(ReadSignatureTest, EachPieceReplacesTheLastOnesFacts) {
    TSignature signature = Sample(TSignatureVersion::sv110);
    signature.comment = "\xCF\xF0\xE8\xE2\xB3\xF2"; // Windows-1251 texts become UTF-8
    WriteFileBytes(folder / "a.vrn", EncodeSignature(signature) + "data");
    engine.SetWinSplitCompatible(true);
    engine.SetVersion100(true);
    engine.ReadSignature(folder / "a.vrn");
    EXPECT_EQ(engine.OriginalExt(), ".dat");
    EXPECT_EQ(engine.OriginalSize(), 3000000);
    EXPECT_TRUE(engine.OriginalSizeKnown());
    EXPECT_EQ(engine.BlockCount(), 3);
    EXPECT_EQ(engine.Comment(), "Привіт");
    EXPECT_EQ(engine.Attributes(), 33u);
    EXPECT_EQ(engine.CreationTime(), 0x2A214C21u);
    EXPECT_EQ(engine.LastAccessTime(), 0x2A224C22u);
    EXPECT_EQ(engine.LastWriteTime(), 0x2A234C23u);
    EXPECT_TRUE(engine.FullSignature());
    EXPECT_FALSE(engine.Version100());
    EXPECT_FALSE(engine.WinSplitCompatible());

    signature = Sample(TSignatureVersion::sv100);
    signature.extension = ".\xF2\xE5\xEA"; // ".тек"
    WriteFileBytes(folder / "old.vrn", EncodeSignature(signature));
    engine.ReadSignature(folder / "old.vrn");
    EXPECT_TRUE(engine.Version100());
    EXPECT_FALSE(engine.FullSignature());
    EXPECT_EQ(engine.OriginalExt(), ".тек");
    EXPECT_EQ(engine.BlockCount(), 3);
    EXPECT_EQ(engine.Comment(), "");
    EXPECT_EQ(engine.Attributes(), 0u);
    EXPECT_EQ(engine.LastWriteTime(), 0x2A234C23u);

    WriteFileBytes(folder / "junk.vrn", std::string(100, 'j'));
    engine.ReadSignature(folder / "junk.vrn");
    EXPECT_EQ(engine.BlockCount(), 0);
    EXPECT_FALSE(engine.FullSignature());
    EXPECT_EQ(engine.OriginalExt(), "");
    EXPECT_EQ(engine.OriginalSize(), 0);
    // A signature cut off inside its comment is no signature either.
    const std::string cut = EncodeSignature(Sample(TSignatureVersion::sv110));
    WriteFileBytes(folder / "cut.vrn", cut.substr(0, cut.size() - 1));
    engine.ReadSignature(folder / "a.vrn");
    engine.ReadSignature(folder / "cut.vrn");
    EXPECT_EQ(engine.BlockCount(), 0);
    EXPECT_EQ(engine.OriginalExt(), "");

    ExpectFault([&] { engine.ReadSignature(folder / "missing.vrn"); }, TEngineFault::efOpenFailed,
                folder / "missing.vrn");
}

// The unites from information files read the others.
TEST_F(ReadSignatureTest, InformationFileWithoutExtensionOrSize) {
    WriteFileBytes(folder / "noext.WSP", "\r\nx\r\n");
    engine.ReadSignature(folder / "noext.WSP");
    EXPECT_TRUE(engine.WinSplitCompatible());
    EXPECT_EQ(engine.OriginalExt(), ".");
    EXPECT_EQ(engine.BlockCount(), 1);
    EXPECT_EQ(engine.OriginalSize(), 0);
    EXPECT_FALSE(engine.OriginalSizeKnown());

    WriteFileBytes(folder / "empty.wsp", "");
    EXPECT_THROW(engine.ReadSignature(folder / "empty.wsp"), EEngineError);
}
