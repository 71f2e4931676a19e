#pragma once

#include <ostream>
#include <string>
#include <vector>

// Where a command-line run writes and what it knows about its surroundings.
struct TCommandLineContext {
    std::ostream& Out;         // help text
    std::ostream& Err;         // messages and the progress line
    bool ShowProgress = false; // standard error is a terminal
    std::string ProgramFolder; // folder of the running program; the stub lies there
};

// A stop request from outside the run (an interrupt signal): the running
// operation ends at its next piece or chunk, and the run fails. Safe to call
// from a signal handler.
void RequestStop();
bool StopRequested();
void ClearStopRequest();

// Runs the command line given by `arguments` (without the program path): parses
// it, runs the one split or unite it asks for on an engine of its own, writes
// every message to `context.Err`, and returns the exit status (ExitSuccess,
// ExitFailed or ExitUsage).
int RunCommandLine(const std::vector<std::string>& arguments, const TCommandLineContext& context);
