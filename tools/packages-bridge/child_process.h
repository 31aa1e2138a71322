#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace packagesbridge {

// Child processes of the bridge: started from an argument vector, never
// through a shell, with standard input from /dev/null so that no child can
// wait for an answer nobody gives.

/// Standard output (1) or standard error (2) of a child.
enum class Stream { Output = 1, Error = 2 };

/// Receives the bytes of a child's streams as they arrive.
using BytesHandler = std::function<void(Stream stream, QByteArrayView bytes)>;

/// What a child's run came to.
struct RunResult
{
    bool started = false;
    int exitStatus = -1; ///< -1 when it did not start, was killed or ran past its limit
};

/// Runs `arguments` (the program is looked up on PATH) in the bridge's
/// environment and hands everything it prints to `onBytes`. With `limitMs` > 0
/// a child still running after that long is killed. Returns when the child
/// has ended and both streams are read.
RunResult RunChild(const QStringList& arguments, int64_t limitMs, const BytesHandler& onBytes);

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
