#include "runtime/tray_host.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

namespace runtime {

void WatchTrayHost(std::function<void()> onAppeared)
{
    // A StatusNotifier host announces itself by registering the watcher
    // service on the session bus.
    static QDBusServiceWatcher* watcher = nullptr;
    if (watcher != nullptr || !QDBusConnection::sessionBus().isConnected())
        return;
    watcher = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
                                      QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered,
                     [onAppeared = std::move(onAppeared)] { onAppeared(); });
}

} // namespace runtime
