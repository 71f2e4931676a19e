#include "app/CommandLine.h"
#include "app/CommandRunner.h"
#include "ui/WindowedStart.h"

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

// The folder of the running program, where the stub is installed beside it.
std::string ProgramFolder(const char* argv0) {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        self = std::filesystem::absolute(argv0, error);
    return self.parent_path().string();
}

// An interrupt lets the engine end cleanly (a unite leaves no temporary file
// behind); a second one ends the program at once.
void StopOnSignal(int) {
    RequestStop();
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

} // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments;
    for (int index = 1; index < argc; ++index)
        arguments.emplace_back(argv[index]);
    const std::string programFolder = ProgramFolder(argc > 0 ? argv[0] : "");
    // The window is chosen before anything else, so a command line never
    // creates a window's application and runs without a display.
    const TCommandLineParse parse = ParseCommandLine(arguments);
    if (parse.Ok() && parse.Request.Form == TCommandForm::cfWindow)
        return RunWindowedApplication(argc, argv, arguments.empty() ? "" : arguments.front(),
                                      programFolder);

    // The window keeps the signals' usual meaning: it is closed by them.
    InstallStopHandlers();
    const TCommandLineContext context{std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                                      programFolder};
    return RunCommandLine(arguments, context);
}
