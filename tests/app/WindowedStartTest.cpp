// The windowed start of the built program: what it does without a display, and
// how a second start hands its file to the window already running.

#include "support/TempFolder.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Variables to set, or with nullopt to remove, in the program's environment.
using TEnvironmentChanges = std::map<std::string, std::optional<std::string>>;

std::string BinFolder() {
    const char* folder = std::getenv("VARN_BIN_DIR");
    return folder == nullptr || *folder == '\0' ? std::string(VARN_BUILT_BIN_DIR)
                                                : std::string(folder);
}

std::string Program() {
    return BinFolder() + "/varnsplit";
}

// This process's environment with `changes` applied.
std::vector<std::string> EnvironmentWith(const TEnvironmentChanges& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (changes.count(text.substr(0, text.find('='))) == 0)
            result.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (value)
            result.push_back(name + '=' + *value);
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

struct TRunResult {
    int Status = -1; // exit status; -1 when the program was ended by a signal or is still running
    int Signal = 0;
    std::string Out;
    std::string Err;
};

// One started program whose output goes to files in `captureFolder`.
class TStartedProgram {
public:
    TStartedProgram(std::vector<std::string> arguments, const TEnvironmentChanges& changes,
                    const fs::path& captureFolder)
        : m_out((captureFolder / "stdout").string()), m_err((captureFolder / "stderr").string()) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        std::string program = Program();
        arguments.insert(arguments.begin(), program);
        std::vector<std::string> environment = EnvironmentWith(changes);
        std::vector<char*> argv = Pointers(arguments);
        std::vector<char*> envp = Pointers(environment);
        const int spawned =
            posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawned);
            m_pid = -1;
        }
    }

    // A program still running when the test ends is not left behind.
    ~TStartedProgram() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    TStartedProgram(const TStartedProgram&) = delete;
    TStartedProgram& operator=(const TStartedProgram&) = delete;

    bool Running() { return !Ended(); }

    // Waits up to `limit` for the program to end; a result with Status -1 and
    // Signal 0 when it is still running.
    TRunResult Wait(std::chrono::milliseconds limit) {
        TRunResult result;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!Ended()) {
            if (std::chrono::steady_clock::now() > deadline)
                return result;
            std::this_thread::sleep_for(20ms);
        }
        if (m_status) {
            result.Status = WIFEXITED(*m_status) ? WEXITSTATUS(*m_status) : -1;
            result.Signal = WIFSIGNALED(*m_status) ? WTERMSIG(*m_status) : 0;
        }
        result.Out = ReadFileBytes(m_out);
        result.Err = ReadFileBytes(m_err);
        return result;
    }

    void Stop(int signal) {
        if (m_pid > 0)
            kill(m_pid, signal);
    }

private:
    // Collects the status of a program that has ended, without waiting.
    bool Ended() {
        if (m_pid <= 0)
            return true;
        int status = 0;
        const pid_t ended = waitpid(m_pid, &status, WNOHANG);
        if (ended == 0 || (ended < 0 && errno == EINTR))
            return false;
        if (ended == m_pid)
            m_status = status;
        m_pid = -1;
        return true;
    }

    pid_t m_pid = -1;
    std::optional<int> m_status; // as waitpid gave it
    std::string m_out;
    std::string m_err;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Long enough for a sanitized build to start a window under load.
constexpr auto StartLimit = 60s;

class WindowedStart : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(Program())) << Program();
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
        TStartedProgram program(arguments, changes, m_capture.Path());
        return program.Wait(StartLimit);
    }

    std::string SocketPath() const { return (m_runtime.Path() / "varnsplit.socket").string(); }

    TScopedXdgHome m_xdg;
    TTempFolder m_runtime;
    TTempFolder m_files;
    TTempFolder m_capture;
};

TEST_F(WindowedStart, WithoutDisplayItSaysSoAndEndsWithOne) {
    struct TCase {
        std::vector<std::string> Arguments;
        std::optional<std::string> Platform;
    };
    const std::vector<TCase> cases = {
        {{}, std::nullopt},
        {{m_files / "a.dat"}, std::nullopt},
        {{"/split"}, std::nullopt},
        {{}, "xcb"},
        {{}, "wayland"},
        {{}, "wayland-egl;xcb:nomitshm"},
    };
    for (const TCase& start : cases) {
        TEnvironmentChanges changes = NoDisplay();
        changes["QT_QPA_PLATFORM"] = start.Platform;
        const TRunResult result = Run(start.Arguments, changes);
        const std::string label = start.Platform.value_or("unset") + " " +
                                  (start.Arguments.empty() ? "" : start.Arguments.front());
        EXPECT_EQ(result.Status, 1) << label << ", signal " << result.Signal << ": " << result.Err;
        EXPECT_TRUE(Contains(result.Err, Texts::CliNoDisplay)) << label << ": " << result.Err;
        EXPECT_EQ(result.Out, "") << label;
    }
}

TEST_F(WindowedStart, DisplayThatCannotBeOpenedEndsWithOneNotAnAbort) {
    TEnvironmentChanges changes = NoDisplay();
    changes["QT_QPA_PLATFORM"] = "xcb";
    changes["DISPLAY"] = ":9973"; // no X server has this number here
    const TRunResult result = Run({}, changes);
    EXPECT_EQ(result.Status, 1) << "signal " << result.Signal << ": " << result.Err;
    EXPECT_TRUE(Contains(result.Err, Texts::CliDisplayUnavailable)) << result.Err;
    EXPECT_EQ(result.Out, "");
}

TEST_F(WindowedStart, CommandLineNeedsNoDisplay) {
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
    TStartedProgram first({}, Offscreen(), firstCapture.Path());
    // The window listens once it is up.
    const auto deadline = std::chrono::steady_clock::now() + StartLimit;
    while (!fs::exists(SocketPath()) && first.Running() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(fs::exists(SocketPath()))
        << ReadFileBytes((firstCapture.Path() / "stderr").string());

    const TRunResult second = Run({m_files / "a.dat"}, Offscreen());
    EXPECT_EQ(second.Status, 0) << "signal " << second.Signal << ": " << second.Err;
    EXPECT_EQ(second.Out, "");
    EXPECT_TRUE(first.Running()) << "the first window stays open";

    first.Stop(SIGTERM);
    const TRunResult stopped = first.Wait(StartLimit);
    EXPECT_TRUE(stopped.Signal == SIGTERM || stopped.Status == 0) << stopped.Err;
}

} // namespace
