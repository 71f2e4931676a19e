// Prints what the start-up file type registration costs when nothing changed
// and when every file must be written, each against a yardstick measured in
// the same run on the same files: stat() of the files for the unchanged case,
// plain fopen/fwrite of the same bytes into fresh folders for the written one.

#include "settings/FileAssociation.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double MicrosecondsSince(TClock::time_point start, int runs) {
    return std::chrono::duration<double, std::micro>(TClock::now() - start).count() / runs;
}

struct TFileCopy {
    std::string relativePath;
    QByteArray bytes;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir root;
    if (!root.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    // Keep every write away from the real home.
    qputenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toUtf8());

    TAssociationOptions options;
    options.executable = "/usr/bin/varnsplit";
    options.toolPath = root.path() + "/no-tools"; // the tools' own cost is measured apart

    const int writtenRuns = 40;
    const int unchangedRuns = 400;

    // Every file written: a fresh data home each time.
    auto start = TClock::now();
    for (int run = 0; run < writtenRuns; ++run) {
        options.dataHome = root.path() + "/written/" + QString::number(run);
        RestoreFileAssociations(options);
    }
    const double writtenUs = MicrosecondsSince(start, writtenRuns);

    // The same bytes with plain fwrite, folders included.
    std::vector<TFileCopy> files;
    const QString firstHome = root.path() + "/written/0";
    QDirIterator it(firstHome, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.push_back({path.mid(firstHome.size()).toStdString(), file.readAll()});
    }
    start = TClock::now();
    for (int run = 0; run < writtenRuns; ++run) {
        const std::string home = (root.path() + "/fwrite/" + QString::number(run)).toStdString();
        for (const auto& copy : files) {
            const std::string path = home + copy.relativePath;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            FILE* out = std::fopen(path.c_str(), "wb");
            if (!out)
                return 1;
            std::fwrite(copy.bytes.constData(), 1, copy.bytes.size(), out);
            std::fclose(out);
        }
    }
    const double fwriteUs = MicrosecondsSince(start, writtenRuns);

    // Nothing changed: the same data home again and again.
    options.dataHome = firstHome;
    start = TClock::now();
    for (int run = 0; run < unchangedRuns; ++run)
        RestoreFileAssociations(options);
    const double unchangedUs = MicrosecondsSince(start, unchangedRuns);

    start = TClock::now();
    for (int run = 0; run < unchangedRuns; ++run) {
        for (const auto& copy : files) {
            struct stat info {};
            ::stat((firstHome.toStdString() + copy.relativePath).c_str(), &info);
        }
    }
    const double statUs = MicrosecondsSince(start, unchangedRuns);

    // The database tools, where installed, run only after a change.
    options.toolPath.clear();
    options.dataHome = root.path() + "/with-tools";
    start = TClock::now();
    const auto report = RestoreFileAssociations(options);
    const double toolsUs = MicrosecondsSince(start, 1);

    std::printf("start-up file type registration, %zu files\n", files.size());
    std::printf(
        "  every file written : %9.1f us   fwrite of the same bytes: %9.1f us   ratio %.2f\n",
        writtenUs, fwriteUs, writtenUs / fwriteUs);
    std::printf("  (each registration file is replaced atomically and synced to disk; fwrite "
                "neither)\n");
    std::printf(
        "  nothing changed    : %9.1f us   stat of the same files  : %9.1f us   ratio %.2f\n",
        unchangedUs, statUs, unchangedUs / statUs);
    std::printf("  every file written with the database tools (%s): %.1f us, once\n",
                report.toolsRun.isEmpty() ? "none installed"
                                          : qPrintable(report.toolsRun.join(", ")),
                toolsUs);
    return 0;
}
