#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TCommandLineParse Parse(const std::vector<std::string>& arguments) {
    return ParseCommandLine(arguments);
}

} // namespace

TEST(CommandLineParse, FewerThanTwoArgumentsAskForTheWindow) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"a.dat"}, {"/split"}, {"-dos"}}) {
        const TCommandLineParse parse = Parse(arguments);
        EXPECT_TRUE(parse.Ok()) << parse.Error;
        EXPECT_EQ(parse.Request.Form, TCommandForm::cfWindow);
    }
}

TEST(CommandLineParse, HelpWinsWherever) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--help"},
                                                      {"-h"},
                                                      {"/split", "a", "b", "1", "--help"},
                                                      {"/cut", "-h"}}) {
        const TCommandLineParse parse = Parse(arguments);
        EXPECT_TRUE(parse.Ok());
        EXPECT_EQ(parse.Request.Form, TCommandForm::cfHelp);
    }
    // After "--" it is a file name like any other.
    EXPECT_EQ(Parse({"/unite", "--", "--help", "out"}).Request.FileName, "--help");
}

TEST(CommandLineParse, SplitFormTakesFileFolderAndSize) {
    const TCommandLineParse parse = Parse({"/split", "dir/a.dat", "out", "1457664"});
    ASSERT_TRUE(parse.Ok()) << parse.Error;
    const TCommandLineRequest& request = parse.Request;
    EXPECT_EQ(request.Form, TCommandForm::cfSplit);
    EXPECT_EQ(request.FileName, "dir/a.dat");
    EXPECT_EQ(request.Folder, "out");
    EXPECT_EQ(request.Size, 1457664);
    EXPECT_FALSE(request.Version100 || request.DOSCompatible || request.WinSplitCompatible ||
                 request.MakeBAT || request.MakeSUB || request.KeepOriginalExt ||
                 request.DelAfterUnite);
}

TEST(CommandLineParse, UniteFormTakesFirstPieceAndFolder) {
    const TCommandLineParse parse = Parse({"/unite", "in/a.vrn", "/tmp/out"});
    ASSERT_TRUE(parse.Ok()) << parse.Error;
    EXPECT_EQ(parse.Request.Form, TCommandForm::cfUnite);
    EXPECT_EQ(parse.Request.FileName, "in/a.vrn");
    EXPECT_EQ(parse.Request.Folder, "/tmp/out");
}

TEST(CommandLineParse, FormWordIgnoresCase) {
    EXPECT_EQ(Parse({"/SPLIT", "a", "b", "10"}).Request.Form, TCommandForm::cfSplit);
    EXPECT_EQ(Parse({"/Unite", "a", "b"}).Request.Form, TCommandForm::cfUnite);
}

TEST(CommandLineParse, SwitchesTakeEitherPrefixAnyCaseAnywhere) {
    const TCommandLineParse parse =
        Parse({"-VER100", "/split", "a.dat", "/Dos", "out", "-KeepExt", "100", "/bat"});
    ASSERT_TRUE(parse.Ok()) << parse.Error;
    const TCommandLineRequest& request = parse.Request;
    EXPECT_EQ(request.FileName, "a.dat");
    EXPECT_EQ(request.Folder, "out");
    EXPECT_EQ(request.Size, 100);
    EXPECT_TRUE(request.Version100);
    EXPECT_TRUE(request.DOSCompatible);
    EXPECT_TRUE(request.KeepOriginalExt);
    EXPECT_TRUE(request.MakeBAT);

    const TCommandLineParse unite = Parse({"/unite", "a.vrn", "-DEL", "out", "/keepext"});
    ASSERT_TRUE(unite.Ok()) << unite.Error;
    EXPECT_TRUE(unite.Request.DelAfterUnite);
    EXPECT_TRUE(unite.Request.KeepOriginalExt);

    const TCommandLineParse self = Parse({"/split", "a", "b", "1", "-self"});
    ASSERT_TRUE(self.Ok());
    EXPECT_TRUE(self.Request.MakeSUB);
    const TCommandLineParse wsp = Parse({"/split", "a", "b", "1", "-wsp", "-bat"});
    ASSERT_TRUE(wsp.Ok());
    EXPECT_TRUE(wsp.Request.WinSplitCompatible);
    EXPECT_TRUE(wsp.Request.MakeBAT);
}

TEST(CommandLineParse, StubChoiceDefaultsToLinux) {
    EXPECT_FALSE(Parse({"/split", "a", "b", "1", "-self"}).Request.WindowsStub);
    EXPECT_FALSE(Parse({"/split", "a", "b", "1", "-self", "-stub=linux"}).Request.WindowsStub);
    const TCommandLineParse windows = Parse({"/STUB=Windows", "/split", "a", "b", "1", "/self"});
    ASSERT_TRUE(windows.Ok()) << windows.Error;
    EXPECT_TRUE(windows.Request.WindowsStub);
}

