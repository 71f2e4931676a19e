#pragma once
// Runs of the built program for the end-to-end tests: where it lies, one
// started run with its output captured, and what a run left in a folder.

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

// The folder of varnsplit and varnstub.exe: VARN_BIN_DIR, or this build's own.
inline std::string BinFolder() {
    const char* folder = std::getenv("VARN_BIN_DIR");
    return folder == nullptr || *folder == '\0' ? std::string(VARN_BUILT_BIN_DIR)
                                                : std::string(folder);
}

inline std::string ProgramPath() {
    return BinFolder() + "/varnsplit";
}

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
    TStartedProgram(const std::string& program, std::vector<std::string> arguments,
                    const std::filesystem::path& captureFolder,
                    const TEnvironmentChanges& changes = {}, int terminal = -1,
                    int terminalMaster = -1)
        : m_out((captureFolder / "stdout").string()), m_err((captureFolder / "stderr").string()),
          m_onTerminal(terminal >= 0), m_terminalMaster(terminalMaster) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (m_onTerminal) {
            posix_spawn_file_actions_adddup2(&actions, terminal, 2);
            posix_spawn_file_actions_addclose(&actions, terminalMaster);
        } else {
            posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        }
        arguments.insert(arguments.begin(), program);
        // This process's environment with `changes` applied.
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry)
            if (changes.count(std::string(*entry).substr(0, std::strcspn(*entry, "="))) == 0)
                environment.push_back(*entry);
        for (const auto& [name, value] : changes)
            if (value)
                environment.push_back(name + '=' + *value);
        std::vector<char*> argv = Pointers(arguments);
        std::vector<char*> envp = Pointers(environment);
        const int spawned =
            posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (m_onTerminal)
            close(terminal); // the program holds the only copy, so its end ends the reads
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

    // Whether the program has not ended yet; does not wait.
    bool Running() {
        if (m_pid <= 0)
            return false;
        const pid_t ended = waitpid(m_pid, &m_status, WNOHANG);
        if (ended == 0 || (ended < 0 && errno == EINTR))
            return true;
        m_pid = -1;
        return false;
    }

    void Stop(int signal) {
        if (m_pid > 0)
            kill(m_pid, signal);
    }

    // Waits for the program to end, however long a loaded machine takes (the
    // test's own time limit stops a program that never ends).
    TRunResult Wait() {
        // The terminal is read until the program has closed it.
        char chunk[4096];
        while (m_terminalMaster >= 0) {
            const ssize_t got = read(m_terminalMaster, chunk, sizeof chunk);
            if (got > 0)
                m_terminalText.append(chunk, static_cast<std::size_t>(got));
            else if (got == 0 || errno != EINTR)
                m_terminalMaster = -1;
        }
        while (m_pid > 0 && waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        TRunResult result;
        result.Status = WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
        result.Signal = WIFSIGNALED(m_status) ? WTERMSIG(m_status) : 0;
        result.Out = ReadFileBytes(m_out);
        result.Err = m_onTerminal ? m_terminalText : ReadFileBytes(m_err);
        return result;
    }

private:
    static std::vector<char*> Pointers(std::vector<std::string>& texts) {
        std::vector<char*> pointers;
        for (std::string& text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
        return pointers;
    }

    pid_t m_pid = -1;
    int m_status = 0; // as waitpid gave it
    std::string m_out;
    std::string m_err;
    bool m_onTerminal = false;
    int m_terminalMaster = -1;
    std::string m_terminalText;
};

inline TRunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::filesystem::path& captureFolder,
                             const TEnvironmentChanges& changes = {}) {
    return TStartedProgram(program, arguments, captureFolder, changes).Wait();
}

using TNames = std::vector<std::string>;

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
