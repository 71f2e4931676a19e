#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

// One window per user: the running window listens on a socket of this user's,
// and a new windowed start asks it to take the file instead of opening a
// second window. The exchange is one UTF-8 line each way:
//   "CAPTION?"      -> the window's caption
//   "SHOW"          -> "OK", and the window comes to the front
//   "SHOW <path>"   -> "OK", and the window also selects the absolute <path>

// The socket of this user's running window: "varnsplit.socket" in
// $XDG_RUNTIME_DIR, or else in a folder of the user's own under the temporary
// folder. "" when no such private folder can be had; then every start opens a
// window of its own.
QString SingleInstanceSocketPath();

// Asks the window listening on `socketPath` for its caption and, when it is the
// bare program title (no file selected there), hands it `fileArgument` (made
// absolute here, where it was typed; "" only brings the window to the front).
// True when the window took it over. Each step waits at most `timeoutMs`, so a
// hung window never holds up the start. Blocks: call it from a thread whose
// event loop is not the server's.
bool HandOverToRunningWindow(const QString& socketPath, const QString& fileArgument,
                             int timeoutMs = 1000);

// The running window's side of the exchange. The window is reached only through
// the two events, so the server works with any widget.
class TSingleInstanceServer : public QObject {
    Q_OBJECT
public:
    explicit TSingleInstanceServer(QObject* parent = nullptr);
    ~TSingleInstanceServer() override;

    // Starts listening on `socketPath`. A socket file left by a window that
    // crashed is removed first; false when another window is listening or the
    // socket cannot be made.
    bool Listen(const QString& socketPath);
    bool Listening() const;

    // The caption the window shows now.
    std::function<QString()> OnCaption;
    // Bring the window to the front and select `path` ("" for none). Called
    // from the event loop after the client has had its answer.
    std::function<void(const QString& path)> OnShow;

private:
    void AcceptConnections();
    void Answer(QLocalSocket* peer);

    QLocalServer* m_server = nullptr;
};
