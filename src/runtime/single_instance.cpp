#include "runtime/single_instance.h"

#include "runtime/file_ops.h"
#include "runtime/process_state.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <memory>

namespace runtime {

namespace {

const QString ActivatePrefix = QStringLiteral("WM_ACTIVATEOLDINST_");
constexpr int SecondInstanceWaitMs = 500;

std::unique_ptr<QLockFile> instanceLock;
std::unique_ptr<QLocalServer> activationServer;

/// The per-user runtime folder, so that two users never share a lock or socket.
QString RuntimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return WithTrailingSlash(folder);
}

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
    const QString folder = RuntimeFolder();
    const QString serverPath = folder + ActivatePrefix + name;

    auto lock = std::make_unique<QLockFile>(folder + name + QStringLiteral(".lock"));
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
