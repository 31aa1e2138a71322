// A panel for the real-window checks (scripts/check-wayland): the
// StatusNotifier host of a desktop on the session bus, driven line by line
// from standard input, answering on standard output.
//   (on its own)  "item NAME" when an item registers
//   click         as a panel on Wayland does for a left click: asks the
//                 compositor for an activation token, hands it to the item
//                 (ProvideXdgActivationToken), then Activate -> "clicked TOKEN"
//   menu LABEL    clicks the item's menu row LABEL (access key marks left
//                 out) -> "chose LABEL", or "no-row LABEL"
//   token         a fresh activation token -> "token TOKEN"
// With --token it only prints a fresh token, as a launcher would pass it on,
// and ends.
#include "runtime/activation_token.h"
#include "support/tray_host_standin.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void Say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QDBusMessage ItemCall(const QString& item, const char* method)
{
    return QDBusMessage::createMethodCall(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem", method);
}

/// The id of the menu row whose label, without its access-key mark, is
/// `label`; -1 when there is none.
int MenuRowId(QDBusConnection& bus, const QString& item, const QString& label)
{
    QDBusMessage getLayout = QDBusMessage::createMethodCall(item, "/MenuBar", "com.canonical.dbusmenu", "GetLayout");
    getLayout << 0 << -1 << QStringList();
    const QDBusMessage reply = bus.call(getLayout, QDBus::Block, 5000);
    if (reply.arguments().size() != 2)
        return -1;
    const QDBusArgument root = reply.arguments()[1].value<QDBusArgument>();
    int rootId = -1;
    QVariantMap rootProperties;
    int found = -1;
    root.beginStructure();
    root >> rootId >> rootProperties;
    root.beginArray();
    while (!root.atEnd()) {
        QDBusVariant child;
        root >> child;
        const QDBusArgument node = child.variant().value<QDBusArgument>();
        int id = 0;
        QVariantMap properties;
        node.beginStructure();
        node >> id >> properties;
        node.beginArray();
        node.endArray();
        node.endStructure();
        if (found < 0 && properties.value("label").toString().remove(u'_') == label)
            found = id;
    }
    root.endArray();
    root.endStructure();
    return found;
}

void Command(testsupport::StandInTrayHost& host, const QString& line)
{
    QDBusConnection& bus = host.Connection();
    const QString item = host.items.value(host.items.size() - 1);
    if (line == u"token") {
        Say(QStringLiteral("token ") + runtime::RequestActivationToken(QStringLiteral("stand-in-panel"), 2000));
    } else if (line == u"click") {
        const QString token = runtime::RequestActivationToken(QStringLiteral("stand-in-panel"), 2000);
        if (!token.isEmpty())
            bus.call(ItemCall(item, "ProvideXdgActivationToken") << token, QDBus::Block, 5000);
        bus.call(ItemCall(item, "Activate") << 0 << 0, QDBus::Block, 5000);
        Say(QStringLiteral("clicked ") + token);
    } else if (line.startsWith(u"menu ")) {
        const QString label = line.mid(5);
        const int id = MenuRowId(bus, item, label);
        if (id >= 0) {
            QDBusMessage click = QDBusMessage::createMethodCall(item, "/MenuBar", "com.canonical.dbusmenu", "Event");
            click << id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(QString())) << 0U;
            bus.call(click, QDBus::Block, 5000);
        }
        Say((id >= 0 ? QStringLiteral("chose ") : QStringLiteral("no-row ")) + label);
    } else {
        Say(QStringLiteral("unknown ") + line);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--token") {
        const QString token = runtime::RequestActivationToken(QStringLiteral("stand-in-launcher"), 2000);
        Say(token);
        return token.isEmpty() ? 1 : 0;
    }
    testsupport::StandInTrayHost host(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("panel"));
    if (!host.Up()) {
        std::fprintf(stderr, "tray_panel_standin: no session bus, or the watcher name is taken\n");
        return 1;
    }
    host.AnnounceHost();
    qsizetype told = 0;
    QTimer itemWatch;
    QObject::connect(&itemWatch, &QTimer::timeout, [&] {
        for (; told < host.items.size(); ++told)
            Say(QStringLiteral("item ") + host.items[told]);
    });
    itemWatch.start(50);
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string line;
        do {
            if (!std::getline(std::cin, line)) {
                QCoreApplication::quit();
                return;
            }
            Command(host, QString::fromStdString(line).trimmed());
        } while (std::cin.rdbuf()->in_avail() > 0);
    });
    return QCoreApplication::exec();
}
