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

    EXPECT_EQ(std::tuple(ExtensionOf("/a/report.doc"), ExtensionOf("/a.b/report"),
                         ExtensionOf("archive.tar.gz"), ExtensionOf("trailing.")),
              std::tuple(".doc", "", ".gz", "."));
    EXPECT_EQ(std::tuple(FolderPart("/a/b/c.txt"), FileNamePart("/a/b/c.txt"), FolderPart("c.txt"),
                         FileNamePart("c.txt")),
              std::tuple("/a/b/", "c.txt", "", "c.txt"));
    EXPECT_EQ(std::tuple(AddTrailingSeparator("/tmp"), AddTrailingSeparator("/tmp/"),
                         AddTrailingSeparator("")),
              std::tuple("/tmp/", "/tmp/", "/"));

    EXPECT_EQ(std::tuple(ZeroPad(7, 3), ZeroPad(999, 3), ZeroPad(1000, 3), ZeroPad(0, 3)),
              std::tuple("007", "999", "1000", "000"));
    EXPECT_EQ(
        std::tuple(TrimControl(" \t\r\nname.txt \x01\x1F"), TrimControl("  "), TrimControl("a b")),
        std::tuple("name.txt", "", "a b"));
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
    EXPECT_EQ(std::tuple(AttributeLetters(0), AttributeLetters(1 | 2 | 4 | 32),
                         AttributeLetters(32), AttributeLetters(128 | 16)),
              std::tuple("", " R H A S", " A", ""));
}

TEST(FileUtilsTest, FileFactsAndErasing) {
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string file = folder / "f.bin";
    WriteFileBytes(file, std::string(1234, 'x'));
    EXPECT_EQ(std::tuple(FileSizeOf(file), FileSizeOf(folder / "missing"), FileSizeOf("")),
              std::tuple(1234, 0, 0));

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
