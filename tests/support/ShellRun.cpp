#include "support/ShellRun.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

TShellRun RunShell(const std::string& command) {
    TShellRun run;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            run.output.append(buffer, n);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

bool HaveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool WineRuns() {
    return std::system("wine --version >/dev/null 2>&1") == 0;
}

std::string WineEnvironment(const std::filesystem::path& root) {
    std::filesystem::create_directories(root / "home");
    return "env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + (root / "home").string() +
           " WINEPREFIX=" + (root / "prefix").string() +
           " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= ";
}
