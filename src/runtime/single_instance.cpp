#include "runtime/single_instance.h"

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

void SendActivation(const QString& serverPath)
{
    QLocalSocket socket;
    socket.connectToServer(serverPath, QIODevice::WriteOnly);
    if (socket.waitForConnected(200)) {
        socket.write("activate\n");
        socket.waitForBytesWritten(200);
        socket.disconnectFromServer();
    }
}

} // namespace

bool ClaimSingleInstance(const QString& name, std::function<void()> onActivate)
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
        SendActivation(serverPath);
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
            while (QLocalSocket* peer = raw->nextPendingConnection()) {
                QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
                QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, onActivate] {
                    peer->readAll();
                    if (GuiReady.load() == 1 && onActivate)
                        onActivate();
                });
            }
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
