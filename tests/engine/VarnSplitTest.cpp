#include "EngineTestSupport.h"

// The first piece is named after the file until a name is assigned, later
// pieces after the previous one, and the first piece's extension after the mode.
TEST(VarnSplitTest, PieceNamesFollowTheFileTheModeAndThePreviousPiece) {
    TVarnSplit engine;
    engine.SetFileName("/a/report.doc");
    EXPECT_EQ(engine.SplitFileName(), "/a/report.vrn");
    engine.SetFileName(" /a/other.txt\n"); // control characters trimmed for the piece name
    EXPECT_EQ(engine.SplitFileName(), "/a/other.vrn");
    EXPECT_EQ(engine.FileName(), " /a/other.txt\n");

    TVarnSplit keeping;
    keeping.SetSplitFileName(""); // the same empty name: no assignment
    keeping.SetKeepOriginalExt(true);
    keeping.SetFileName("/a/report.doc");
    EXPECT_EQ(keeping.SplitFileName(), "/a/report.doc.vrn");

    engine.SetSplitFileName("/b/first.vrn");
    engine.SetFileName("/a/third.bin");
    EXPECT_EQ(engine.SplitFileName(), "/b/first.vrn");
    // Even assigning the empty name back keeps the caller's choice for good.
    engine.SetSplitFileName("");
    engine.SetFileName("/a/fourth.bin");
    EXPECT_EQ(engine.SplitFileName(), "");

    // Later pieces are named after the previous piece.
    EXPECT_EQ(NextPiecePath("/a/name.vrn", 1, false), "/a/name.001");
    EXPECT_EQ(NextPiecePath("/a/name.001", 2, false), "/a/name.002");
    EXPECT_EQ(NextPiecePath("/a/name.001", 1, true), "/a/name.002");
    EXPECT_EQ(NextPiecePath("/a/name.999", 1000, false), "/a/name.1000");
    EXPECT_EQ(NextPiecePath("/a/name.999", 999, true), "/a/name.1000");
    EXPECT_EQ(NextPiecePath("/a/report.doc.vrn", 1, false), "/a/report.doc.001");
    EXPECT_EQ(NextPiecePath("/a.b/noext", 1, false), "/a.b/noext.001");

    // The first piece's extension follows the mode.
    TVarnSplit modes;
    EXPECT_EQ(modes.FirstPieceExtension(), ".vrn");
    modes.SetMakeSUB(true);
    EXPECT_EQ(modes.FirstPieceExtension(), ".exe");
    modes.SetDOSCompatible(true);
    EXPECT_EQ(modes.FirstPieceExtension(), ".dos");
    modes.SetWinSplitCompatible(true);
    EXPECT_EQ(modes.FirstPieceExtension(), ".001");
    keeping.SetFullSignature(false);
    EXPECT_EQ(keeping.FirstPieceExtension(), ".dos");
}
