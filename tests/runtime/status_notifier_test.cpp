#include "runtime/status_notifier.h"
#include "runtime/tray_host.h"
#include "support/tray_host_standin.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The item and the host watch in this process, on a private session bus: the
// item's and the watch's state is per process, so one bus serves the suite.

namespace {

class StatusNotifier : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        desktop = new testsupport::PrivateBus;
        // Read by Qt when the session bus is first used, which is in here.
        qputenv("DBUS_SESSION_BUS_ADDRESS", desktop->Address().toUtf8());
    }
    static void TearDownTestSuite()
    {
        runtime::HideStatusNotifier();
        delete desktop;
        desktop = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(desktop->Address().startsWith("unix:")) << desktop->Address().toStdString(); }

    static testsupport::PrivateBus* desktop;
};

testsupport::PrivateBus* StatusNotifier::desktop = nullptr;

/// Pumps the GUI thread's events until `done` or 10 s have passed.
bool PumpUntil(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

/// The interfaces an introspection answer names; empty when it is no
/// well-formed XML.
QStringList InterfacesIn(const QString& xml)
{
    QStringList names;
    QXmlStreamReader reader(xml);
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        if (reader.isStartElement() && reader.name() == u"interface")
            names << reader.attributes().value("name").toString();
    }
    return reader.hasError() ? QStringList() : names;
}

} // namespace

TEST_F(StatusNotifier, IntrospectionDescribesTheItemAndItsMenu)
{
    testsupport::StandInTrayHost host(desktop->Address(), "introspection-host");
    ASSERT_TRUE(host.Up());
    ASSERT_TRUE(runtime::ShowStatusNotifier("Zorvane", {}, {}));
    ASSERT_TRUE(PumpUntil([&] { return !host.items.isEmpty(); }));

    const struct
    {
        const char* path;
        const char* interface;
    } rows[] = {
        {"/StatusNotifierItem", "org.kde.StatusNotifierItem"},
        {"/MenuBar", "com.canonical.dbusmenu"},
    };
    for (const auto& r : rows) {
        QDBusMessage introspect = QDBusMessage::createMethodCall(host.items.last(), r.path,
                                                                 "org.freedesktop.DBus.Introspectable", "Introspect");
        const QDBusMessage reply = host.Connection().call(introspect, QDBus::BlockWithGui, 5000);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << r.path << ": " << reply.errorName().toStdString();
        const QStringList interfaces = InterfacesIn(reply.arguments().value(0).toString());
        for (const char* expected :
             {r.interface, "org.freedesktop.DBus.Properties", "org.freedesktop.DBus.Introspectable"})
            EXPECT_TRUE(interfaces.contains(expected)) << r.path << " lacks " << expected;
    }
    runtime::HideStatusNotifier();
}

TEST_F(StatusNotifier, AHostReadingTheItemAsItRegistersDoesNotHoldUpTheProgram)
{
    // The host runs on a thread of its own, as it would in its own process,
    // and reads the item's title before it answers the registration.
    auto host = std::make_unique<testsupport::StandInTrayHost>(desktop->Address(), "reading-host");
    ASSERT_TRUE(host->Up());
    host->readTitleFirst = true;
    QThread hostThread;
    host->moveToThread(&hostThread);
    hostThread.start();

    runtime::WatchTrayHost([] {});
    EXPECT_TRUE(runtime::TrayHostPresent()); // the answer to the question asked at start
    ASSERT_TRUE(runtime::ShowStatusNotifier("Zorvane", {}, {}));
    // The host now waits for the item, which answers once this thread pumps.
    const QDeadlineTimer deadline(10000);
    while (!host->readingTitle && !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_TRUE(host->readingTitle);
    EXPECT_TRUE(runtime::TrayHostPresent()) << "asked the host, which was waiting for the item";
    EXPECT_TRUE(PumpUntil([&] { return host->titlesRead == 1; }));

    runtime::HideStatusNotifier();
    hostThread.quit();
    hostThread.wait();
}

TEST_F(StatusNotifier, TheHostsActivationTokenArrivesBeforeTheClickItIsFor)
{
    testsupport::StandInTrayHost host(desktop->Address(), "token-host");
    ASSERT_TRUE(host.Up());
    QStringList seen; // tokens and clicks, in the order they reached the program
    runtime::StatusNotifierHandlers handlers;
    handlers.activate = [&] { seen << "click"; };
    handlers.activationToken = [&](const QString& token) { seen << token; };
    ASSERT_TRUE(runtime::ShowStatusNotifier("Zorvane", {}, handlers));
    ASSERT_TRUE(PumpUntil([&] { return !host.items.isEmpty(); }));

    const struct
    {
        const char* name;
        const char* token;
        QStringList seen;
    } rows[] = {
        {"a token", "3a45f180a01626df", {"3a45f180a01626df", "click"}},
        {"an unusable token is not passed on", "two words", {"click"}},
    };
    for (const auto& r : rows) {
        seen.clear();
        const auto call = [&](const char* method, const QVariantList& arguments) {
            QDBusMessage message = QDBusMessage::createMethodCall(host.items.last(), "/StatusNotifierItem",
                                                                  "org.kde.StatusNotifierItem", method);
            message.setArguments(arguments);
            host.Connection().send(message);
        };
        call("ProvideXdgActivationToken", {QString::fromLatin1(r.token)});
        call("Activate", {0, 0});
        EXPECT_TRUE(PumpUntil([&] { return seen.contains("click"); })) << r.name;
        EXPECT_EQ(seen, r.seen) << r.name;
    }
    runtime::HideStatusNotifier();
}
