#pragma once
// Runs of the built program for the end-to-end tests, with the process, file
// and test headers that they need.

#include "support/TempFolder.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// A started program reading nothing, its output and error in `captureFolder`;
// or with input and error on a pseudo-terminal (`terminal` its far side,
// `terminalMaster` its near one), whose text is read as the error.
class TStartedProgram {
public:
    TStartedProgram(const std::string& program, std::vector<std::string> arguments,
                    const std::filesystem::path& captureFolder,
                    const TEnvironmentChanges& changes = {}, int terminal = -1,
                    int terminalMaster = -1)
        : m_out((captureFolder / "stdout").string()), m_err((captureFolder / "stderr").string()),
          m_terminalMaster(terminalMaster) {
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            for (const auto& [name, value] : changes)
                value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
            const int in = terminal >= 0 ? terminal : open("/dev/null", O_RDONLY);
            const int out = open(m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err =
                terminal >= 0 ? terminal : open(m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
                dup2(err, 2) < 0)
                _exit(125);
            if (terminalMaster >= 0)
                close(terminalMaster);
            execv(program.c_str(), argv.data());
            _exit(126);
        }
        if (terminal >= 0)
            close(terminal); // the program holds the only copy, so its end ends the reads
        if (m_pid < 0)
            ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(errno);
    }

    ~TStartedProgram() { // a program still running is not left behind
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    TStartedProgram(const TStartedProgram&) = delete;
    TStartedProgram& operator=(const TStartedProgram&) = delete;

    bool Running() { // does not wait
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

    // However long a loaded machine takes: the test's time limit stops a
    // program that never ends.
    TRunResult Wait() {
        TRunResult result;
        char chunk[4096];
        for (ssize_t got = 1; m_terminalMaster >= 0 && (got > 0 || (got < 0 && errno == EINTR));) {
            got = read(m_terminalMaster, chunk, sizeof chunk);
            if (got > 0)
                result.Err.append(chunk, static_cast<std::size_t>(got));
        }
        while (m_pid > 0 && waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        result.Status = WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
        result.Signal = WIFSIGNALED(m_status) ? WTERMSIG(m_status) : 0;
        result.Out = ReadFileBytes(m_out);
        if (m_terminalMaster < 0)
            result.Err = ReadFileBytes(m_err);
        return result;
    }

private:
    pid_t m_pid = -1;
    int m_status = 0; // as waitpid gave it
    std::string m_out;
    std::string m_err;
    int m_terminalMaster = -1;
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
