#pragma once

#include <string>

// The windowed start: with no argument or one file argument the program runs
// the main window. A window already running for this user takes the file
// argument (if any), comes to the front, and this process ends with 0. Without
// a display a clear message goes to standard error and the result is 1.
// `programFolder` is where the stub lies beside the program.
int RunWindowedApplication(int argc, char** argv, const std::string& fileArgument,
                           const std::string& programFolder);
