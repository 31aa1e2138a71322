#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace packagesbridge {

// Child processes of the bridge: started from an argument vector, never
// through a shell, with standard input from /dev/null so that no child can
// wait for an answer nobody gives.

/// Standard output (1) or standard error (2) of a child.
enum class Stream { Output = 1, Error = 2 };

/// Receives the bytes of a child's streams as they arrive.
using BytesHandler = std::function<void(Stream stream, QByteArrayView bytes)>;

/// How long a child asked to stop (SIGTERM) gets before it is killed, in
/// milliseconds. Shorter than the grace the program gives the bridge, so the
/// bridge still reports when the program ends it.
constexpr int64_t ChildStopGraceMs = 2000;

/// From now on SIGTERM, SIGINT and SIGHUP no longer end the bridge at once:
/// they ask it to stop. A child running then is asked to stop too (SIGTERM,
/// SIGKILL after ChildStopGraceMs) and no new one is started, so the bridge
/// ends after flatpak, which deploys a new version whole or not at all.
/// False when the signals could not be watched. Call once, first.
bool WatchStopSignals();

/// Whether the bridge has been asked to stop.
bool StopRequested();

/// What a child's run came to.
struct RunResult
{
    bool started = false;
    int exitStatus = -1; ///< -1 when it did not start, was killed or ran past its limit
};

/// Runs `arguments` (the program is looked up on PATH) in the bridge's
/// environment and hands everything it prints to `onBytes`. With `limitMs` > 0
/// a child still running after that long is killed; one running when the
/// bridge is asked to stop is stopped. Returns when the child has ended and
/// both streams are read; at once, not started, once a stop was asked.
RunResult RunChild(const QStringList& arguments, int64_t limitMs, const BytesHandler& onBytes);

/// The time limit for the next child of a job allowed `limitMs` in all, the
/// time spent so far read once from `elapsedMs`: what is left, at least 1 ms,
/// since RunChild takes 0 or less for no limit at all; none when nothing is
/// left. Pure but for the one call of `elapsedMs`.
std::optional<int64_t> NextChildLimitMs(int64_t limitMs, const std::function<int64_t()>& elapsedMs);

/// A finished child and everything it printed.
struct Captured
{
    RunResult run;
    QByteArray output;
    QByteArray error;
};

/// RunChild, keeping the two streams.
Captured RunCaptured(const QStringList& arguments, int64_t limitMs);

} // namespace packagesbridge
