#include "content/picture_page.h"
#include "sample_site_server.h"
#include "program_environment.h"
#include "support/test_files.h"
#include "support/tray_host_standin.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

// The program in a desktop whose panel (the StatusNotifier host) starts
// before it, after it, is joined by a second one, and restarts: each time the
// icon is offered to the host, and the menu the host shows works. The desktop is a private session
// bus; the host is a stand-in watcher in this process.

namespace {

using testsupport::PrivateBus;
using testsupport::StandInTrayHost;

/// A property of the program's item.
QDBusMessage ItemProperty(QDBusConnection& bus, const QString& item, const char* name)
{
    QDBusMessage get =
        QDBusMessage::createMethodCall(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get");
    get << QStringLiteral("org.kde.StatusNotifierItem") << QString::fromLatin1(name);
    return bus.call(get, QDBus::BlockWithGui, 5000);
}

QDBusArgument Unwrapped(const QDBusMessage& reply)
{
    return qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant().value<QDBusArgument>();
}

/// The title in the item's tooltip as the host reads it from `reply` (to a
/// ToolTip property query); empty when there is none.
QString TooltipTitle(const QDBusMessage& reply)
{
    const QDBusArgument tip = Unwrapped(reply);
    QString iconName;
    QString title;
    tip.beginStructure();
    tip >> iconName;
    tip.beginArray();
    tip.endArray();
    tip >> title;
    return title;
}

/// The host's message that clicks menu row `id` of `item`.
QDBusMessage MenuClick(const QString& item, int id)
{
    QDBusMessage click = QDBusMessage::createMethodCall(item, "/MenuBar", "com.canonical.dbusmenu", "Event");
    click << id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(QString())) << 0U;
    return click;
}

struct MenuRow
{
    int id = 0;
    QString label;
    bool enabled = true;
};

/// The rows of the item's menu as a host reads them.
std::vector<MenuRow> MenuRows(QDBusConnection& bus, const QString& item)
{
    QDBusMessage getLayout = QDBusMessage::createMethodCall(item, "/MenuBar", "com.canonical.dbusmenu", "GetLayout");
    getLayout << 0 << -1 << QStringList();
    const QDBusMessage reply = bus.call(getLayout, QDBus::BlockWithGui, 5000);
    std::vector<MenuRow> rows;
    if (reply.arguments().size() != 2)
        return rows;
    const QDBusArgument root = reply.arguments()[1].value<QDBusArgument>();
    int rootId = -1;
    QVariantMap rootProperties;
    root.beginStructure();
    root >> rootId >> rootProperties;
    root.beginArray();
    while (!root.atEnd()) {
        QDBusVariant child;
        root >> child;
        const QDBusArgument node = child.variant().value<QDBusArgument>();
        MenuRow row;
        QVariantMap properties;
        node.beginStructure();
        node >> row.id >> properties;
        node.beginArray();
        node.endArray();
        node.endStructure();
        if (properties.value("type").toString() == u"separator")
            continue;
        row.label = properties.value("label").toString();
        row.enabled = properties.value("enabled", true).toBool();
        rows.push_back(row);
    }
    root.endArray();
    root.endStructure();
    return rows;
}

} // namespace

