// The windowed start of the built program: what it does without a display, and
// how a second start hands its file to the window already running.

#include "ProgramRun.h"
#include "support/TempFolder.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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

    // No display of any kind, and the user's folders in temporary folders.
    TEnvironmentChanges NoDisplay() const {
        return {{"DISPLAY", std::nullopt},
                {"WAYLAND_DISPLAY", std::nullopt},
                {"QT_QPA_PLATFORM", std::nullopt},
                {"XDG_RUNTIME_DIR", m_runtime.Path().string()}};
    }

    TEnvironmentChanges Offscreen() const {
        TEnvironmentChanges changes = NoDisplay();
        changes["QT_QPA_PLATFORM"] = "offscreen";
        return changes;
    }
    TRunResult Run(const std::vector<std::string>& arguments, const TEnvironmentChanges& changes) {
        return RunProgram(ProgramPath(), arguments, m_capture.Path(), changes);
    }

    std::string SocketPath() const { return (m_runtime.Path() / "varnsplit.socket").string(); }

    TScopedXdgHome m_xdg;
    TTempFolder m_runtime;
    TTempFolder m_files;
    TTempFolder m_capture;
};

// A display that is missing or cannot be opened ends the window's start with
// status 1 and a message, not an abort; the command line needs none.
TEST_F(WindowedStart, WithoutDisplayTheWindowSaysSoAndTheCommandLineRuns) {
    // No platform asked for, Qt's list of platforms (each maybe with options)
    // that all need a display, and a display no X server has here.
    const std::pair<std::optional<std::string>, std::optional<std::string>> cases[] = {
        {std::nullopt, std::nullopt}, {"wayland-egl;xcb:nomitshm", std::nullopt}, {"xcb", ":9973"}};
    for (const auto& [platform, display] : cases) {
        SCOPED_TRACE(platform.value_or("unset") + " " + display.value_or(""));
        TEnvironmentChanges changes = NoDisplay();
        changes["QT_QPA_PLATFORM"] = platform;
        changes["DISPLAY"] = display;
        const TRunResult result = Run({m_files / "a.dat"}, changes);
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
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(Contains(result.Out, "/unite"));
}

TEST_F(WindowedStart, SecondStartHandsItsFileToTheRunningWindowAndEnds) {
    TTempFolder firstCapture;
    TStartedProgram first(ProgramPath(), {}, firstCapture.Path(), Offscreen());
    // The window listens once it is up, however long a loaded machine takes.
    while (!fs::exists(SocketPath()) && first.Running())
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(fs::exists(SocketPath()))
        << ReadFileBytes((firstCapture.Path() / "stderr").string());

    const TRunResult second = Run({m_files / "a.dat"}, Offscreen());
    EXPECT_EQ(second.Status, 0) << "signal " << second.Signal << ": " << second.Err;
    EXPECT_EQ(second.Out, "");
    EXPECT_TRUE(first.Running()) << "the first window stays open";

    first.Stop(SIGTERM);
    const TRunResult stopped = first.Wait();
    EXPECT_TRUE(stopped.Signal == SIGTERM || stopped.Status == 0) << stopped.Err;
}

} // namespace
