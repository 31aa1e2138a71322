#pragma once

#include <cstdint>

namespace runtime {

// Event kinds the main loop dispatches on. The first four are queued
// records; the last two are input notifications returned straight from the
// wait, one per call.
constexpr int32_t EvControl = 13100;
constexpr int32_t EvMenu = 13101;
constexpr int32_t EvTray = 13102;
constexpr int32_t EvCloseWindow = 13116;
constexpr int32_t EvKeyDown = 256;
constexpr int32_t EvMouseMove = 512;

/// One queued event. `kind` 0 means none.
struct Event
{
    int32_t kind = 0;
    int64_t window = 0;
    int64_t object = 0;
    int64_t type = 0;
    int64_t data = 0;
};

/// Takes the oldest queued event of the calling thread, else the oldest input
/// notification, else lets Qt deliver what is pending (waiting at most
/// `timeoutMs`: -1 without limit, 0 not at all) and then returns an input
/// notification that arrived meanwhile. Events raised while Qt delivers come
/// out on later calls. Returns the kind, or 0 when nothing arrived.
int32_t WaitEvent(int32_t timeoutMs);

/// WaitEvent(0): used to drain pending events during a long job.
int32_t PollEvent();

/// Lets Qt deliver everything pending and discards what it raised, so the
/// windows stay painted during a long job and nothing the user does starts a
/// second one inside it. GUI thread.
void DrainEvents();

/// Fields of the calling thread's current event. After a call that returned
/// an input notification or 0, EventType reads -1 and window/object keep the
/// values of the last queued event.
int64_t EventWindow();
int64_t EventObject();
int64_t EventType();
int64_t EventData();

/// The parameter of the last input notification (the key code of a key
/// press); 0 after a queued event.
int64_t EventParam();

/// Hands an event to the GUI thread's queue from any thread; it is appended,
/// never dropped or folded, when the GUI thread next pumps. 1 when handed
/// over, 0 when there is no GUI thread to take it.
int PostEvent(int32_t kind, int64_t window, int64_t object, int64_t type);

/// Appends an event to the calling thread's queue. Unless `forced`, it is
/// dropped while the thread is changing a control itself (ChangeGuard), and
/// folded into the newest queued event when it repeats it exactly (kind
/// below 65536, same window, object and type).
void InsertEvent(const Event& event, bool forced = false);

/// Records an input notification (EvKeyDown with its key code, EvMouseMove)
/// for the calling thread; WaitEvent returns them one per call, in order.
void InsertInputNotification(int32_t message, int64_t param);

/// While alive, the calling thread's own control changes raise no events.
struct ChangeGuard
{
    ChangeGuard();
    ~ChangeGuard();
    ChangeGuard(const ChangeGuard&) = delete;
    ChangeGuard& operator=(const ChangeGuard&) = delete;
};

/// Ends the GUI thread's current wait (or its next one), so that the main
/// loop looks at what a worker has just published. Any thread.
void WakeEventThread();

/// Makes the calling thread the one PostEvent delivers to. Start-up calls it
/// on the GUI thread once a QCoreApplication exists.
void SetEventThread();

} // namespace runtime
