// The command line's sizes with units, "-n", "-nosum" and "/verify": parsed
// forms, and the built program's exit codes and files on real sets.
#include "app/CommandLine.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string Program() {
    const char* folder = std::getenv("VARN_BIN_DIR");
    return (folder == nullptr || *folder == '\0' ? std::string(VARN_BUILT_BIN_DIR)
                                                 : std::string(folder)) +
           "/varnsplit";
}

struct TRun {
    int status = -1;
    std::string out;
};

// Runs the program with `arguments` (already quoted where needed) in `folder`.
TRun RunIn(const fs::path& folder, const std::string& arguments) {
    const std::string line =
        "cd '" + folder.string() + "' && '" + Program() + "' " + arguments + " 2>/dev/null";
    FILE* pipe = popen(line.c_str(), "r");
    TRun run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::optional<int64_t> Size(const std::string& text) {
    int64_t size = 0;
    return BlockSizeFromText(text, size) ? std::optional<int64_t>(size) : std::nullopt;
}

} // namespace

TEST(BlockSizeText, TakesUnitsFractionsAndTheFloppy) {
    const std::optional<int64_t> none;
    const std::pair<const char*, std::optional<int64_t>> cases[] = {
        {"1457664", 1457664},
        {"1K", 1024},
        {"1k", 1024},
        {"1KB", 1000},
        {"1kB", 1000},
        {"1.5M", 1572864},
        {"1.44MB", 1440000},
        {"2G", 2147483648},
        {"2gb", 2000000000},
        {"0.0009K", 0},                          // 0.92 bytes, rounded down
        {"1.0000000000000000001K", 1024},        // rounded down however many digits
        {"0.99999999999999999999GB", 999999999}, // never rounded up
        {"8589934591G", 8589934591LL * 1073741824},
        {"8589934592G", none}, // past 64 bits
        {"floppy", 1457664},
        {"FLOPPY", 1457664},
        {"1.5", none}, // a fraction needs a unit
        {"1.", none},
        {".5K", none},
        {"1 K", none},
        {"1,5M", none},
        {"1KiB", none},
        {"1B", none},
        {"-1K", none},
        {"K", none},
        {"", none},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Size(text), expected) << text;
}

TEST(BlockSizeText, CountsAndNewFormsParseAtTheirEdges) {
    struct TCase {
        std::vector<std::string> arguments;
        bool ok;
        int64_t count;
    };
    for (const TCase& test : {
             TCase{{"/split", "a", "out", "-n", "2"}, true, 2},
             TCase{{"/split", "a", "out", "/N", "65535"}, true, 65535},
             TCase{{"/split", "-n", "3", "a", "out"}, true, 3},
             TCase{{"/split", "a", "out", "-n", "1"}, false, 0},
             TCase{{"/split", "a", "out", "-n", "65536"}, false, 0},
             TCase{{"/split", "a", "out", "-n", "1K"}, false, 0},
             TCase{{"/split", "a", "out", "-n"}, false, 0},
             TCase{{"/split", "a", "out", "1K", "-n", "2"}, false, 0},
             TCase{{"/unite", "a.vrn", "out", "-n", "2"}, false, 0},
             TCase{{"/split", "a", "out", "1K", "-nosum"}, true, 0},
             TCase{{"/unite", "a.vrn", "out", "-nosum"}, false, 0},
             TCase{{"/verify", "a.vrn"}, true, 0},
             TCase{{"/VERIFY", "a.vrn", "out"}, false, 0},
             TCase{{"/verify", "a.vrn", "-del"}, false, 0},
         }) {
        const TCommandLineParse parse = ParseCommandLine(test.arguments);
        EXPECT_EQ(parse.Ok(), test.ok) << test.arguments[0] << " " << parse.Error;
        if (parse.Ok()) {
            EXPECT_EQ(parse.Request.PieceCount, test.count);
        }
    }
    EXPECT_TRUE(ParseCommandLine({"/split", "a", "out", "1K", "-NoSum"}).Request.NoChecksums);
    EXPECT_EQ(ParseCommandLine({"/verify", "x.vrn"}).Request.Form, TCommandForm::cfVerify);
}

class ChecksumCommandRun : public ::testing::Test {
public:
    std::string Out(const std::string& name) const { return (work.Path() / "out" / name).string(); }

protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(Program())) << Program();
        fs::create_directories(work.Path() / "out");
        fs::create_directories(work.Path() / "back");
        WriteFileBytes(work / "a.dat", PatternBytes(10000, 9));
    }
    void SplitIntoFive() { ASSERT_EQ(RunIn(work.Path(), "/split a.dat out 2K").status, 0); }

    TScopedXdgHome home;
    TTempFolder work;
};

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
    // Bad forms are usage errors; an empty file cannot be counted into pieces.
    EXPECT_EQ(RunIn(work.Path(), "/split a.dat out 1.5").status, 2);
    EXPECT_EQ(RunIn(work.Path(), "/split a.dat out -n 0").status, 2);
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
        const TRun run = RunIn(work.Path(), "/verify out/a.vrn");
        EXPECT_EQ(run.status, test.status) << run.out;
        EXPECT_NE(run.out.find(test.line), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("Частин: 5;"), std::string::npos) << run.out;
    }
    EXPECT_EQ(RunIn(work.Path(), "/verify out/none.vrn").status, 2);
}

TEST_F(ChecksumCommandRun, UniteOfADamagedSetFailsAndDeletesNothing) {
    SplitIntoFive();
    std::string bytes = ReadFileBytes(Out("a.003"));
    bytes[100] ^= 1;
    WriteFileBytes(Out("a.003"), bytes);
    EXPECT_EQ(RunIn(work.Path(), "/unite out/a.vrn back -del").status, 1);
    EXPECT_TRUE(fs::is_empty(work.Path() / "back"));
    for (const char* name : {"a.vrn", "a.001", "a.002", "a.003", "a.004", "a.sha256"})
        EXPECT_TRUE(fs::exists(Out(name))) << name;
}
