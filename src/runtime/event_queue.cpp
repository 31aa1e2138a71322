#include "runtime/event_queue.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace runtime {

namespace {

struct InputNotification
{
    int32_t message = 0;
    int64_t param = 0;
};

struct ThreadEvents
{
    std::deque<Event> queue;
    std::deque<InputNotification> input;
    Event current;
    int64_t lastParam = 0;
    int changeDepth = 0;
    std::unique_ptr<QTimer> wakeTimer; // ends a timed wait
};

// One lock for every thread's queue.
std::mutex queueLock;
thread_local ThreadEvents events;

QPointer<QObject> eventThreadTarget; // lives in the GUI thread

constexpr int32_t FoldableKindLimit = 65536;

bool Dequeue(ThreadEvents& e)
{
    std::lock_guard lock(queueLock);
    e.current.kind = 0;
    e.current.type = -1;
    if (e.queue.empty())
        return false;
    e.current = e.queue.front();
    e.queue.pop_front();
    e.lastParam = 0;
    return true;
}

bool TakeInput(ThreadEvents& e, int32_t& message)
{
    std::lock_guard lock(queueLock);
    if (e.input.empty())
        return false;
    message = e.input.front().message;
    e.lastParam = e.input.front().param;
    e.input.pop_front();
    return true;
}

/// Lets Qt deliver pending events, waiting at most `timeoutMs` for the first.
void Pump(int32_t timeoutMs)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr) {
        if (timeoutMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return;
    }
    if (timeoutMs == 0) {
        dispatcher->processEvents(QEventLoop::AllEvents);
        return;
    }
    if (timeoutMs < 0) {
        dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        return;
    }
    // One call handles what is pending and otherwise sleeps until the next
    // event or the wake-up. The wake-up lives for this wait only: left
    // running, it would go on waking the thread inside message boxes and
    // menus, and cut the next unlimited wait short.
    if (!events.wakeTimer) {
        events.wakeTimer = std::make_unique<QTimer>();
        events.wakeTimer->setTimerType(Qt::PreciseTimer);
        events.wakeTimer->setSingleShot(true);
    }
    events.wakeTimer->start(timeoutMs);
    dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    events.wakeTimer->stop();
}

} // namespace

int32_t WaitEvent(int32_t timeoutMs)
{
    ThreadEvents& e = events;
    if (Dequeue(e))
        return e.current.kind;
    int32_t message = 0;
    if (TakeInput(e, message))
        return message;
    Pump(timeoutMs);
    if (TakeInput(e, message))
        return message;
    return 0;
}

int32_t PollEvent()
{
    return WaitEvent(0);
}

void DrainEvents()
{
    while (PollEvent() != 0) {
    }
}

int64_t EventWindow()
{
    return events.current.window;
}

int64_t EventObject()
{
    return events.current.object;
}

int64_t EventType()
{
    return events.current.type;
}

int64_t EventData()
{
    return events.current.data;
}

int64_t EventParam()
{
    return events.lastParam;
}

int PostEvent(int32_t kind, int64_t window, int64_t object, int64_t type)
{
    QObject* target = eventThreadTarget.data();
    if (target == nullptr)
        return 0;
    const Event event{kind, window, object, type, 0};
    const bool handed = QMetaObject::invokeMethod(
        target, [event] { InsertEvent(event, true); }, Qt::QueuedConnection);
    return handed ? 1 : 0;
}

void InsertEvent(const Event& event, bool forced)
{
    ThreadEvents& e = events;
    std::lock_guard lock(queueLock);
    if (!forced) {
        if (e.changeDepth > 0)
            return;
        if (!e.queue.empty() && event.kind < FoldableKindLimit) {
            const Event& newest = e.queue.back();
            if (newest.kind == event.kind && newest.object == event.object && newest.window == event.window &&
                newest.type == event.type)
                return;
        }
    }
    e.queue.push_back(event);
}

void InsertInputNotification(int32_t message, int64_t param)
{
    std::lock_guard lock(queueLock);
    events.input.push_back({message, param});
}

ChangeGuard::ChangeGuard()
{
    ++events.changeDepth;
}

ChangeGuard::~ChangeGuard()
{
    --events.changeDepth;
}

void WakeEventThread()
{
    // An empty call queued to the GUI thread ends its wait when delivered.
    if (QObject* target = eventThreadTarget.data())
        QMetaObject::invokeMethod(
            target, [] {}, Qt::QueuedConnection);
}

void SetEventThread()
{
    eventThreadTarget = QCoreApplication::instance();
}

} // namespace runtime
