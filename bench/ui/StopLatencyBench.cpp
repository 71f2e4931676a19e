// Splits a 256 MB file from the (offscreen) window, presses stop at several
// moments and times how long the window takes to stand restored, against the
// time `dd` takes to copy one engine buffer of the same file; prints both and
// their ratio. The window's goal is a stop that acts within 200 ms.

#include "settings/RegistrySettings.h"
#include "settings/SettingNames.h"
#include "shell/ShellTreeView.h"
#include "support/BenchSupport.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
namespace SN = SettingNames;

namespace {

constexpr int64_t kFileSize = 256 << 20;
constexpr int kBufferSize = SN::DefaultBufferSizeForCopy;

// `dd` copying one buffer of `source` to /dev/null, in milliseconds.
double TimeDdOneBuffer(const fs::path& source) {
    return 1000 * TimeProgram({"dd", "if=" + source.string(), "of=/dev/null",
                               "bs=" + std::to_string(kBufferSize), "count=1", "status=none"});
}

void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::optional<TBenchFolder> work = TBenchFolder::Make();
    if (!work)
        return 1;
    QApplication application(argc, argv);
    {
        TRegistrySettings settings;
        settings.WriteBool(SN::SectionSettings, SN::RestoreAssociations, false);
    }

    const fs::path source = work->Path() / "big.dat";
    fs::create_directory(work->Path() / "out");
    {
        std::ofstream out(source, std::ios::binary);
        const std::string chunk(1 << 20, 'v');
        for (int64_t written = 0; written < kFileSize; written += chunk.size())
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    const double yardstick = TimeDdOneBuffer(source);

    TMainFormVarnSplit window(TMainFormContext{});
    window.Dialogs().confirmSplit = [](QWidget*, const QString&, int64_t, int64_t, int64_t,
                                       const QString&) { return true; };
    window.Dialogs().message = [](QWidget*, int, const QString&, const QString&) {};
    window.show();
    auto* sourceTree = window.findChild<TShellTreeView*>("shtSourceData");
    window.findChild<TShellTreeView*>("shtTargetData")
        ->SetPath(QString::fromStdString((work->Path() / "out").string()));
    sourceTree->SetPath(QString::fromStdString(source.string()));
    for (int i = 0; i < 100 && sourceTree->Path() != QString::fromStdString(source.string()); ++i)
        Spin(50);

    bool ended = false;
    QObject::connect(&window, &TMainFormVarnSplit::OperationEnded, [&] { ended = true; });
    double worst = 0;
    std::printf("stop after  restored in\n");
    for (const int after : {5, 30, 80, 160}) {
        ended = false;
        for (const auto& entry : fs::directory_iterator(work->Path() / "out"))
            fs::remove(entry.path());
        window.TheSplit();
        Spin(after);
        if (ended) {
            std::printf("%6d ms   (the split had ended)\n", after);
            continue;
        }
        QElapsedTimer clock;
        clock.start();
        window.TheStop();
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        worst = std::max(worst, ms);
        std::printf("%6d ms   %8.1f ms\n", after, ms);
    }
    std::printf("worst stop: %.1f ms; dd of one %d-byte buffer: %.1f ms; ratio %.1f "
                "(goal: under 200 ms)\n",
                worst, kBufferSize, yardstick, yardstick > 0 ? worst / yardstick : 0.0);
    return 0;
}
