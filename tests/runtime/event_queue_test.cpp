#include "runtime/event_queue.h"
#include "runtime/threads.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace runtime;

namespace {

struct Taken
{
    int32_t kind;
    int64_t window;
    int64_t object;
    int64_t type;
    bool operator==(const Taken&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Taken& t)
{
    return out << "{" << t.kind << "," << t.window << "," << t.object << "," << t.type << "}";
}

/// Takes every queued event of this thread without pumping Qt.
std::vector<Taken> TakeAll()
{
    std::vector<Taken> taken;
    for (int32_t kind; (kind = PollEvent()) != 0;)
        taken.push_back({kind, EventWindow(), EventObject(), EventType()});
    return taken;
}

Event Control(int64_t object, int64_t type = 0, int64_t window = 15)
{
    return {EvControl, window, object, type, 0};
}

} // namespace

TEST(EventQueue, RepeatsOfTheNewestEventAreFolded)
{
    TakeAll();
    const struct
    {
        const char* name;
        std::vector<Event> raised;
        size_t delivered;
    } rows[] = {
        {"two identical in a row: once", {Control(30), Control(30)}, 1},
        {"another event between: twice", {Control(30), Control(31), Control(30)}, 3},
        {"different type: twice", {Control(30, 0), Control(30, 2)}, 2},
        {"different window: twice", {Control(30, 0, 15), Control(30, 0, 0)}, 2},
        {"data is not compared", {Event{EvControl, 15, 30, 0, 1}, Event{EvControl, 15, 30, 0, 2}}, 1},
        {"kind 65536 and above never folds", {Event{65536, 1, 1, 1, 0}, Event{65536, 1, 1, 1, 0}}, 2},
        {"kind 65535 still folds", {Event{65535, 1, 1, 1, 0}, Event{65535, 1, 1, 1, 0}}, 1},
        {"a burst of ten: once", std::vector<Event>(10, Control(40, 14000)), 1},
    };
    for (const auto& r : rows) {
        for (const Event& e : r.raised)
            InsertEvent(e);
        EXPECT_EQ(TakeAll().size(), r.delivered) << r.name;
    }

    // Raised again after the first was taken: delivered again.
    InsertEvent(Control(30));
    EXPECT_EQ(PollEvent(), EvControl);
    InsertEvent(Control(30));
    EXPECT_EQ(TakeAll().size(), 1u);
}

TEST(EventQueue, OwnControlChangesRaiseNoEventsButForcedOnesPass)
{
    TakeAll();
    {
        ChangeGuard outer;
        InsertEvent(Control(30));
        {
            ChangeGuard inner;
            InsertEvent(Control(31));
        }
        InsertEvent(Control(32)); // still inside the outer change
        InsertEvent(Control(33), true);
        InsertEvent(Control(33), true); // forced events are not folded either
    }
    InsertEvent(Control(34));
    const std::vector<Taken> expected = {{EvControl, 15, 33, 0}, {EvControl, 15, 33, 0}, {EvControl, 15, 34, 0}};
    EXPECT_EQ(TakeAll(), expected);
}

TEST(EventQueue, CurrentEventFieldsAfterNothingArrived)
{
    TakeAll();
    InsertEvent(Control(27, 2, 15));
    ASSERT_EQ(WaitEvent(0), EvControl);
    EXPECT_EQ(EventType(), 2);
    EXPECT_EQ(WaitEvent(0), 0);
    EXPECT_EQ(EventType(), -1);   // no current event
    EXPECT_EQ(EventWindow(), 15); // the last queued event's window stays readable
    EXPECT_EQ(EventObject(), 27);
}

TEST(EventQueue, InputNotificationsComeOnePerCallWithTheirKeyCode)
{
    TakeAll();
    InsertInputNotification(EvKeyDown, 116);
    InsertInputNotification(EvMouseMove, 0);
    InsertInputNotification(EvKeyDown, 13);
    InsertEvent(Control(30));

    EXPECT_EQ(WaitEvent(0), EvControl); // queued events first
    EXPECT_EQ(EventParam(), 0);
    EXPECT_EQ(WaitEvent(0), EvKeyDown);
    EXPECT_EQ(EventParam(), 116);
    EXPECT_EQ(EventType(), -1);
    EXPECT_EQ(WaitEvent(0), EvMouseMove);
    EXPECT_EQ(WaitEvent(0), EvKeyDown);
    EXPECT_EQ(EventParam(), 13);
    EXPECT_EQ(WaitEvent(0), 0);
}

TEST(EventQueue, PostedEventsComeAfterQueuedOnesFromAnyThread)
{
    SetEventThread();
    TakeAll();
    InsertEvent(Control(30));
    EXPECT_EQ(PostEvent(EvControl, 15, 39, 5), 1);
    EXPECT_EQ(PostEvent(EvControl, 15, 39, 5), 1); // posted events are never folded
    std::thread worker([] { EXPECT_EQ(PostEvent(EvMenu, 15, 1, 0), 1); });
    worker.join();

    std::vector<Taken> taken;
    for (int pass = 0; pass < 100 && taken.size() < 4; ++pass) {
        const int32_t kind = WaitEvent(1);
        if (kind != 0)
            taken.push_back({kind, EventWindow(), EventObject(), EventType()});
    }
    const std::vector<Taken> expected = {
        {EvControl, 15, 30, 0}, {EvControl, 15, 39, 5}, {EvControl, 15, 39, 5}, {EvMenu, 15, 1, 0}};
    EXPECT_EQ(taken, expected);
}

TEST(EventQueue, IdleWaitsReturnNothingAndDrainingEnds)
{
    TakeAll();
    EXPECT_EQ(WaitEvent(0), 0);
    EXPECT_EQ(WaitEvent(1), 0);
    // A timer that fires during the wait is delivered by it; the wait then
    // still reports nothing of its own.
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    for (int pass = 0; pass < 100 && !fired; ++pass)
        WaitEvent(1);
    EXPECT_TRUE(fired);
    int drained = 0;
    while (PollEvent() != 0)
        ++drained;
    EXPECT_EQ(drained, 0);
}

TEST(EventQueue, AnUnlimitedWaitLastsUntilSomethingArrives)
{
    SetEventThread();
    TakeAll();
    WaitEvent(1); // a timed wait before must not cut the next unlimited one short
    std::thread worker([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostEvent(EvMenu, 15, 7, 0);
    });
    EXPECT_EQ(WaitEvent(-1), 0) << "the wait ended before anything came"; // the post itself arrives
    EXPECT_EQ(WaitEvent(0), EvMenu);
    EXPECT_EQ(EventObject(), 7);
    worker.join();

    // A worker's wake-up ends an unlimited wait without queuing anything.
    std::thread waker([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        WakeEventThread();
    });
    EXPECT_EQ(WaitEvent(-1), 0);
    waker.join();
    EXPECT_EQ(WaitEvent(0), 0);
}

TEST(EventQueue, ThreadNumbersGrowAndAreNeverReused)
{
    std::atomic<int> ran{0};
    const int64_t first = ThreadStart([&ran] { ++ran; });
    const int64_t second = ThreadStart([&ran] { ++ran; });
    ASSERT_GT(first, 0);
    EXPECT_EQ(second, first + 1);
    while (ran.load() < 2)
        std::this_thread::yield();
    const int64_t third = ThreadStart([&ran] { ++ran; });
    EXPECT_EQ(third, second + 1); // the ended threads' numbers are not handed out again
    while (ran.load() < 3)
        std::this_thread::yield();
}
