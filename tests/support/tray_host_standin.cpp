#include "support/tray_host_standin.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>

namespace testsupport {

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");

} // namespace

PrivateBus::PrivateBus()
{
    daemon_.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000))
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    daemon_.kill();
    daemon_.waitForFinished(5000);
}

StandInTrayHost::StandInTrayHost(const QString& address, const QString& connectionName)
    : connectionName_(connectionName), bus_(QDBusConnection::connectToBus(address, connectionName))
{
    up_ = bus_.isConnected() && bus_.registerVirtualObject(WatcherPath, this) && bus_.registerService(WatcherService);
}

StandInTrayHost::~StandInTrayHost()
{
    bus_.unregisterService(WatcherService);
    bus_.unregisterObject(WatcherPath);
    QDBusConnection::disconnectFromBus(connectionName_);
}

void StandInTrayHost::AnnounceHost()
{
    bus_.send(QDBusMessage::createSignal(WatcherPath, WatcherService, QStringLiteral("StatusNotifierHostRegistered")));
}

bool StandInTrayHost::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    QDBusConnection bus(connection);
    const QString member = message.member();
    if (member == u"RegisterStatusNotifierItem" && !message.arguments().isEmpty()) {
        const QString item = message.arguments().first().toString();
        items << item;
        if (readTitleFirst) {
            readingTitle = true;
            QDBusMessage get =
                QDBusMessage::createMethodCall(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get");
            get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Title");
            const QDBusMessage title = bus.call(get, QDBus::Block, 20000);
            if (!qvariant_cast<QDBusVariant>(title.arguments().value(0)).variant().toString().isEmpty())
                ++titlesRead;
            readingTitle = false;
        }
        bus.send(message.createReply());
    } else if (member == u"Get" && message.arguments().value(1).toString() == u"IsStatusNotifierHostRegistered") {
        bus.send(message.createReply(QVariant::fromValue(QDBusVariant(true))));
    } else {
        bus.send(message.createErrorReply(QDBusError::UnknownMethod, member));
    }
    return true;
}

} // namespace testsupport