TEST(TrayHost, TheIconGoesToAHostStartedBeforeOrAfterTheProgramAndAfterItRestarts)
{
    PrivateBus desktop;
    ASSERT_TRUE(desktop.Address().startsWith("unix:")) << desktop.Address().toStdString();
    QDBusConnection client = QDBusConnection::connectToBus(desktop.Address(), "tray-test-client");
    ASSERT_TRUE(client.isConnected());

    const struct
    {
        const char* name;
        bool hostFirst;
    } rows[] = {
        {"host before the program", true},
        {"host after the program", false},
    };
    int connection = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        // The site stalls the picture download, so that it is seen when the
        // program is past its start-up.
        samplesite::Server site;
        ASSERT_TRUE(site.Start());
        site.StallPath(content::PictureChannelPath);
        auto watcher = std::make_unique<StandInTrayHost>(desktop.Address(), QString::number(++connection));
        if (!r.hostFirst)
            watcher.reset();

        QTemporaryDir programDir;
        QTemporaryDir runtimeDir;
        ASSERT_TRUE(QFile::copy(ZORVANE_PROGRAM_PATH, programDir.filePath("zorvane")));
        QProcessEnvironment env = apptest::ProgramEnvironment(runtimeDir.path(), runtimeDir.path(), site.BaseUrl());
        env.insert("DBUS_SESSION_BUS_ADDRESS", desktop.Address());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(programDir.filePath("zorvane"), {});
        ASSERT_TRUE(program.waitForStarted(5000));

        if (!r.hostFirst) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return site.StalledRequests() == 1; }, 20000));
            watcher = std::make_unique<StandInTrayHost>(desktop.Address(), QString::number(++connection));
        }
        ASSERT_TRUE(watcher->Up());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->items.isEmpty(); }, 20000));
        const QString item = watcher->items.last();

        // The icon, tooltip and title as the host reads them.
        const QDBusArgument icon = Unwrapped(ItemProperty(client, item, "IconPixmap"));
        int width = 0;
        int height = 0;
        QByteArray argb;
        icon.beginArray();
        icon.beginStructure();
        icon >> width >> height >> argb;
        icon.endStructure();
        EXPECT_EQ(QSize(width, height), QSize(16, 16));
        EXPECT_EQ(argb.size(), 16 * 16 * 4);
        EXPECT_NE(argb.count('\0'), argb.size()); // something is drawn
        // The program's name, or what its first refresh put there since.
        EXPECT_FALSE(TooltipTitle(ItemProperty(client, item, "ToolTip")).isEmpty());
        EXPECT_EQ(qvariant_cast<QDBusVariant>(ItemProperty(client, item, "Title").arguments().value(0)).variant(),
                  "Zorvane Software Updates and News");

        {
            // A second panel comes up: the item registers with it under the
            // name it has. A name dropped and taken again, however quickly,
            // makes hosts forget the item.
            int ownerChanges = 0;
            QDBusServiceWatcher owner(item, watcher->Connection(), QDBusServiceWatcher::WatchForOwnerChange);
            QObject::connect(&owner, &QDBusServiceWatcher::serviceOwnerChanged, [&] { ++ownerChanges; });
            const qsizetype registrations = watcher->items.size();
            watcher->AnnounceHost();
            ASSERT_TRUE(QTest::qWaitFor([&] { return watcher->items.size() > registrations; }, 20000));
            EXPECT_EQ(watcher->items.last(), item);
            EXPECT_EQ(ownerChanges, 0) << "the item's name was dropped for a second panel";
        }

        // The panel restarts: the icon goes to the new one.
        watcher.reset();
        watcher = std::make_unique<StandInTrayHost>(desktop.Address(), QString::number(++connection));
        ASSERT_TRUE(watcher->Up());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->items.isEmpty(); }, 20000));

        // Its menu, as the host shows it, and Quit chosen from it.
        const std::vector<MenuRow> menu = MenuRows(client, watcher->items.last());
        QStringList labels;
        int quit = -1;
        for (const MenuRow& row : menu) {
            labels << row.label;
            if (row.label == u"_Quit")
                quit = row.id;
            if (row.label == u"Refresh my _apps") {
                EXPECT_FALSE(row.enabled); // no updater here
            }
        }
        EXPECT_EQ(labels.size(), 14) << labels.join(", ").toStdString();
        EXPECT_EQ(labels.value(0), "_Show window");
        ASSERT_GE(quit, 0) << labels.join(", ").toStdString();
        // A choice made while the program still starts up is dropped, as
        // every input is until its main loop runs; choose again until it
        // takes.
        const QDBusMessage click = MenuClick(watcher->items.last(), quit);
        bool ended = false;
        for (int attempt = 0; attempt < 40 && !ended; ++attempt) {
            client.call(click, QDBus::BlockWithGui, 5000);
            ended = program.waitForFinished(500);
        }
        ASSERT_TRUE(ended) << program.readAllStandardError().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }
    QDBusConnection::disconnectFromBus("tray-test-client");
}

TEST(TrayHost, ACheckKeepsThePanelAnsweredAndAQuitEndsItAndItsToolAtOnce)
{
    PrivateBus desktop;
    ASSERT_TRUE(desktop.Address().startsWith("unix:")) << desktop.Address().toStdString();
    QDBusConnection client = QDBusConnection::connectToBus(desktop.Address(), "check-test-client");
    ASSERT_TRUE(client.isConnected());
    samplesite::Server site;
    ASSERT_TRUE(site.Start());
    StandInTrayHost watcher(desktop.Address(), "check-test-watcher");
    ASSERT_TRUE(watcher.Up());

    QTemporaryDir programDir;
    QTemporaryDir runtimeDir;
    ASSERT_TRUE(QFile::copy(ZORVANE_PROGRAM_PATH, programDir.filePath("zorvane")));
    const QString pidFile = programDir.filePath("tool.pid");
    QProcessEnvironment env = apptest::ProgramEnvironment(runtimeDir.path(), runtimeDir.path(), site.BaseUrl());
    env.insert("DBUS_SESSION_BUS_ADDRESS", desktop.Address());
    env.insert("ZORVANE_PACKAGE_MANAGER", STANDIN_PATH);
    env.insert("STANDIN_DELAY_MS", "60000"); // a list that takes a minute
    env.insert("STANDIN_PID", pidFile);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(programDir.filePath("zorvane"), {});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.items.isEmpty(); }, 20000));
    const QString item = watcher.items.last();

    int refreshApps = -1;
    for (const MenuRow& row : MenuRows(client, item)) {
        if (row.label == u"Refresh my _apps")
            refreshApps = row.id;
    }
    ASSERT_GE(refreshApps, 0);
    const QDBusMessage click = MenuClick(item, refreshApps);
    // Chosen while the program still starts up, the item is dropped; again
    // until the check runs the tool.
    for (int attempt = 0; attempt < 40 && !QFile::exists(pidFile); ++attempt) {
        client.call(click, QDBus::BlockWithGui, 5000);
        QTest::qWait(500);
    }
    ASSERT_TRUE(QFile::exists(pidFile)) << "the check never started";
    const qint64 tool = testsupport::ReadPid(pidFile);
    ASSERT_GT(tool, 0);

    // The panel asks for the tooltip while the tool works: answered, busy.
    const QDBusMessage reply = ItemProperty(client, item, "ToolTip");
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(TooltipTitle(reply), "(Refreshing)");

    // The session ends: the program quits at once, ends its tool and saves.
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(15000)) << "the quit waited for the check";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(programDir.filePath("Zorvane Software Updates and News.ini")));
    EXPECT_FALSE(testsupport::ProcessAlive(tool)) << "the tool outlived the program";
    QDBusConnection::disconnectFromBus("check-test-client");
}
