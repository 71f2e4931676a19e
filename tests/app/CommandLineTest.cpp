// The parser's requests and usage errors, and the two readings of a size; the
// plain forms and switches that the end-to-end runs use are left to them.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

// A request as one line of text: the form, then what the form takes, then
// each switch that is on, in a fixed order.
std::string Described(const TCommandLineRequest& request) {
    const char* const forms[] = {"window", "help", "split", "unite", "verify"};
    std::string text = forms[static_cast<int>(request.Form)];
    if (request.Form == TCommandForm::cfWindow || request.Form == TCommandForm::cfHelp)
        return text;
    text += " " + request.FileName;
    if (!request.Folder.empty())
        text += " -> " + request.Folder;
    if (request.Size != 0)
        text += " size " + std::to_string(request.Size);
    if (request.PieceCount != 0)
        text += " count " + std::to_string(request.PieceCount);
    const std::pair<bool, const char*> switches[] = {{request.Version100, "ver100"},
                                                     {request.DOSCompatible, "dos"},
                                                     {request.WinSplitCompatible, "wsp"},
                                                     {request.MakeBAT, "bat"},
                                                     {request.MakeSUB, "self"},
                                                     {request.WindowsStub, "stub=windows"},
                                                     {request.KeepOriginalExt, "keepext"},
                                                     {request.DelAfterUnite, "del"},
                                                     {request.NoChecksums, "nosum"}};
    for (const auto& [on, name] : switches)
        if (on)
            text += std::string(" ") + name;
    return text;
}

struct TParseCase {
    std::vector<std::string> Arguments;
    std::string Expected; // the described request, or "!" and a part of the error
};

const TParseCase ParseCases[] = {
    // Fewer than two arguments ask for the window.
    {{}, "window"},
    {{"a.dat"}, "window"},
    {{"/split"}, "window"},
    // Help wins wherever it stands; after "--" it is a file name like any other.
    {{"-h"}, "help"},
    {{"/split", "a", "b", "1", "--help"}, "help"},
    {{"/cut", "-h"}, "help"},
    {{"/unite", "--", "--help", "out"}, "unite --help -> out"},
    // The forms, their word in any case.
    {{"/SPLIT", "a", "b", "10"}, "split a -> b size 10"},
    // Switches take either prefix, any case, anywhere.
    {{"-VER100", "/split", "a.dat", "/Dos", "out", "-KeepExt", "100", "/bat"},
     "split a.dat -> out size 100 ver100 dos bat keepext"},
    {{"/unite", "a.vrn", "-DEL", "out", "/keepext"}, "unite a.vrn -> out keepext del"},
    {{"/split", "a", "b", "1K", "-NoSum"}, "split a -> b size 1024 nosum"},
    // The stub is Linux's unless Windows' is asked for.
    {{"/split", "a", "b", "1", "-self", "-stub=linux"}, "split a -> b size 1 self"},
    {{"/STUB=Windows", "/split", "a", "b", "1", "/self"}, "split a -> b size 1 self stub=windows"},
    // A slash word that is no switch is an absolute path, and "--" lets a
    // path that looks like a switch through.
    {{"/split", "/data/a.dat", "/dosfolder", "100"}, "split /data/a.dat -> /dosfolder size 100"},
    {{"/split", "a", "--", "/dos", "100"}, "split a -> /dos size 100"},
    // A count in place of the size, from 2 to what 16 bits hold.
    {{"/split", "a", "out", "/N", "65535"}, "split a -> out count 65535"},
    {{"/split", "-n", "3", "a", "out"}, "split a -> out count 3"},
    {{"/split", "a", "out", "-n", "1"}, "!'1'"},
    {{"/split", "a", "out", "-n", "65536"}, "!'65536'"},
    {{"/split", "a", "out", "-n", "1K"}, "!'1K'"},
    {{"/split", "a", "out", "-n"}, "!'-n'"},
    {{"/split", "a", "out", "1K", "-n", "2"}, "!РОЗМІР"},
    {{"/unite", "a.vrn", "out", "-n", "2"}, "!'-n'"},
    // Each usage error names what is wrong.
    {{"/cut", "a", "b", "1"}, "!'/cut'"},
    {{"split", "a", "b", "1"}, "!'split'"},
    {{"-dos", "-ver100"}, "!Не вказано команду"},
    {{"/split", "a", "b"}, "!Замало"},
    {{"/split", "a", "b", "-dos"}, "!Замало"},
    {{"/unite", "a"}, "!Замало"},
    {{"/unite", "a", "b", "c"}, "!'c'"},
    {{"/split", "a", "b", "1", "c"}, "!'c'"},
    {{"/VERIFY", "a.vrn", "out"}, "!'out'"},
    {{"/split", "a", "b", "1", "-fast"}, "!'-fast'"},
    {{"/split", "a", "b", "1", "--dos"}, "!'--dos'"},
    {{"/split", "a", "b", "1", "-del"}, "!'-del'"},
    {{"/unite", "a", "b", "-dos"}, "!'-dos'"},
    {{"/unite", "a.vrn", "out", "-nosum"}, "!'-nosum'"},
    {{"/verify", "a.vrn", "-del"}, "!'-del'"},
    {{"/split", "a", "b", "1", "-dos", "/WSP"}, "!'/WSP'"},
    {{"/split", "a", "b", "1", "-self", "-dos"}, "!'-self'"},
    {{"/split", "a", "b", "1", "-wsp", "-self"}, "!несумісні"},
    {{"/split", "a", "b", "1", "-ver100", "-self"}, "!несумісні"},
    {{"/split", "a", "b", "1", "-bat"}, "!-bat"},
    {{"/split", "a", "", "1"}, "!теку"},
    {{"/split", "a", "b", "1,457,664"}, "!'1,457,664'"},
    {{"/split", "a", "b", "-100"}, "!'-100'"}, // taken for an unknown switch
    {{"/split", "a", "b", "1", "-self", "-stub=dos"}, "!'-stub=dos'"},
    {{"/split", "a", "b", "1", "-self", "-stub="}, "!'-stub='"},
    {{"/split", "a", "b", "1", "-stub=windows"}, "!-self"},
    {{"/unite", "a", "b", "-stub=linux"}, "!'-stub=linux'"},
};

} // namespace

