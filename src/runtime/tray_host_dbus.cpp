#include "runtime/tray_host.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace runtime {

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");

// A watcher that does not answer within this time counts as having no host.
constexpr int AnswerTimeoutMs = 1000;

/// What the watcher has said about hosts. GUI thread only.
struct HostState
{
    bool present = false;
    /// The question asked at start is still unanswered.
    bool firstAnswerDue = false;
    /// TrayHostPresent is pumping events until that answer is in; its caller
    /// acts on the answer itself.
    bool waitingForFirstAnswer = false;
    /// Numbers the questions and the news since; an answer to an older
    /// question is stale and dropped.
    int question = 0;
    std::function<void()> onAppeared;
};

HostState& State()
{
    static HostState state;
    return state;
}

/// Records what is now known about hosts, and tells the owner of the icon
/// when one has come up.
void Learned(bool present, bool tellEvenIfKnown)
{
    HostState& s = State();
    const bool cameUp = present && (!s.present || tellEvenIfKnown);
    s.present = present;
    s.firstAnswerDue = false;
    if (cameUp && !s.waitingForFirstAnswer && s.onAppeared)
        s.onAppeared();
}

/// Asks the watcher whether a host is registered; the answer arrives while
/// the GUI thread pumps events. Nothing here waits for it: a host may be
/// reading the item at this very moment, and answers only once that is done.
void AskWatcher()
{
    HostState& s = State();
    const int question = ++s.question;
    QDBusMessage get = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << WatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* answer = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get, AnswerTimeoutMs));
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, [question](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        if (question != State().question)
            return;
        const QDBusMessage reply = call->reply();
        Learned(reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                    qvariant_cast<QDBusVariant>(reply.arguments().first()).variant().toBool(),
                false);
    });
}

/// News from the watcher that makes any answer still on its way stale.
void Overtaken()
{
    ++State().question;
}

/// Calls `handler` for each `signal` of the watcher. A bus signal can only be
/// connected to a slot, so a timer's start() relays it.
void OnWatcherSignal(QObject* owner, const QString& signal, void (*handler)())
{
    auto* relay = new QTimer(owner);
    relay->setSingleShot(true);
    relay->setInterval(0);
    QObject::connect(relay, &QTimer::timeout, handler);
    QDBusConnection::sessionBus().connect(WatcherService, WatcherPath, WatcherService, signal, relay, SLOT(start()));
}

} // namespace

bool TrayHostPresent()
{
    HostState& s = State();
    if (s.firstAnswerDue && !s.waitingForFirstAnswer) {
        // Asked at start, before the item is on the bus, so the watcher
        // answers at once; pumping (rather than blocking) keeps the item
        // answering a host that reads it meanwhile.
        s.waitingForFirstAnswer = true;
        const QDeadlineTimer deadline(AnswerTimeoutMs);
        QTimer wake; // wakes the wait below if nothing else arrives
        wake.start(AnswerTimeoutMs);
        while (s.firstAnswerDue && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        s.waitingForFirstAnswer = false;
        s.firstAnswerDue = false; // an answer later than this counts as news
    }
    return s.present;
}

void WatchTrayHost(std::function<void()> onAppeared)
{
    static QDBusServiceWatcher* watcher = nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (watcher != nullptr || !bus.isConnected())
        return;
    State().onAppeared = std::move(onAppeared);
    // The watcher service getting an owner (a panel started or restarted) or
    // losing it. A new watcher may have its hosts already: it is asked.
    watcher = new QDBusServiceWatcher(WatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged,
                     [](const QString&, const QString&, const QString& newOwner) {
                         Overtaken();
                         State().present = false;
                         if (newOwner.isEmpty())
                             State().firstAnswerDue = false;
                         else
                             AskWatcher();
                     });
    // A host registering: one more panel shows the item, so it registers
    // again even when another host was known.
    OnWatcherSignal(watcher, QStringLiteral("StatusNotifierHostRegistered"), [] {
        Overtaken();
        Learned(true, true);
    });
    // A host leaving may leave others behind: the watcher knows.
    OnWatcherSignal(watcher, QStringLiteral("StatusNotifierHostUnregistered"), [] { AskWatcher(); });
    State().firstAnswerDue = true;
    AskWatcher();
}

} // namespace runtime
