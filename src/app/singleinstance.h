#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One running program per user. The first start listens on a local socket that only its user
// can reach; a later start hands its file (or nothing: just come to the front) to it and ends.
namespace singleinstance {

// $XDG_RUNTIME_DIR/quorvane-<uid>.socket when that folder is the user's own and closed to
// others, else the same name in the temporary folder (the uid keeps users apart there).
QString SocketPath();

enum class HandOver {
    Delivered, // the running program has the file
    NoProgram, // nobody listens (no socket, or one left by a crashed run)
    Failed,    // a socket that is not ours, or a program that did not answer
};

// Sends an absolute path (empty: just come to the front) to the program listening at path.
HandOver SendToRunningProgram(const QString& file, const QString& path = SocketPath(), int timeoutMs = 5000);

} // namespace singleinstance

class CInstanceServer : public QObject {
    Q_OBJECT
public:
    explicit CInstanceServer(QObject* parent = nullptr);

    // Listens at path; a socket of the user's own that nobody answers on (a crashed run) is
    // removed first. False when another program listens there or the socket cannot be made.
    bool Listen(const QString& path = singleinstance::SocketPath());
    QString Path() const { return m_server.fullServerName(); }

signals:
    // A later start's file; empty when it only asked to bring the window to the front.
    void fileReceived(const QString& path);

private:
    void OnNewConnection();

    QLocalServer m_server;
};
