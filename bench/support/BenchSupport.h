#pragma once

// What the benchmarks share: a work folder of their own and the wall time of
// the yardstick programs they compare against.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A fresh folder under the system's temporary directory, removed however the
// run ends; the run's settings and data (XDG_CONFIG_HOME, XDG_DATA_HOME) stay
// inside it.
class TBenchFolder {
public:
    static std::optional<TBenchFolder> Make() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varnbench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            return std::nullopt;
        }
        TBenchFolder folder(pattern);
        setenv("XDG_CONFIG_HOME", (folder.m_path / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (folder.m_path / "data").c_str(), 1);
        return folder;
    }
    TBenchFolder(TBenchFolder&& other) noexcept : m_path(std::move(other.m_path)) {
        other.m_path.clear();
    }
    TBenchFolder(const TBenchFolder&) = delete;
    TBenchFolder& operator=(const TBenchFolder&) = delete;
    TBenchFolder& operator=(TBenchFolder&&) = delete;
    ~TBenchFolder() {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    explicit TBenchFolder(std::filesystem::path path) : m_path(std::move(path)) {}
    std::filesystem::path m_path;
};

// Runs the program `arguments` names with its output thrown away; its wall
// time in seconds, or a negative value when it could not run or failed.
inline double TimeProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout))
            _exit(127);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
