#include "engine/FileUtils.h"
#include "EngineTestSupport.h"

#include <cerrno>
#include <clocale>

TEST(FileUtilsTest, PathPartsNumbersAndTexts) {
    EXPECT_EQ(ReplaceExtension("/dir.x/file", ".001"), "/dir.x/file.001");
    EXPECT_EQ(ReplaceExtension("a.tar.gz", ".vrn"), "a.tar.vrn");
    EXPECT_EQ(ReplaceExtension("/a/report.doc", ".vrn"), "/a/report.vrn");
    EXPECT_EQ(ReplaceExtension("name.", ".bat"), "name.bat");
    EXPECT_EQ(ReplaceExtension("", ".vrn"), ".vrn");
    // On Linux ":" and "\" are ordinary characters.
    EXPECT_EQ(ReplaceExtension("C:\\dir.x\\file", ".001"), "C:\\dir.001");
    EXPECT_EQ(ReplaceExtension("a.b:c", ".001"), "a.001");

    EXPECT_EQ(ExtensionOf("/a/report.doc"), ".doc");
    EXPECT_EQ(ExtensionOf("/a.b/report"), "");
    EXPECT_EQ(ExtensionOf("archive.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionOf("trailing."), ".");
    EXPECT_EQ(FileNamePart("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(FileNamePart("c.txt"), "c.txt");
    EXPECT_EQ(FolderPart("/a/b/c.txt"), "/a/b/");
    EXPECT_EQ(FolderPart("c.txt"), "");
    EXPECT_EQ(AddTrailingSeparator("/tmp"), "/tmp/");
    EXPECT_EQ(AddTrailingSeparator("/tmp/"), "/tmp/");
    EXPECT_EQ(AddTrailingSeparator(""), "/");

    EXPECT_EQ(ZeroPad(7, 3), "007");
    EXPECT_EQ(ZeroPad(999, 3), "999");
    EXPECT_EQ(ZeroPad(1000, 3), "1000");
    EXPECT_EQ(ZeroPad(0, 3), "000");
    EXPECT_EQ(TrimControl(" \t\r\nname.txt \x01\x1F"), "name.txt");
    EXPECT_EQ(TrimControl("  "), "");
    EXPECT_EQ(TrimControl("a b"), "a b");
    EXPECT_EQ(TrimControl("\xD0\x90 "), "\xD0\x90"); // bytes above 127 are kept

    // Digit grouping is stripped whatever the separator.
    EXPECT_EQ(StripGrouping("1 457 664", ","), "1457664");
    EXPECT_EQ(StripGrouping("1,457,664", ","), "1457664");
    EXPECT_EQ(StripGrouping("1\u00A0457\u00A0664", "\u00A0"), "1457664");
    EXPECT_EQ(StripGrouping("1\u202F457\u202F664", "."), "1457664");
    EXPECT_EQ(StripGrouping("1.457.664", "."), "1457664");
    EXPECT_EQ(StripGrouping("", ","), "");
    // The C locale names no separator: "," is the fallback.
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(StripGrouping("1,457, 664"), "1457664");

    // Attribute letters come in the order R H A S.
    EXPECT_EQ(AttributeLetters(0), "");
    EXPECT_EQ(AttributeLetters(1 | 2 | 4 | 32), " R H A S");
    EXPECT_EQ(AttributeLetters(32), " A");
    EXPECT_EQ(AttributeLetters(128 | 16), "");
}

TEST(FileUtilsTest, FileFactsAndErasing) {
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string file = folder / "f.bin";
    WriteFileBytes(file, std::string(1234, 'x'));
    EXPECT_EQ(FileSizeOf(file), 1234);
    EXPECT_EQ(FileSizeOf(folder / "missing"), 0);
    EXPECT_EQ(FileSizeOf(""), 0);

    uint32_t creation = 7, access = 7, write = 7;
    EXPECT_TRUE(FileDosTimes(file, creation, access, write));
    EXPECT_NE(write, 7u);
    EXPECT_NE(creation, 7u);
    uint32_t a = 7, b = 7, c = 7;
    EXPECT_TRUE(FileDosTimes(folder.Path().string(), a, b, c)); // a folder leaves them alone
    EXPECT_EQ(a + b + c, 21u);
    EXPECT_FALSE(FileDosTimes(folder / "missing", a, b, c));

    EraseExisting(file);
    EXPECT_FALSE(PathExists(file));
    EXPECT_NO_THROW(EraseExisting(file)); // nothing there is no failure
    // A path through a plain file cannot be deleted, whoever asks.
    WriteFileBytes(file, "x");
    ExpectFault([&] { EraseExisting(file + "/inner"); }, TEngineFault::efDeleteFailed,
                file + "/inner", ENOTDIR);
}
