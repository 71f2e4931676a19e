#include "engine/BatchFile.h"
#include "EngineTestSupport.h"

namespace {

// The ten lines every batch file opens with, for a whole file `name`.
std::string Preamble(const std::string& name, const std::string& blocks, const std::string& size) {
    return "@cls\r\n@echo.\r\n@echo Batch file created by Varn split\r\n@echo Web: " +
           std::string(MakerWebAddress) + "\r\n@echo.\r\n@echo Uniting file " + name +
           " from blocks\r\n@echo Number of blocks: " + blocks + "\r\n@echo Size of file: " + size +
           " bytes\r\n@echo.\r\n@pause\r\n";
}

TBatchFileFacts DosReport(int64_t blocks, const std::string& lastPath) {
    return {.wholeFileName = "report.doc",
            .blockCount = blocks,
            .wholeFileSize = 3000000,
            .pathAfterLastPiece = lastPath,
            .dosCompatible = true,
            .attributes = 32};
}

} // namespace

// The copy line lists the pieces in order under the names the split gave them
// (none in neither compatible mode), and the attrib line follows the attribute
// bits: none, none at all, or only Normal (128), which turns every switch off.
TEST(BatchFileText, ListsThePiecesRestoresTheAttributesAndQuotesEscapesOrRefusesNames) {
    const struct {
        TSplitMode mode;
        int64_t blocks;
        const char* lastPath;
        uint32_t attributes;
        const char* pieces;
        const char* switches; // empty: no attrib line
    } lists[] = {
        {smDOS, 3, "/d/report.003", 0, "report.dos+report.001+report.002", ""},
        {smDOS, 3, "/d/report.doc.003", 0, "report.doc.dos+report.doc.001+report.doc.002", ""},
        {smWinSplit, 3, "/d/report.doc.004", 0, "report.doc.001+report.doc.002+report.doc.003", ""},
        // The information file was written last.
        {smWinSplit, 4, "/t/report.wsp", 0, "report.001+report.002+report.003+report.004", ""},
        {smDOS, 1, "/t/report.001", 0, "report.dos", ""},
        {smWinSplit, 1, "/t/report.002", 0, "report.001", ""},
        {smNormal, 3, "/t/report.003", 0, "", ""},
        {smDOS, 2, "/t/report.002", 32, "report.dos+report.001", "-R -H -S +A"},
        {smDOS, 2, "/t/report.002", 1 | 2 | 4 | 32, "report.dos+report.001", "+R +H +S +A"},
        {smDOS, 2, "/t/report.002", 2, "report.dos+report.001", "-R +H -S -A"},
        {smDOS, 2, "/t/report.002", 128, "report.dos+report.001", "-R -H -S -A"},
    };
    for (const auto& c : lists) {
        SCOPED_TRACE(std::string(c.lastPath) + " " + std::to_string(c.attributes));
        TBatchFileFacts facts = DosReport(c.blocks, c.lastPath);
        facts.dosCompatible = c.mode == smDOS;
        facts.winSplitCompatible = c.mode == smWinSplit;
        facts.attributes = c.attributes;
        const std::string attrib =
            *c.switches ? "@attrib " + std::string(c.switches) + " report.doc\r\n" : "";
        EXPECT_EQ(BatchFileText(facts),
                  Preamble("report.doc", std::to_string(c.blocks), "3000000") + "@copy /b " +
                      c.pieces + " report.doc\r\n" + attrib);
    }

    // Four-digit piece numbers from 1000 on.
    TBatchFileFacts bigFacts = DosReport(1001, "/t/big.1001");
    bigFacts.wholeFileName = "big";
    const std::string bigText = BatchFileText(bigFacts).value();
    EXPECT_NE(bigText.find("+big.999+big.1000 big\r\n"), std::string::npos);
    EXPECT_EQ(bigText.find("big.1001"), std::string::npos);

    struct TCase {
        std::string whole;
        std::string pieces; // the pieces' name without the extension
        std::string echo;   // as the echo line shows the whole name; empty: unchanged
        std::string copyOperands;
        std::string attribOperand;
    };
    const std::vector<TCase> cases = {
        {"report.doc", "report", "", "report.dos+report.001 report.doc", "report.doc"},
        {"звіт.txt", "звіт", "", "звіт.dos+звіт.001 звіт.txt", "звіт.txt"},
        {"my report.doc", "my report", "", "\"my report.dos\"+\"my report.001\" \"my report.doc\"",
         "\"my report.doc\""},
        {"a&b.txt", "a&b", "a^&b.txt", "\"a&b.dos\"+\"a&b.001\" \"a&b.txt\"", "\"a&b.txt\""},
        {"100%.txt", "100%", "100%%.txt", "\"100%%.dos\"+\"100%%.001\" \"100%%.txt\"",
         "\"100%%.txt\""},
        {"a^b.txt", "a^b", "a^^b.txt", "\"a^b.dos\"+\"a^b.001\" \"a^b.txt\"", "\"a^b.txt\""},
        {"a(1).txt", "a(1)", "a^(1^).txt", "\"a(1).dos\"+\"a(1).001\" \"a(1).txt\"",
         "\"a(1).txt\""},
        {"c++.txt", "c++", "", "\"c++.dos\"+\"c++.001\" \"c++.txt\"", "\"c++.txt\""},
        {"a;b,c=d.txt", "a;b,c=d", "", "\"a;b,c=d.dos\"+\"a;b,c=d.001\" \"a;b,c=d.txt\"",
         "\"a;b,c=d.txt\""},
        // attrib would take these for switches and change every file.
        {"+H.txt", "+H", "", "\"+H.dos\"+\"+H.001\" \"+H.txt\"", "\".\\+H.txt\""},
        {"-R.txt", "-R", "", "-R.dos+-R.001 -R.txt", ".\\-R.txt"},
        // Only the pieces or only the whole file may need it.
        {"a&b.txt", "ab", "a^&b.txt", "ab.dos+ab.001 \"a&b.txt\"", "\"a&b.txt\""},
        {"ab.txt", "a b", "", "\"a b.dos\"+\"a b.001\" ab.txt", "ab.txt"},
        // Plain to cmd while delayed expansion is off, and no device.
        {"~wow!'`.txt", "~wow!'`", "", "~wow!'`.dos+~wow!'`.001 ~wow!'`.txt", "~wow!'`.txt"},
        {"com10.console", "com10", "", "com10.dos+com10.001 com10.console", "com10.console"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.whole + " / " + c.pieces);
        TBatchFileFacts facts = DosReport(2, "/t/" + c.pieces + ".002");
        facts.wholeFileName = c.whole;
        EXPECT_EQ(BatchFileText(facts),
                  Preamble(c.echo.empty() ? c.whole : c.echo, "2", "3000000") + "@copy /b " +
                      c.copyOperands + "\r\n@attrib -R -H -S +A " + c.attribOperand + "\r\n");
    }

    // Characters cmd cannot quote, Windows cannot name or a line cannot hold,
    // and device names with or without an extension.
    const auto expectRefused = [](const std::string& whole, const std::string& lastPiece) {
        SCOPED_TRACE(whole + " / " + lastPiece);
        TBatchFileFacts facts = DosReport(2, lastPiece);
        facts.wholeFileName = whole;
        EXPECT_EQ(BatchFileText(facts), std::nullopt);
        facts.dosCompatible = false;
        facts.winSplitCompatible = true;
        EXPECT_EQ(BatchFileText(facts), std::nullopt);
    };
    for (const char* whole :
         {"say \"hi\".txt", "a*.txt", "a?.txt", "c:x.txt", "a\\b.txt", "a<b.txt", "a>b.txt",
          "a|b.txt", "a\tb.txt", "a\rb.txt", "a\x7f.txt", "dot.", "blank ", "CON", "con.txt",
          "Nul .txt", "lpt1.doc", "COM9", "conout$.log"})
        expectRefused(whole, "/t/ok.002");
    // A sound whole name does not save a bad piece name.
    for (const char* lastPiece : {"/t/a|b.002", "/t/say \"hi\".002", "/t/aux.002", "/t/a\nb.002"})
        expectRefused("ok.txt", lastPiece);
}

