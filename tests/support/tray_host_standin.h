#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <atomic>

namespace testsupport {

/// A session bus of our own (a dbus-daemon), ended with the object.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    /// The address to connect to; empty when the daemon did not start.
    QString Address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

/// A panel's side of the tray: owns the StatusNotifier watcher name on its own
/// connection, says a host is registered and records every item that
/// registers. Gone from the bus when destroyed. It may be moved to a thread of
/// its own, to stand for a host in another process.
class StandInTrayHost : public QDBusVirtualObject
{
public:
    StandInTrayHost(const QString& address, const QString& connectionName);
    ~StandInTrayHost() override;
    StandInTrayHost(const StandInTrayHost&) = delete;
    StandInTrayHost& operator=(const StandInTrayHost&) = delete;

    bool Up() const { return up_; }
    QDBusConnection& Connection() { return bus_; }

    /// Says one more host has registered, as a second panel does.
    void AnnounceHost();

    /// Items as registered: their service names, in order. Read it on the
    /// thread the stand-in lives on.
    QStringList items;

    /// When set, a registration is answered only once the item's title has
    /// been read from it, as hosts that read the item synchronously do.
    std::atomic<bool> readTitleFirst{false};
    /// While the title is being read, the stand-in answers nothing else.
    std::atomic<bool> readingTitle{false};
    /// Title reads the item answered with a title.
    std::atomic<int> titlesRead{0};

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QString connectionName_;
    QDBusConnection bus_;
    bool up_ = false;
};

} // namespace testsupport
