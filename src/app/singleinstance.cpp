#include "app/singleinstance.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 kMagic = 0x51564f31; // "QVO1"
constexpr char kAck = '1';

// A folder of the user's own that nobody else can enter.
bool PrivateFolder(const QByteArray& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Nothing at path, or a socket that the user owns.
enum class Entry { Missing, OwnSocket, Foreign };
Entry Inspect(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return Entry::Missing;
    return S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid() ? Entry::OwnSocket : Entry::Foreign;
}

// The process at the other end runs as this user (the socket's mode alone is not trusted).
bool PeerIsUser(const QLocalSocket& socket) {
    struct ucred cred {};
    socklen_t len = sizeof cred;
    const int fd = static_cast<int>(socket.socketDescriptor());
    return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid();
}

// Whether a program listens at path; a refused connection means a socket left by a crashed run.
enum class Probe { Refused, Answered, Unknown };
Probe ProbeSocket(const QString& path) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(1000)) return Probe::Answered;
    return socket.error() == QLocalSocket::ConnectionRefusedError ? Probe::Refused : Probe::Unknown;
}

QDataStream& Versioned(QDataStream& stream) {
    stream.setVersion(QDataStream::Qt_6_0);
    return stream;
}

} // namespace

namespace singleinstance {

QString SocketPath() {
    const QString name = QStringLiteral("quorvane-%1.socket").arg(::geteuid());
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString folder = PrivateFolder(runtime) ? QFile::decodeName(runtime) : QDir::tempPath();
    return QDir(folder).filePath(name);
}

HandOver SendToRunningProgram(const QString& file, const QString& path, int timeoutMs) {
    switch (Inspect(path)) {
    case Entry::Missing: return HandOver::NoProgram;
    case Entry::Foreign: return HandOver::Failed;
    case Entry::OwnSocket: break;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs)) {
        return socket.error() == QLocalSocket::ConnectionRefusedError ? HandOver::NoProgram : HandOver::Failed;
    }
    if (!PeerIsUser(socket)) return HandOver::Failed;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    Versioned(out) << kMagic << file;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return HandOver::Failed;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs)) return HandOver::Failed;
    char ack = 0;
    return socket.getChar(&ack) && ack == kAck ? HandOver::Delivered : HandOver::Failed;
}

} // namespace singleinstance

CInstanceServer::CInstanceServer(QObject* parent) : QObject(parent) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &CInstanceServer::OnNewConnection);
}

bool CInstanceServer::Listen(const QString& path) {
    switch (Inspect(path)) {
    case Entry::Foreign: return false;
    case Entry::OwnSocket:
        // Only a socket nobody answers on is taken over: a live program keeps its own.
        if (ProbeSocket(path) != Probe::Refused) return false;
        QLocalServer::removeServer(path);
        break;
    case Entry::Missing: break;
    }
    return m_server.listen(path);
}

void CInstanceServer::OnNewConnection() {
    while (QLocalSocket* raw = m_server.nextPendingConnection()) {
        QPointer<QLocalSocket> socket(raw);
        connect(raw, &QLocalSocket::disconnected, raw, &QObject::deleteLater);
        if (!PeerIsUser(*raw)) {
            raw->abort();
            continue;
        }
        auto read = [this, socket] {
            if (!socket) return;
            QDataStream in(socket.data());
            Versioned(in);
            in.startTransaction();
            quint32 magic = 0;
            QString file;
            in >> magic >> file;
            if (!in.commitTransaction()) return; // wait for the rest
            if (magic != kMagic) {
                socket->abort();
                return;
            }
            socket->putChar(kAck);
            socket->flush();
            socket->disconnectFromServer();
            emit fileReceived(file);
        };
        connect(raw, &QLocalSocket::readyRead, this, read);
        if (raw->bytesAvailable() > 0) read();
    }
}