TEST(CommandLineParse, SlashWordsThatAreNoSwitchAreAbsolutePaths) {
    const TCommandLineParse parse = Parse({"/split", "/data/a.dat", "/dosfolder", "100"});
    ASSERT_TRUE(parse.Ok()) << parse.Error;
    EXPECT_EQ(parse.Request.FileName, "/data/a.dat");
    EXPECT_EQ(parse.Request.Folder, "/dosfolder");
    EXPECT_FALSE(parse.Request.DOSCompatible);
    // "--" lets a path that looks like a switch through.
    const TCommandLineParse escaped = Parse({"/split", "a", "--", "/dos", "100"});
    ASSERT_TRUE(escaped.Ok()) << escaped.Error;
    EXPECT_EQ(escaped.Request.Folder, "/dos");
    EXPECT_FALSE(escaped.Request.DOSCompatible);
}

// Each usage error names what is wrong.
struct TUsageCase {
    std::vector<std::string> Arguments;
    std::string Expected; // a part of the message
};

TEST(CommandLineParse, UsageErrorsSayWhy) {
    const std::vector<TUsageCase> cases = {
        {{"/cut", "a", "b", "1"}, "'/cut'"},
        {{"split", "a", "b", "1"}, "'split'"},
        {{"-dos", "-ver100"}, "Не вказано команду"},
        {{"/split", "a", "b"}, "Замало"},
        {{"/split", "a", "b", "-dos"}, "Замало"},
        {{"/unite", "a"}, "Замало"},
        {{"/unite", "a", "b", "c"}, "'c'"},
        {{"/split", "a", "b", "1", "c"}, "'c'"},
        {{"/split", "a", "b", "1", "-fast"}, "'-fast'"},
        {{"/split", "a", "b", "1", "--dos"}, "'--dos'"},
        {{"/split", "a", "b", "1", "-del"}, "'-del'"},
        {{"/unite", "a", "b", "-dos"}, "'-dos'"},
        {{"/unite", "a", "b", "/ver100"}, "'/ver100'"},
        {{"/split", "a", "b", "1", "-dos", "/WSP"}, "'/WSP'"},
        {{"/split", "a", "b", "1", "-self", "-dos"}, "'-self'"},
        {{"/split", "a", "b", "1", "-wsp", "-self"}, "несумісні"},
        {{"/split", "a", "b", "1", "-ver100", "-self"}, "несумісні"},
        {{"/split", "a", "b", "1", "-bat"}, "-bat"},
        {{"/split", "a", "b", "1", "-bat", "-ver100"}, "-bat"},
        {{"/split", "a", "", "1"}, "теку"},
        {{"/unite", "a", ""}, "теку"},
        {{"/split", "a", "b", "1,457,664"}, "'1,457,664'"},
        {{"/split", "a", "b", "1", "-self", "-stub=dos"}, "'-stub=dos'"},
        {{"/split", "a", "b", "1", "-self", "-stub="}, "'-stub='"},
        {{"/split", "a", "b", "1", "-stub=windows"}, "-self"},
        {{"/unite", "a", "b", "-stub=linux"}, "'-stub=linux'"},
    };
    for (const TUsageCase& usage : cases) {
        const TCommandLineParse parse = Parse(usage.Arguments);
        EXPECT_FALSE(parse.Ok()) << usage.Arguments.front() << " ... " << usage.Expected;
        EXPECT_NE(parse.Error.find(usage.Expected), std::string::npos)
            << parse.Error << " lacks " << usage.Expected;
    }
}

TEST(CommandLineParse, SizeMustBeAPlainDecimalInteger) {
    for (const char* bad : {"", "1,457,664", "1 457 664", "1.5", "+100", "0x10", " 100", "100 ",
                            "١٠٠", "9223372036854775808", "99999999999999999999"}) {
        int64_t size = -7;
        EXPECT_FALSE(SizeFromText(bad, size)) << "'" << bad << "'";
        EXPECT_EQ(size, -7) << "a refused size leaves the output alone";
        EXPECT_FALSE(Parse({"/split", "a", "b", bad}).Ok()) << "'" << bad << "'";
    }
    // "-100" is taken for an unknown switch: refused as well.
    EXPECT_FALSE(Parse({"/split", "a", "b", "-100"}).Ok());

    int64_t size = 0;
    ASSERT_TRUE(SizeFromText("0", size));
    EXPECT_EQ(size, 0); // an integer; the engine refuses it as a block size
    ASSERT_TRUE(SizeFromText("0001457664", size));
    EXPECT_EQ(size, 1457664);
    ASSERT_TRUE(SizeFromText("9223372036854775807", size));
    EXPECT_EQ(size, INT64_MAX);
}
