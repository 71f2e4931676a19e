// Expands a folder of 10,000 files and 1,000 folders in a shell tree (files
// listed, icons on) and lists the same folder with `ls -f`, then prints both
// times (best of five each) and their ratio, and the time until the folders'
// watches all run.

#include "shell/ShellTreeView.h"
#include "support/BenchSupport.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 10000;
constexpr int kFolders = 1000;

double Seconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

constexpr int kRuns = 5;

struct TExpansion {
    double expandSeconds = 0;
    double settledSeconds = 0;
};

// Expands `name` below `root` in a new tree, as a user opening the folder for
// the first time does.
std::optional<TExpansion> ExpandFresh(const fs::path& root, const QString& name) {
    TShellTreeView tree;
    tree.SetShowMessages(false);
    tree.SetOptions(TF_FOLDERS | TF_NONFOLDERS);
    tree.SetShowIcons(true);
    tree.SetRootUsePIDL(false);
    tree.SetRootDir(QString::fromStdString(root.string()));
    tree.show();
    TShellNode* node = nullptr;
    for (int i = 0; tree.RootNode() && i < tree.RootNode()->childCount(); ++i) {
        if (tree.RootNode()->child(i)->text(0) == name)
            node = tree.RootNode()->Child(i);
    }
    if (node == nullptr) {
        std::fprintf(stderr, "the tree does not show the test folder\n");
        return std::nullopt;
    }
    const auto start = std::chrono::steady_clock::now();
    tree.ExpandNode(node);
    TExpansion expansion;
    expansion.expandSeconds = Seconds(std::chrono::steady_clock::now() - start);
    // The watches of a large level start from the event loop once it shows.
    QCoreApplication::processEvents();
    expansion.settledSeconds = Seconds(std::chrono::steady_clock::now() - start);
    if (node->childCount() != kFiles + kFolders) {
        std::fprintf(stderr, "expanded %d items, expected %d\n", node->childCount(),
                     kFiles + kFolders);
        return std::nullopt;
    }
    return expansion;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    const std::optional<TBenchFolder> work = TBenchFolder::Make();
    if (!work)
        return 1;

    QApplication application(argc, argv);

    const fs::path big = work->Path() / "big";
    fs::create_directory(big);
    static const char* extensions[] = {".txt", ".vrn", ".001", ".png", ".pdf", ".cpp", ""};
    for (int i = 0; i < kFiles; ++i) {
        std::ofstream file(big / ("file" + std::to_string(i) + extensions[i % 7]));
        file << i;
        if (!file) {
            std::fprintf(stderr, "cannot write the test files in %s\n", big.c_str());
            return 1;
        }
    }
    // Empty folders: each is probed and then watched, as a folder found
    // without subfolders is.
    for (int i = 0; i < kFolders; ++i)
        fs::create_directory(big / ("folder" + std::to_string(i)));

    // Best of several runs on both sides: one run of ls takes a few
    // milliseconds, so a single scheduling delay would swing the ratio.
    TimeProgram({"ls", "-f", big.string()}); // warms the directory cache for both
    double lsSeconds = -1;
    for (int run = 0; run < kRuns; ++run) {
        const double seconds = TimeProgram({"ls", "-f", big.string()});
        if (seconds < 0) {
            std::fprintf(stderr, "ls -f could not be run\n");
            return 1;
        }
        lsSeconds = run == 0 ? seconds : std::min(lsSeconds, seconds);
    }

    double expandSeconds = 0;
    double settledSeconds = 0;
    for (int run = 0; run < kRuns; ++run) {
        const std::optional<TExpansion> expansion = ExpandFresh(work->Path(), "big");
        if (!expansion)
            return 1;
        if (run == 0 || expansion->expandSeconds < expandSeconds) {
            expandSeconds = expansion->expandSeconds;
            settledSeconds = expansion->settledSeconds;
        }
    }

    std::printf("folder: %d files, %d folders\n", kFiles, kFolders);
    std::printf("tree expansion (icons on): %.3f s\n", expandSeconds);
    std::printf("... and every watch started: %.3f s\n", settledSeconds);
    std::printf("ls -f:                     %.3f s\n", lsSeconds);
    std::printf("ratio tree / ls -f:        %.1f\n", expandSeconds / lsSeconds);
    return 0;
}