// A split's batch file is named after the last file it wrote (a WinSplit set's
// information file) or goes where the handler points, over an old file.
TEST(BatchFileSplit, FollowsTheSetAndGoesWhereTheHandlerPoints) {
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string source = folder / "report.doc";
    WriteFileBytes(source, PatternBytes(2500));
    const struct {
        bool winSplit;
        const char* firstPiece;
        const char* batchFile; // the handler's answer
        const char* copy;
    } cases[] = {
        {true, "report.doc.001", "report.doc.bat",
         "report.doc.001+report.doc.002+report.doc.003 report.doc"},
        {false, "report.dos", "join.bat", "report.dos+report.001+report.002 report.doc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.batchFile);
        WriteFileBytes(folder / c.batchFile, std::string(10000, 'x'));
        SplitWithBatchFile(source, folder / c.firstPiece, c.winSplit, folder / c.batchFile);
        EXPECT_EQ(ReadFileBytes(folder / c.batchFile),
                  Preamble("report.doc", "3", "2500") + "@copy /b " + c.copy +
                      "\r\n@attrib -R -H -S +A report.doc\r\n");
    }
    EXPECT_TRUE(PathExists(folder / "report.doc.wsp"));
    EXPECT_FALSE(PathExists(folder / "report.bat"));

    // A name the batch file cannot hold refuses only the batch file.
    ClearFolder(folder);
    const std::string unsafe = folder / "say \"hi\".doc";
    WriteFileBytes(unsafe, PatternBytes(2500));
    const std::string batchFile = folder / "say \"hi\".bat";
    ExpectFault(
        [&] { SplitWithBatchFile(unsafe, ReplaceExtension(unsafe, ".dos"), false, batchFile); },
        TEngineFault::efUnsafeBatchName, batchFile);
    EXPECT_EQ(FolderNames(folder.Path()),
              Names({"say \"hi\".doc", "say \"hi\".dos", "say \"hi\".001", "say \"hi\".002"}));
}
