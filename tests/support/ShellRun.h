#pragma once

#include <filesystem>
#include <string>

// What a shell command printed (standard output and error together) and its
// exit status (-1 when it did not exit normally).
struct TShellRun {
    int status = -1;
    std::string output;
};

TShellRun RunShell(const std::string& command);
// Whether a program of that name is on the PATH.
bool HaveTool(const std::string& tool);
// Wine is installed and starts: a 32-bit wine cannot start on a kernel
// without 32-bit support, and the tests that need it are skipped there.
bool WineRuns();

// The environment words that run wine with its prefix and home inside `root`
// (a test's own folder), no display and no debug output, so that wine never
// opens a window or touches the real home. Creates the home.
std::string WineEnvironment(const std::filesystem::path& root);
