#include "runtime/tray_host.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>

#include <memory>

namespace runtime {

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");

// A host that does not answer within this time counts as absent.
constexpr int AnswerTimeoutMs = 1000;

} // namespace

bool TrayHostPresent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(WatcherService))
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << WatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, AnswerTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           qvariant_cast<QDBusVariant>(reply.arguments().first()).variant().toBool();
}

void WatchTrayHost(std::function<void()> onAppeared)
{
    static QDBusServiceWatcher* watcher = nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (watcher != nullptr || !bus.isConnected())
        return;
    auto appeared = std::make_shared<std::function<void()>>(std::move(onAppeared));
    // The watcher service getting an owner: a panel started, or restarted.
    watcher = new QDBusServiceWatcher(WatcherService, bus, QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, [appeared] { (*appeared)(); });
    // A host registering with a watcher that already ran. A bus signal can
    // only be connected to a slot, so a timer's start() relays it.
    auto* relay = new QTimer(watcher);
    relay->setSingleShot(true);
    relay->setInterval(0);
    QObject::connect(relay, &QTimer::timeout, [appeared] { (*appeared)(); });
    bus.connect(WatcherService, WatcherPath, WatcherService, QStringLiteral("StatusNotifierHostRegistered"), relay,
                SLOT(start()));
}

} // namespace runtime
