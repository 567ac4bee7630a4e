#include "device/single_instance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <sys/socket.h>
#include <unistd.h>

namespace
{
constexpr char RaiseRequest[] = "raise\n";
// A later start says one word; anything longer is not one of ours and is dropped.
constexpr qint64 MaxRequest = 64;
constexpr int ConnectWaitMs = 2000;
constexpr int LockWaitMs = 5000;
// sockaddr_un holds 108 bytes with the terminator; a longer folder falls back to /tmp.
constexpr qsizetype MaxSocketPath = 100;

// The socket's other end runs as this user: a socket in a shared folder that another user put
// there is neither told anything nor trusted to be the device.
bool PeerIsThisUser(qintptr descriptor)
{
    if (descriptor < 0)
        return false;
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == getuid();
}
} // namespace

std::string InstanceSocketPath(const std::string& absoluteFolder)
{
    QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(absoluteFolder),
                                               QCryptographicHash::Sha256)
                          .toHex()
                          .left(24);
    QString name =
        QStringLiteral("/zentally-") + QString::fromLatin1(hash) + QStringLiteral(".socket");
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir::isAbsolutePath(runtime) || !QFileInfo(runtime).isDir() ||
        runtime.size() + name.size() > MaxSocketPath)
        runtime = QDir::tempPath();
    if (runtime.size() + name.size() > MaxSocketPath)
        runtime = QStringLiteral("/tmp");
    return QDir::cleanPath(runtime + name).toStdString();
}

SingleInstance::SingleInstance(const std::string& absoluteFolder)
    : socketPath(InstanceSocketPath(absoluteFolder))
{
}

SingleInstance::~SingleInstance()
{
    if (server)
        server->close(); // removes the socket, so the next start need not clean up
}

void SingleInstance::SetRaiseHandler(std::function<void()> handler)
{
    raise = std::move(handler);
}

bool SingleInstance::HandOver()
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(ConnectWaitMs))
        return false;
    if (!PeerIsThisUser(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }
    socket.write(RaiseRequest);
    bool told = socket.waitForBytesWritten(ConnectWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(ConnectWaitMs);
    return told;
}

InstanceClaim SingleInstance::Claim(std::string* reason)
{
    if (server)
        return InstanceClaim::First;
    QString path = QString::fromStdString(socketPath);
    // Two starts at once must not both find no socket and both listen: the look and the listen
    // happen under a lock file beside the socket.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMs)) {
        *reason = "cannot lock " + socketPath + ".lock to check for a running zentally";
        return InstanceClaim::Failed;
    }
    if (HandOver())
        return InstanceClaim::Handed;

    // Nobody answers: what is there was left by a start that ended without closing it.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        QLocalServer::removeServer(path);
    auto listening = std::make_unique<QLocalServer>();
    listening->setSocketOptions(QLocalServer::UserAccessOption);
    if (!listening->listen(path)) {
        *reason = "cannot listen on " + socketPath + ": " + listening->errorString().toStdString();
        return InstanceClaim::Failed;
    }
    QLocalServer* raw = listening.get();
    QObject::connect(raw, &QLocalServer::newConnection, raw, [this, raw] {
        while (QLocalSocket* caller = raw->nextPendingConnection()) {
            QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            if (!PeerIsThisUser(caller->socketDescriptor())) {
                caller->abort();
                continue;
            }
            QObject::connect(caller, &QLocalSocket::readyRead, caller, [this, caller] {
                if (caller->bytesAvailable() < qint64(sizeof RaiseRequest - 1))
                    return; // the rest is on its way
                QByteArray said = caller->read(MaxRequest);
                if (said.startsWith(RaiseRequest) && raise)
                    raise();
                caller->disconnectFromServer();
            });
        }
    });
    server = std::move(listening);
    return InstanceClaim::First;
}
