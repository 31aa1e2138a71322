#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace runtime {

// Child processes with redirected standard streams, started directly from an
// argument vector: no shell ever reads the arguments, so text that came from
// another program's output reaches the child exactly as one argument.

/// Run flags (bits). The updater passes all five.
constexpr uint32_t RunHidden = 2; ///< no window of its own (always so on Linux)
constexpr uint32_t RunOpen = 4;   ///< return a record for the operations below
constexpr uint32_t RunRead = 8;   ///< standard output to a pipe the parent reads
constexpr uint32_t RunWrite = 16; ///< standard input from a pipe the parent writes
constexpr uint32_t RunError = 32; ///< standard error to a second pipe the parent reads
constexpr uint32_t RunAll = RunHidden | RunOpen | RunRead | RunWrite | RunError;

/// A started child and the parent's ends of its pipes. Opaque; valid from
/// ProcessRun to ProcessClose. All operations on one record come from one thread.
struct Process;

/// The value of an environment variable as it is (names are case-sensitive
/// on Linux); empty when it is not set. Any thread.
QString GetEnvironmentValue(const QString& name);

/// The command line that shows what runs: the program in double quotes
/// (unless it already begins with one), then one space and the parameters
/// when there are any. For display only: nothing is ever run from it. Pure.
QString ProcessCommandLine(const QString& program, const QString& parameters);

/// Starts `arguments[0]` (a path, or a name looked up on PATH; a path wrapped
/// in double quotes loses them) with the rest as its arguments, the parent's
/// environment, and `workingDirectory` (empty: the current one). Streams not
/// asked for by `flags` stay the parent's. The child gets its own process
/// group, so ProcessKill ends what it started too. Null when it could not be
/// started or without RunOpen.
Process* ProcessRun(const QStringList& arguments, const QString& workingDirectory, uint32_t flags);

/// True while the child runs, and after it ended for as long as bytes wait
/// unread in its output pipe (the error pipe does not count).
bool ProcessIsRunning(Process* process);

/// Bytes waiting in the output pipe; never blocks. 0 on any failure.
uint32_t ProcessOutputAvailable(Process* process);

/// One line of standard output, read a byte at a time: a line feed ends it
/// and is dropped, carriage returns are dropped wherever they stand, the end
/// of the stream ends it with what was gathered. Decoded from UTF-8, a
/// malformed sequence as U+FFFD. Blocks until the line is complete, or, with
/// `idleLimitMs` >= 0, until no byte came for that long; `gaveUp` then says so.
QString ProcessReadLine(Process* process, int64_t idleLimitMs = -1, bool* gaveUp = nullptr);

/// At most one line of standard error, taken only from bytes already
/// waiting; empty at once when none wait. Never blocks.
QString ProcessReadErrorLine(Process* process);

/// Writes `text` as UTF-8 to standard input in one write, nothing added. A
/// child that closed its input is ignored (no SIGPIPE reaches the program).
void ProcessWrite(Process* process, const QString& text);

/// Ends the child and its process group at once (SIGKILL) and reaps it.
/// The record stays valid until ProcessClose.
void ProcessKill(Process* process);

/// Closes the pipes and releases the record. Does not end the child; one
/// that already ended is reaped.
void ProcessClose(Process* process);

} // namespace runtime
