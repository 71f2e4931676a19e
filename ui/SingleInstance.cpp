#include "ui/SingleInstance.h"

#include "texts/Texts.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace {

constexpr const char* SocketName = "varnsplit.socket";
const QByteArray CaptionRequest = "CAPTION?";
const QByteArray ShowRequest = "SHOW";
const QByteArray ShowAnswer = "OK";

// A path is at most a few kilobytes; a peer that sends more without a line end
// is not one of ours.
constexpr qint64 MaxLineBytes = 64 * 1024;
// A client that connects and then says nothing is dropped, so it cannot keep a
// connection open in the window for ever.
constexpr int PeerLifeMs = 5000;
// Long enough for a live window's kernel queue to take the connection, short
// enough not to be noticed at start-up.
constexpr int ProbeMs = 200;

int Remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(deadline.remainingTime());
}

// Sends one request line and waits for the one line that answers it.
std::optional<QByteArray> Ask(QLocalSocket& socket, const QByteArray& request, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    socket.write(request + '\n');
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(Remaining(deadline)))
            return std::nullopt;
    while (!socket.canReadLine()) {
        if (socket.bytesAvailable() > MaxLineBytes || !socket.waitForReadyRead(Remaining(deadline)))
            return std::nullopt;
    }
    QByteArray line = socket.readLine();
    line.chop(1);
    return line;
}

void Drop(QLocalSocket* peer) {
    peer->abort();
    peer->deleteLater();
}

} // namespace

QString SingleInstanceSocketPath() {
    // The XDG rule: an unset, empty or relative value means there is none.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(SocketName);

    const QString folder = QDir::tempPath() + "/varnsplit-" + QString::number(getuid());
    const QByteArray native = QFile::encodeName(folder);
    if (mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    // Anyone may create this name in the shared temporary folder first: a
    // folder that is not this user's alone could let another user's program
    // answer in the window's place or take the files handed over.
    struct stat info {};
    if (lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != getuid() || (info.st_mode & 077) != 0)
        return {};
    return folder + '/' + SocketName;
}

bool HandOverToRunningWindow(const QString& socketPath, const QString& fileArgument,
                             int timeoutMs) {
    if (socketPath.isEmpty())
        return false;
    QByteArray request = ShowRequest;
    if (!fileArgument.isEmpty()) {
        // The running window has a working folder of its own.
        const QByteArray path = QFileInfo(fileArgument).absoluteFilePath().toUtf8();
        // A line break in the name cannot be said on one line; this start opens
        // its own window for such a file.
        if (path.contains('\n'))
            return false;
        request += ' ' + path;
    }

    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    // A window that shows a file already keeps it; only a window with nothing
    // selected takes the new one.
    const std::optional<QByteArray> caption = Ask(socket, CaptionRequest, timeoutMs);
    if (!caption || QString::fromUtf8(*caption) != QString::fromUtf8(Texts::AppTitle))
        return false;
    const std::optional<QByteArray> answer = Ask(socket, request, timeoutMs);
    return answer && *answer == ShowAnswer;
}

TSingleInstanceServer::TSingleInstanceServer(QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)) {
    // No socket options: with them Qt makes the socket elsewhere and renames it
    // into place, over the socket of a window that is still running. Only this
    // user can reach the socket anyway, since its folder is this user's alone.
    connect(m_server, &QLocalServer::newConnection, this,
            &TSingleInstanceServer::AcceptConnections);
}

// Closing the server removes its socket file, so the next start does not
// mistake it for a crashed window's.
TSingleInstanceServer::~TSingleInstanceServer() {
    m_server->close();
}

bool TSingleInstanceServer::Listen(const QString& socketPath) {
    if (socketPath.isEmpty())
        return false;
    if (m_server->listen(socketPath))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // The name is taken. A window that is alive (even one too busy to answer)
    // takes the connection; a file nobody listens on refuses it, and that is
    // what a crashed window leaves behind.
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    if (probe.waitForConnected(ProbeMs) || probe.error() != QLocalSocket::ConnectionRefusedError)
        return false;
    QLocalServer::removeServer(socketPath);
    return m_server->listen(socketPath);
}

bool TSingleInstanceServer::Listening() const {
    return m_server->isListening();
}

void TSingleInstanceServer::AcceptConnections() {
    while (QLocalSocket* peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { Answer(peer); });
        QTimer::singleShot(PeerLifeMs, peer, [peer] { Drop(peer); });
    }
}

void TSingleInstanceServer::Answer(QLocalSocket* peer) {
    while (peer->canReadLine()) {
        QByteArray line = peer->readLine();
        line.chop(1);
        if (line == CaptionRequest) {
            // A line break inside the caption would end the answer early.
            QString caption = OnCaption ? OnCaption() : QString();
            caption.replace('\n', ' ');
            peer->write(caption.toUtf8() + '\n');
        } else if (line == ShowRequest || line.startsWith(ShowRequest + ' ')) {
            const QString path = QString::fromUtf8(line.mid(ShowRequest.size() + 1));
            peer->write(ShowAnswer + '\n');
            peer->flush();
            // The client waits only a moment for its answer; selecting the file
            // may take longer, so it happens after the answer has gone.
            QTimer::singleShot(0, this, [this, path] {
                if (OnShow)
                    OnShow(path);
            });
        } else {
            Drop(peer);
            return;
        }
    }
    if (peer->bytesAvailable() > MaxLineBytes)
        Drop(peer);
}
