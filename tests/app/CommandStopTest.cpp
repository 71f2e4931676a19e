// A stop request (what an interrupt signal makes) ends an operation cleanly:
// the run fails and a unite leaves nothing behind.
#include "app/CommandRunner.h"
#include "support/TempFolder.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class CommandStop : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_work.Path() / "out");
        fs::create_directories(m_work.Path() / "back");
        WriteFileBytes(m_work / "a.dat", PatternBytes(50000, 4));
    }
    void TearDown() override { ClearStopRequest(); }

    int Run(const std::vector<std::string>& arguments) {
        m_out.str("");
        m_err.str("");
        return RunCommandLine(arguments, TCommandLineContext{m_out, m_err, false, ""});
    }

    std::size_t CountIn(const std::string& folder) const {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_work.Path() / folder))
            ++count;
        return count;
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_work;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(CommandStop, StoppedUniteFailsAndLeavesNothing) {
    ASSERT_EQ(Run({"/split", m_work / "a.dat", m_work / "out", "10000"}), 0) << m_err.str();
    ASSERT_EQ(CountIn("out"), 7u); // six pieces and the checksum file

    RequestStop();
    EXPECT_EQ(Run({"/unite", m_work / "out/a.vrn", m_work / "back"}), 1);
    EXPECT_NE(m_err.str().find(Texts::CliInterrupted), std::string::npos) << m_err.str();
    EXPECT_EQ(CountIn("back"), 0u) << "no temporary or partial file stays";
    EXPECT_EQ(CountIn("out"), 7u);

    ClearStopRequest();
    EXPECT_EQ(Run({"/unite", m_work / "out/a.vrn", m_work / "back"}), 0) << m_err.str();
    EXPECT_TRUE(ReadFileBytes(m_work / "back/a.dat") == ReadFileBytes(m_work / "a.dat"));
}

TEST_F(CommandStop, StoppedSplitFailsBeforeItsFirstPiece) {
    RequestStop();
    EXPECT_EQ(Run({"/split", m_work / "a.dat", m_work / "out", "10000", "-wsp", "-bat"}), 1);
    EXPECT_NE(m_err.str().find(Texts::CliInterrupted), std::string::npos) << m_err.str();
    EXPECT_EQ(CountIn("out"), 0u);
}

} // namespace
