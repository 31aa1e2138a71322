#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

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

/// The longest line, in bytes, handed out whole; a longer one comes out in
/// pieces of at most this many bytes, so no line makes memory grow unbounded.
constexpr qsizetype ProcessLineLimit = 1024 * 1024;

/// How long a child told to end (SIGTERM to its process group) gets before it
/// is killed (SIGKILL), in milliseconds.
constexpr int64_t ProcessEndGraceMs = 3000;

/// One of the child's two output streams.
enum class ProcessStream { Output, Error };

/// A line as the program reads it from a tool: decoded from UTF-8 (a
/// malformed sequence as U+FFFD), carriage returns dropped wherever they
/// stand (a progress display rewritten with CR joins into one line), every
/// other control character made a blank. Pure, any thread.
QString ToolLineText(QByteArrayView bytes);

/// True while the child runs, and after it ended for as long as bytes wait
/// unread in its output pipe or in the record (the error stream does not
/// count).
bool ProcessIsRunning(Process* process);

/// Bytes of standard output read into the record or waiting in the pipe;
/// never blocks. 0 on any failure.
uint32_t ProcessOutputAvailable(Process* process);

/// Reads what waits on both pipes, in blocks, into the record, waiting up to
/// `timeoutMs` (-1: no limit) for the child to print or end when nothing
/// waits. Both streams are read whichever the caller is after, so a child
/// that fills one pipe while the caller waits for the other never stalls;
/// a stream holding ProcessLineLimit unread bytes is left until lines are
/// taken from it. False once the child has ended and nothing more waits:
/// what the record holds then comes out of ProcessTakeLine, unfinished
/// lines included.
bool ProcessWaitOutput(Process* process, int64_t timeoutMs);

/// The next line of `stream` already read into the record, as ToolLineText;
/// never reads or blocks. A line feed ends a line and is dropped; a line
/// longer than ProcessLineLimit comes out in pieces; an unfinished line comes
/// out once its stream has ended or the child has ended with nothing more
/// waiting. None when no line is complete.
std::optional<QString> ProcessTakeLine(Process* process, ProcessStream stream);

/// One line of standard output, as ProcessTakeLine; blocks until it is
/// complete or the output ends, and then returns what was gathered. Standard
/// error is read meanwhile and kept for ProcessReadErrorLine; a child that
/// writes more than ProcessLineLimit to it before the line comes waits.
QString ProcessReadLine(Process* process);

/// One line of standard error from what already waits, as ProcessTakeLine;
/// empty at once when no whole line waits. Never blocks.
QString ProcessReadErrorLine(Process* process);

/// Writes `text` as UTF-8 to standard input, all of it (a partial write goes
/// on with the rest), nothing added. A child that closes its input before or
/// during the write is ignored: the rest is dropped and no SIGPIPE reaches the
/// program.
void ProcessWrite(Process* process, const QString& text);

/// The child's exit status (0-255) once it has ended; -1 while it runs, when
/// a signal ended it, or when it could not be learnt.
int ProcessExitStatus(Process* process);

/// Ends the child and its process group at once (SIGKILL) and reaps it.
/// The record stays valid until ProcessClose.
void ProcessKill(Process* process);

/// Ends the child the way the program ends every tool it started: SIGTERM
/// to its process group, so that the tool can stop what it started cleanly;
/// SIGKILL to the group after `graceMs` or once the child has ended,
/// whichever comes first; then reaps it. Returns at the latest after
/// `graceMs`. The record stays valid until ProcessClose.
void ProcessEnd(Process* process, int64_t graceMs);

/// ProcessEnd for every child the program started that has not been reaped,
/// closed ones included, all in one grace period. For the quit. Any thread.
void EndAllProcesses(int64_t graceMs);

/// Closes the pipes and releases the record. Does not end the child: one
/// that already ended is reaped, one still running is reaped by a later
/// ProcessRun, ProcessClose or EndAllProcesses once it has ended, so it
/// never stays a zombie.
void ProcessClose(Process* process);

} // namespace runtime
