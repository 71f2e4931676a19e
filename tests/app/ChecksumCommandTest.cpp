// Sizes with units, "-n", "-nosum" and "/verify" on real sets: the built
// program's exit codes and the files it leaves.
#include "ProgramRun.h"
#include "support/ShellRun.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

// Runs the program with `arguments` (already quoted where needed) in `folder`;
// what it printed to standard output, and its exit status. The final "exit"
// takes the redirection RunShell adds, so standard error stays out.
TShellRun RunIn(const fs::path& folder, const std::string& arguments) {
    return RunShell("cd '" + folder.string() + "' && '" + ProgramPath() + "' " + arguments +
                    " 2>/dev/null; exit $?");
}

class ChecksumCommandRun : public ::testing::Test {
public:
    std::string Out(const std::string& name) const { return (work.Path() / "out" / name).string(); }

protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(ProgramPath())) << ProgramPath();
        fs::create_directories(work.Path() / "out");
        fs::create_directories(work.Path() / "back");
        WriteFileBytes(work / "a.dat", PatternBytes(10000, 9));
    }
    void SplitIntoFive() { ASSERT_EQ(RunIn(work.Path(), "/split a.dat out 2K").status, 0); }

    TScopedXdgHome home;
    TTempFolder work;
};

} // namespace

TEST_F(ChecksumCommandRun, SizesAndCountsCutAsAsked) {
    struct TCase {
        const char* arguments;
        std::vector<int64_t> sizes;
    };
    // 10,000 bytes and a 38-byte signature: 10,038 bytes to cut.
    for (const TCase& test :
         {TCase{"1.5K", {1536, 1536, 1536, 1536, 1536, 1536, 822}}, TCase{"5KB", {5000, 5000, 38}},
          TCase{"-n 2", {5019, 5019}}, TCase{"-n 4", {2511, 2511, 2511, 2505}}}) {
        SCOPED_TRACE(test.arguments);
        fs::remove_all(work.Path() / "out");
        fs::create_directories(work.Path() / "out");
        ASSERT_EQ(
            RunIn(work.Path(), std::string("/split a.dat out -nosum ") + test.arguments).status, 0);
        std::vector<int64_t> sizes;
        std::string path = Out("a.vrn");
        for (int k = 1; fs::exists(path); ++k) {
            sizes.push_back(static_cast<int64_t>(fs::file_size(path)));
            path = Out("a." + std::string(k < 10 ? "00" : "0") + std::to_string(k));
        }
        EXPECT_EQ(sizes, test.sizes);
        EXPECT_FALSE(fs::exists(Out("a.sha256")));
    }
    // An empty file cannot be counted into pieces.
    WriteFileBytes(work / "empty.dat", "");
    EXPECT_EQ(RunIn(work.Path(), "/split empty.dat out -n 2").status, 1);
}

TEST_F(ChecksumCommandRun, VerifyExitsZeroOnlyForACompleteIntactSet) {
    struct TCase {
        const char* label;
        std::function<void(const ChecksumCommandRun&)> damage;
        int status;
        const char* line; // a line the report must hold
    };
    for (const TCase& test : {
             TCase{"intact", [](auto&) {}, 0, "out/a.002: ціла"},
             TCase{"damaged",
                   [](auto& run) {
                       std::string bytes = ReadFileBytes(run.Out("a.002"));
                       bytes[7] ^= 1;
                       WriteFileBytes(run.Out("a.002"), bytes);
                   },
                   1, "out/a.002: пошкоджена (контрольна сума SHA-256 не збігається)"},
             TCase{"truncated", [](auto& run) { fs::resize_file(run.Out("a.004"), 5); }, 1,
                   "out/a.004: пошкоджена (5 байт, а має бути 1846)"},
             TCase{"incomplete", [](auto& run) { fs::remove(run.Out("a.004")); }, 1,
                   "out/a.004: відсутня"},
             TCase{"without checksums", [](auto& run) { fs::remove(run.Out("a.sha256")); }, 0,
                   "Контрольні суми недоступні (файл 'out/a.sha256' не знайдено)"},
         }) {
        SCOPED_TRACE(test.label);
        fs::remove_all(work.Path() / "out");
        fs::create_directories(work.Path() / "out");
        SplitIntoFive();
        test.damage(*this);
        const TShellRun run = RunIn(work.Path(), "/verify out/a.vrn");
        EXPECT_EQ(run.status, test.status) << run.output;
        EXPECT_NE(run.output.find(test.line), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("Частин: 5;"), std::string::npos) << run.output;
    }
    EXPECT_EQ(RunIn(work.Path(), "/verify out/none.vrn").status, 2);
}