TEST(CommandLineParse, ReadsTheRequestOrSaysWhatIsWrong) {
    for (const TParseCase& test : ParseCases) {
        SCOPED_TRACE(testing::PrintToString(test.Arguments));
        const TCommandLineParse parse = ParseCommandLine(test.Arguments);
        const std::string outcome = parse.Ok() ? Described(parse.Request) : "!" + parse.Error;
        if (test.Expected.front() == '!')
            EXPECT_TRUE(outcome.front() == '!' &&
                        outcome.find(test.Expected.substr(1)) != std::string::npos)
                << outcome;
        else
            EXPECT_EQ(outcome, test.Expected);
    }
}

// A plain size is decimal digits; a block size also "floppy" and units, with
// fractions rounded down. A refused text leaves the output alone.
TEST(BlockSizeText, PlainAndUnitReadingsAtTheirEdges) {
    const std::optional<int64_t> no;
    struct TCase {
        const char* Text;
        std::optional<int64_t> Plain;
        std::optional<int64_t> WithUnits;
    };
    const TCase cases[] = {
        {"1457664", 1457664, 1457664},
        {"0", 0, 0}, // an integer; the engine refuses it as a block size
        {"0001457664", 1457664, 1457664},
        {"9223372036854775807", INT64_MAX, INT64_MAX},
        {"9223372036854775808", no, no},
        {"99999999999999999999", no, no},
        {"1K", no, 1024},
        {"1KB", no, 1000},
        {"1.5M", no, 1572864},
        {"1.44MB", no, 1440000},
        {"2G", no, 2147483648},
        {"2gb", no, 2000000000},
        {"0.0009K", no, 0},                          // 0.92 bytes, rounded down
        {"1.0000000000000000001K", no, 1024},        // rounded down however many digits
        {"0.99999999999999999999GB", no, 999999999}, // never rounded up
        {"8589934591G", no, 8589934591LL * 1073741824},
        {"8589934592G", no, no}, // past 64 bits
        {"FLOPPY", no, 1457664},
        {"1.5", no, no}, // a fraction needs a unit
        {"1.", no, no},
        {".5K", no, no},
        {"1 K", no, no},
        {"1,5M", no, no},
        {"1KiB", no, no},
        {"1B", no, no},
        {"-1K", no, no},
        {"K", no, no},
        {"", no, no},
        {"1,457,664", no, no},
        {"1 457 664", no, no},
        {"+100", no, no},
        {"100x", no, no},
        {"0x10", no, no},
        {" 100", no, no},
        {"100 ", no, no},
        {"١٠٠", no, no},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(std::string("'") + test.Text + "'");
        for (const bool withUnits : {false, true}) {
            int64_t size = -7;
            const bool read =
                withUnits ? BlockSizeFromText(test.Text, size) : SizeFromText(test.Text, size);
            const std::optional<int64_t>& expected = withUnits ? test.WithUnits : test.Plain;
            EXPECT_EQ(read ? std::optional<int64_t>(size) : no, expected) << withUnits;
            EXPECT_TRUE(read || size == -7) << "a refused size changed the output: " << size;
        }
    }
}
