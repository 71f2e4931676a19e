// The windowed start of the built program: what it does without a display, and
// how a second start hands its file to the window already running.

#include "ProgramRun.h"
#include "texts/Texts.h"

#include <chrono>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class WindowedStart : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(ProgramPath())) << ProgramPath();
        fs::permissions(m_runtime.Path(), fs::perms::owner_all);
        WriteFileBytes(m_files / "a.dat", PatternBytes(5000, 3));
    }

    // No display but the platform and display given; a temporary runtime folder.
    TEnvironmentChanges NoDisplay(std::optional<std::string> platform = std::nullopt,
                                  std::optional<std::string> display = std::nullopt) const {
        return {{"DISPLAY", display},
                {"WAYLAND_DISPLAY", std::nullopt},
                {"QT_QPA_PLATFORM", platform},
                {"XDG_RUNTIME_DIR", m_runtime.Path().string()}};
    }
    TRunResult Run(const std::vector<std::string>& arguments, const TEnvironmentChanges& changes) {
        return RunProgram(ProgramPath(), arguments, m_capture.Path(), changes);
    }

    TScopedXdgHome m_xdg;
    TTempFolder m_runtime;
    TTempFolder m_files;
    TTempFolder m_capture;
};

// A missing or unusable display ends the window's start with status 1 and a
// message, not an abort; the command line needs none.
TEST_F(WindowedStart, WithoutDisplayTheWindowSaysSoAndTheCommandLineRuns) {
    // No platform asked for, Qt's list of platforms (each maybe with options)
    // that all need a display, and a display no X server has here.
    const std::pair<std::optional<std::string>, std::optional<std::string>> cases[] = {
        {std::nullopt, std::nullopt}, {"wayland-egl;xcb:nomitshm", std::nullopt}, {"xcb", ":9973"}};
    for (const auto& [platform, display] : cases) {
        SCOPED_TRACE(platform.value_or("unset") + " " + display.value_or(""));
        const TRunResult result = Run({m_files / "a.dat"}, NoDisplay(platform, display));
        EXPECT_EQ(result.Status, 1) << "signal " << result.Signal << ": " << result.Err;
        EXPECT_TRUE(
            Contains(result.Err, display ? Texts::CliDisplayUnavailable : Texts::CliNoDisplay))
            << result.Err;
        EXPECT_EQ(result.Out, "");
    }
    fs::create_directories(m_files.Path() / "out");
    TRunResult result = Run({"/split", m_files / "a.dat", m_files / "out", "2000"}, NoDisplay());
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(fs::exists(m_files.Path() / "out" / "a.002"));
    result = Run({"--help"}, NoDisplay());
    EXPECT_EQ(std::pair(result.Status, Contains(result.Out, "/unite")), std::pair(0, true));
}

TEST_F(WindowedStart, SecondStartHandsItsFileToTheRunningWindowAndEnds) {
    const fs::path socket = m_runtime.Path() / "varnsplit.socket";
    TTempFolder firstCapture;
    TStartedProgram first(ProgramPath(), {}, firstCapture.Path(), NoDisplay("offscreen"));
    // The window listens once it is up, however long a loaded machine takes.
    while (!fs::exists(socket) && first.Running())
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(fs::exists(socket)) << ReadFileBytes((firstCapture.Path() / "stderr").string());

    const TRunResult second = Run({m_files / "a.dat"}, NoDisplay("offscreen"));
    EXPECT_EQ(second.Status, 0) << "signal " << second.Signal << ": " << second.Err;
    EXPECT_EQ(second.Out, "");
    EXPECT_TRUE(first.Running()) << "the first window stays open";

    first.Stop(SIGTERM);
    const TRunResult stopped = first.Wait();
    EXPECT_TRUE(stopped.Signal == SIGTERM || stopped.Status == 0) << stopped.Err;
}

} // namespace
