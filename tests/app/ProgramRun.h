#pragma once
// Runs of the built program for the end-to-end tests: where it lies, one
// started run with its output captured, and what a run left in a folder.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The folder of varnsplit and varnstub.exe: VARN_BIN_DIR, or this build's own.
std::string BinFolder();
std::string ProgramPath();

// Variables to set, or with nullopt to remove, in a run's environment.
using TEnvironmentChanges = std::map<std::string, std::optional<std::string>>;

struct TRunResult {
    int Status = -1; // exit status; -1 when ended by a signal
    int Signal = 0;
    std::string Out;
    std::string Err;
};

// One started program, reading nothing, with standard output and error in
// files of `captureFolder`. Given the far side of a pseudo-terminal
// (`terminal`, with `terminalMaster` its near side), standard error goes to
// the terminal instead and is read from it.
class TStartedProgram {
public:
    TStartedProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const std::filesystem::path& captureFolder,
                    const TEnvironmentChanges& changes = {}, int terminal = -1,
                    int terminalMaster = -1);
    // A program still running when the test ends is not left behind.
    ~TStartedProgram();
    TStartedProgram(const TStartedProgram&) = delete;
    TStartedProgram& operator=(const TStartedProgram&) = delete;

    // Whether the program has not ended yet; does not wait.
    bool Running();
    void Stop(int signal);
    // Waits for the program to end, however long a loaded machine takes (the
    // test's own time limit stops a program that never ends).
    TRunResult Wait();

private:
    pid_t m_pid = -1;
    int m_status = 0; // as waitpid gave it
    std::string m_out;
    std::string m_err;
    bool m_onTerminal = false;
    int m_terminalMaster = -1;
    std::string m_terminalText;
};

TRunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& captureFolder,
                      const TEnvironmentChanges& changes = {});

// The names in a folder, sorted.
std::vector<std::string> Names(const std::filesystem::path& folder);
using TNames = std::vector<std::string>;

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
