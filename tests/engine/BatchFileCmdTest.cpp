// The batch files of real splits, run by wine's cmd, join exactly their pieces
// into exactly their file and run nothing else.
#include "EngineTestSupport.h"
#include "engine/BatchFile.h"
#include "support/ShellRun.h"

namespace {

// One wine prefix for the whole test, inside its own temporary folder.
class TWineCmd {
public:
    explicit TWineCmd(const std::filesystem::path& root) : m_environment(WineEnvironment(root)) {}
    ~TWineCmd() { std::system((m_environment + "wineserver -k >/dev/null 2>&1").c_str()); }

    // Runs join.bat in `folder`, answering its pause, and returns what it printed.
    std::string RunJoin(const std::filesystem::path& folder) const {
        return RunShell("cd " + folder.string() + " && printf '\\r\\n' | " + m_environment +
                        "wine cmd /c join.bat")
            .output;
    }

private:
    std::string m_environment;
};

} // namespace

TEST(BatchFileUnderCmd, JoinsAwkwardNamesAndRunsNothingElse) {
    if (!WineRuns())
        GTEST_SKIP() << "wine is not installed or cannot start here";
    TScopedXdgHome home;
    TTempFolder folder;
    const TWineCmd cmd(folder.Path());
    // "&", "(" and "%" would start a command, a group or a variable if they
    // reached cmd bare; a name with "mkdir" leaves a folder behind if so.
    const struct {
        std::string whole;
        std::string firstPiece; // as the split is told to name it
        bool winSplit;
    } cases[] = {
        {"plain.txt", "plain.dos", false},
        {"my report.doc", "my report.dos", false},
        {"x&mkdir canary.txt", "x&mkdir canary.dos", false},
        {"100%cd%.txt", "100%cd%.dos", false},
        {"a(1) b^2.txt", "a(1) b^2.dos", false},
        {"a;b,c=d e.txt", "a;b,c=d e.001", true},
        {"c++ & notes.txt", "c++ & notes.txt.001", true},
        {"+H.txt", "+H.dos", false},
        {"~wow!'`.txt", "~wow!'`.dos", false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.whole);
        const std::filesystem::path source = folder.Path() / ("source" + std::to_string(i));
        const std::filesystem::path set = folder.Path() / ("set" + std::to_string(i));
        std::filesystem::create_directories(source);
        std::filesystem::create_directories(set);
        const std::string bytes = PatternBytes(2500, static_cast<unsigned>(i + 1));
        WriteFileBytes((source / c.whole).string(), bytes);

        SplitWithBatchFile(source / c.whole, set / c.firstPiece, c.winSplit, set / "join.bat");
        ASSERT_TRUE(std::filesystem::exists(set / "join.bat"));

        std::vector<std::string> expected = FolderNames(set);
        expected.insert(std::upper_bound(expected.begin(), expected.end(), c.whole), c.whole);
        const std::string output = cmd.RunJoin(set);
        EXPECT_NE(output.find("Uniting file " + c.whole + " from blocks"), std::string::npos)
            << output;
        EXPECT_EQ(FolderNames(set), expected) << output;
        EXPECT_EQ(ReadFileBytes((set / c.whole).string()), bytes);
    }
}
