#include "ui/WindowedStart.h"

#include "texts/Texts.h"
#include "ui/MainForm.h"
#include "ui/SingleInstance.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QList>

#include <cstdlib>
#include <iostream>

namespace {

constexpr int ExitNoDisplay = 1;

void SayToTerminal(const char* text) {
    std::cerr << Texts::CliProgramName << ": " << text << '\n';
    std::cerr.flush();
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt would try each platform of QT_QPA_PLATFORM ("wayland;xcb", each maybe with
// ":options") in turn; only when every one of them needs a display server, and
// none is named, is it sure in advance that no window can open.
bool DisplayMissing() {
    const QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    for (const QByteArray& entry : requested.split(';')) {
        const QByteArray name = entry.split(':').front().trimmed();
        if (!name.isEmpty() && name != "xcb" && !name.startsWith("wayland"))
            return false;
    }
    return !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY");
}

QtMessageHandler previousHandler = nullptr;

// A display that is named but cannot be opened (its server is gone, or access
// is refused) makes Qt abort while the application is created; the user gets
// the same plain message and status as without a display instead.
void EndWhenNoPlatformOpens(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type == QtFatalMsg) {
        SayToTerminal(Texts::CliDisplayUnavailable);
        std::_Exit(ExitNoDisplay);
    }
    if (previousHandler != nullptr)
        previousHandler(type, context, message);
}

void BringToFront(TMainFormVarnSplit& window) {
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

int RunWindowedApplication(int argc, char** argv, const std::string& fileArgument,
                           const std::string& programFolder) {
    if (DisplayMissing()) {
        SayToTerminal(Texts::CliNoDisplay);
        return ExitNoDisplay;
    }

    // Qt takes words such as "-reverse" or "-style" from its arguments, but the
    // one argument here is always a file: Qt sees only the program's name.
    int qtArgc = argc > 0 ? 1 : 0;
    previousHandler = qInstallMessageHandler(EndWhenNoPlatformOpens);
    QApplication application(qtArgc, argv);
    qInstallMessageHandler(previousHandler);
    QApplication::setApplicationName(Texts::AppTitle);

    const QString file = QFile::decodeName(QByteArray::fromStdString(fileArgument));
    const QString socketPath = SingleInstanceSocketPath();
    if (HandOverToRunningWindow(socketPath, file))
        return EXIT_SUCCESS;

    TMainFormVarnSplit window({QFile::decodeName(QByteArray::fromStdString(programFolder)), file});
    window.show();

    // Without the socket (another window holds it, or there is no private
    // folder for it) this window simply runs without taking later starts.
    TSingleInstanceServer server;
    server.OnCaption = [&window] { return window.windowTitle(); };
    server.OnShow = [&window](const QString& path) {
        BringToFront(window);
        if (!path.isEmpty())
            window.SelectFileFromOutside(path);
    };
    server.Listen(socketPath);
    return application.exec();
}
