#include "ProgramRun.h"

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

extern char** environ;

namespace fs = std::filesystem;

namespace {

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

} // namespace

std::string BinFolder() {
    const char* folder = std::getenv("VARN_BIN_DIR");
    return folder == nullptr || *folder == '\0' ? std::string(VARN_BUILT_BIN_DIR)
                                                : std::string(folder);
}

std::string ProgramPath() {
    return BinFolder() + "/varnsplit";
}

TStartedProgram::TStartedProgram(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const fs::path& captureFolder, const TEnvironmentChanges& changes,
                                 int terminal, int terminalMaster)
    : m_out((captureFolder / "stdout").string()), m_err((captureFolder / "stderr").string()),
      m_onTerminal(terminal >= 0), m_terminalMaster(terminalMaster) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    if (terminal >= 0) {
        posix_spawn_file_actions_adddup2(&actions, terminal, 2);
        posix_spawn_file_actions_addclose(&actions, terminalMaster);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    std::vector<std::string> argumentTexts = arguments;
    argumentTexts.insert(argumentTexts.begin(), program);
    std::vector<std::string> environment = EnvironmentWith(changes);
    std::vector<char*> argv = Pointers(argumentTexts);
    std::vector<char*> envp = Pointers(environment);
    const int spawned =
        posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (terminal >= 0)
        close(terminal); // the program holds the only copy, so its end ends the reads
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawned);
        m_pid = -1;
    }
}

TStartedProgram::~TStartedProgram() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

void TStartedProgram::Stop(int signal) {
    if (m_pid > 0)
        kill(m_pid, signal);
}

TRunResult TStartedProgram::Wait() {
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

bool TStartedProgram::Running() {
    if (m_pid <= 0)
        return false;
    const pid_t ended = waitpid(m_pid, &m_status, WNOHANG);
    if (ended == 0 || (ended < 0 && errno == EINTR))
        return true;
    m_pid = -1;
    return false;
}

TRunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const fs::path& captureFolder, const TEnvironmentChanges& changes) {
    return TStartedProgram(program, arguments, captureFolder, changes).Wait();
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
