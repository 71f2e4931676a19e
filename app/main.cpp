#include "CommandRunner.h"

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

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const TCommandLineContext context{std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                                      ProgramFolder(argc > 0 ? argv[0] : "")};
    return RunCommandLine(arguments, context);
}
