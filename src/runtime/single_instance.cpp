#include "runtime/single_instance.h"

#include "runtime/activation_token.h"
#include "runtime/app_paths.h"
#include "runtime/file_ops.h"
#include "runtime/process_state.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <memory>

namespace runtime {

namespace {

const QString ActivatePrefix = QStringLiteral("WM_ACTIVATEOLDINST_");
constexpr int SecondInstanceWaitMs = 500;

std::unique_ptr<QLockFile> instanceLock;
std::unique_ptr<QLocalServer> activationServer;

const QByteArray ActivateWord = QByteArrayLiteral("activate");
/// A message longer than this is no activation of ours; reading stops there.
constexpr qint64 MaxMessageBytes = 512;

void SendActivation(const QString& serverPath, const QString& token)
{
    QLocalSocket socket;
    socket.connectToServer(serverPath, QIODevice::WriteOnly);
    if (socket.waitForConnected(200)) {
        socket.write(ActivationMessage(token));
        socket.waitForBytesWritten(200);
        socket.disconnectFromServer();
    }
}

/// Acts on a peer's message once: at its first line feed, or when the peer
/// leaves without one (an older copy may not end its line).
void ServePeer(QLocalSocket* peer, const std::function<void(const QString&)>& onActivate)
{
    auto message = std::make_shared<QByteArray>();
    auto answered = std::make_shared<bool>(false);
    const auto answer = [message, answered, onActivate] {
        if (*answered)
            return;
        *answered = true;
        if (GuiReady.load() == 1 && onActivate)
            onActivate(ActivationTokenOf(*message));
    };
    QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, message, answer] {
        message->append(peer->read(MaxMessageBytes - message->size()));
        if (message->contains('\n') || message->size() >= MaxMessageBytes)
            answer();
        peer->readAll(); // anything past the limit is dropped
    });
    QObject::connect(peer, &QLocalSocket::disconnected, peer, [peer, message, answer] {
        message->append(peer->read(MaxMessageBytes - message->size()));
        if (!message->isEmpty())
            answer();
        peer->deleteLater();
    });
}

} // namespace

QByteArray ActivationMessage(const QString& token)
{
    QByteArray message = ActivateWord;
    if (IsActivationToken(token))
        message += ' ' + token.toLatin1();
    return message + '\n';
}

QString ActivationTokenOf(const QByteArray& message)
{
    const qsizetype end = message.indexOf('\n');
    const QByteArray line = end >= 0 ? message.left(end) : message;
    if (!line.startsWith(ActivateWord + ' '))
        return QString();
    const QString token = QString::fromLatin1(line.mid(ActivateWord.size() + 1));
    return IsActivationToken(token) ? token : QString();
}

bool ClaimSingleInstance(const QString& name, const std::function<QString()>& activationToken,
                         std::function<void(const QString& token)> onActivate)
{
    // A folder of the user's alone, so that two users never share a lock or a
    // socket and nobody else can plant either. Without one the program runs
    // unguarded rather than letting anyone keep it from starting.
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty())
        return true;
    const QString serverPath = folder + ActivatePrefix + name;
    const QString lockPath = folder + name + QStringLiteral(".lock");
    // Only a lock file of the user's own can name a running copy; anything
    // else under its name (a link, another owner's file) is not ours to obey.
    if (!IsOwnFile(lockPath))
        QFile::remove(lockPath);

    auto lock = std::make_unique<QLockFile>(lockPath);
    // No age limit: a lock is stale only when its process is gone, never
    // because the first instance has simply been running for a while.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        SendActivation(serverPath, activationToken ? activationToken() : QString());
        QThread::msleep(SecondInstanceWaitMs);
        return false;
    }
    instanceLock = std::move(lock);

    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left there belongs to a dead instance.
    QLocalServer::removeServer(serverPath);
    if (server->listen(serverPath)) {
        QLocalServer* raw = server.get();
        QObject::connect(raw, &QLocalServer::newConnection, raw, [raw, onActivate] {
            while (QLocalSocket* peer = raw->nextPendingConnection())
                ServePeer(peer, onActivate);
        });
        activationServer = std::move(server);
    }
    return true;
}

void ReleaseSingleInstance()
{
    activationServer.reset();
    if (instanceLock)
        instanceLock->unlock();
    instanceLock.reset();
}

} // namespace runtime
