// The one-window-per-user exchange in this process: the server answers from
// the event loop, the blocking client runs on a thread, as a second start would.

#include "ui/SingleInstance.h"
#include "support/EventLoopWait.h"
#include "support/TempFolder.h"
#include "texts/Texts.h"

#include <QDir>
#include <QLocalServer>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The client runs beside the server's event loop; one that sat out a long
// timeout, or ignored it, fails WaitUntil's limit.
bool HandOverFromSecondStart(const QString& socketPath, const QString& fileArgument,
                             int timeoutMs = 1000) {
    std::atomic<bool> done{false};
    bool handedOver = false;
    std::thread client([&] {
        handedOver = HandOverToRunningWindow(socketPath, fileArgument, timeoutMs);
        done = true;
    });
    const bool finished = WaitUntil([&] { return done.load(); });
    client.join();
    EXPECT_TRUE(finished);
    return handedOver;
}

// What a crashed window leaves: a socket file nobody listens on.
void MakeStaleSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

class SingleInstance : public ::testing::Test {
protected:
    SingleInstance() : m_runtimeVariable("XDG_RUNTIME_DIR", m_runtime.Path().c_str()) {
        m_server.OnCaption = [this] { return m_caption; };
        m_server.OnShow = [this](const QString& path) { m_shown.push_back(path); };
    }

    QString SocketPath() const { return SingleInstanceSocketPath(); }

    TScopedXdgHome m_xdg;
    TTempFolder m_runtime;
    TTempFolder m_files;
    TScopedEnv m_runtimeVariable;
    TSingleInstanceServer m_server;
    QString m_caption = Texts::AppTitle;
    std::vector<QString> m_shown;
};

TEST_F(SingleInstance, WithoutRuntimeFolderTheSocketLiesInAPrivateTemporaryFolder) {
    const TScopedEnv temp("TMPDIR", m_files.Path().c_str());
    const fs::path own = m_files.Path() / ("varnsplit-" + std::to_string(getuid()));
    for (const char* runtime : std::initializer_list<const char*>{nullptr, "", "relative/run"}) {
        const TScopedEnv unset("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(SocketPath().toStdString(), (own / "varnsplit.socket").string());
        struct stat info {};
        ASSERT_EQ(lstat(own.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    // A folder of that name that others may write into is not used.
    const TScopedEnv unset("XDG_RUNTIME_DIR", nullptr);
    fs::permissions(own, fs::perms::all);
    EXPECT_EQ(SocketPath(), QString());
    EXPECT_FALSE(m_server.Listen(SocketPath()));
    EXPECT_FALSE(HandOverFromSecondStart(SocketPath(), ""));
}

TEST_F(SingleInstance, OnlyAWindowWithNothingSelectedTakesTheStart) {
    const QString file = QString::fromStdString(m_files / "a.dat");
    const struct {
        QString caption, fileArgument;
        bool handedOver;
        QString shown;
    } cases[] = {
        {Texts::AppTitle, file, true, file},
        {Texts::AppTitle, "", true, ""},
        {Texts::AppTitle, "b.dat", true, QDir::current().absoluteFilePath("b.dat")},
        {QString::fromUtf8("a.dat — Varn split"), file, false, ""},
        {"varn split", file, false, ""},
    };
    ASSERT_TRUE(m_server.Listen(SocketPath()));
    for (const auto& start : cases) {
        SCOPED_TRACE(start.caption.toStdString());
        m_caption = start.caption;
        m_shown.clear();
        EXPECT_EQ(HandOverFromSecondStart(SocketPath(), start.fileArgument), start.handedOver);
        // The window's work comes after the answer: give it its turn.
        WaitUntil([&] { return !m_shown.empty(); }, start.handedOver ? 5000 : 100);
        EXPECT_EQ(m_shown, start.handedOver ? std::vector{start.shown} : std::vector<QString>{});
    }
}

// Nothing listening, with no socket file or a crashed window's: the start goes
// ahead at once, and a new window takes the socket and removes it at its close.
TEST_F(SingleInstance, WithoutAnAnsweringWindowTheStartGoesAhead) {
    EXPECT_EQ(SocketPath().toStdString(), (m_runtime.Path() / "varnsplit.socket").string());
    for (bool stale : {false, true}) {
        SCOPED_TRACE(stale ? "stale socket" : "no socket");
        EXPECT_FALSE(fs::exists(SocketPath().toStdString()));
        TSingleInstanceServer window;
        window.OnCaption = [] { return QString(Texts::AppTitle); };
        if (stale)
            MakeStaleSocket(SocketPath().toStdString());
        EXPECT_FALSE(HandOverFromSecondStart(SocketPath(), "", 60000));
        ASSERT_TRUE(window.Listen(SocketPath()));
        EXPECT_TRUE(HandOverFromSecondStart(SocketPath(), ""));
    }
    EXPECT_FALSE(fs::exists(SocketPath().toStdString()));
    // Listening but never reading: a window stuck in a long call holds the
    // start only for the start's timeout, and its socket is not taken from it.
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(SocketPath()));
    EXPECT_FALSE(HandOverFromSecondStart(SocketPath(), "", 300));
    EXPECT_FALSE(m_server.Listen(SocketPath()));
    EXPECT_TRUE(fs::exists(SocketPath().toStdString()));
}

} // namespace
