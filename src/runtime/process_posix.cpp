#include "runtime/process.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace runtime {

namespace {

/// Bytes read from one pipe and not yet handed out as lines.
struct StreamBuffer
{
    QByteArray bytes;
    qsizetype start = 0;   // the first byte not handed out yet
    qsizetype scanned = 0; // bytes from start known to hold no line feed
    bool ended = false;    // the pipe reached its end (or failed)

    qsizetype Held() const { return bytes.size() - start; }
};

} // namespace

struct Process
{
    pid_t pid = -1;
    int output = -1; // parent's read end of the child's standard output
    int input = -1;  // parent's write end of the child's standard input
    int error = -1;  // parent's read end of the child's standard error
    int pidfd = -1;  // readable once the child has ended; -1 where the kernel has none
    uint32_t flags = 0;
    bool ended = false; // reaped
    int exitStatus = -1;
    bool finished = false; // ended, and nothing more waited in its pipes
    StreamBuffer outputBuffer;
    StreamBuffer errorBuffer;
};

namespace {

/// How much one read takes from a pipe: a pipe's usual capacity.
constexpr qsizetype ReadBlock = 65536;

std::mutex RecordsLock;
std::vector<std::unique_ptr<Process>> Records; // guarded by RecordsLock
/// Children closed while still running, reaped once they end. Guarded by
/// RecordsLock.
std::vector<pid_t> Unreaped;

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

/// Moves a descriptor above the three standard ones, so that placing one
/// pipe end on 0, 1 or 2 in the child can never overwrite another end (a
/// program started with a standard stream closed gets low numbers from pipe2).
bool AboveStandardStreams(int& fd)
{
    if (fd > 2)
        return true;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    fd = moved;
    return fd >= 0;
}

/// A pipe whose two ends close on exec: the child gets its end through dup2,
/// which clears the flag on the copy, and no other child inherits either end.
bool MakePipe(int ends[2])
{
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    return AboveStandardStreams(ends[0]) && AboveStandardStreams(ends[1]);
}

uint32_t BytesWaiting(int fd)
{
    int count = 0;
    if (fd < 0 || ::ioctl(fd, FIONREAD, &count) != 0 || count < 0)
        return 0;
    return static_cast<uint32_t>(count);
}

int& FdOf(Process* process, ProcessStream stream)
{
    return stream == ProcessStream::Output ? process->output : process->error;
}

StreamBuffer& BufferOf(Process* process, ProcessStream stream)
{
    return stream == ProcessStream::Output ? process->outputBuffer : process->errorBuffer;
}

/// One read of at most ReadBlock bytes from `fd` into `buffer`; the end of
/// the pipe, or a failure, marks it ended. False when nothing came.
bool ReadBlockInto(int fd, StreamBuffer& buffer)
{
    if (fd < 0 || buffer.ended)
        return false;
    // Bytes already handed out are dropped before the buffer grows, so it
    // holds at most about ProcessLineLimit plus one block.
    if (buffer.start > 0 && buffer.start >= buffer.bytes.size() / 2) {
        buffer.bytes.remove(0, buffer.start);
        buffer.start = 0;
    }
    const qsizetype had = buffer.bytes.size();
    buffer.bytes.resize(had + ReadBlock);
    ssize_t got = -1;
    do {
        got = ::read(fd, buffer.bytes.data() + had, static_cast<size_t>(ReadBlock));
    } while (got < 0 && errno == EINTR);
    buffer.bytes.resize(had + std::max<ssize_t>(got, 0));
    if (got < 0 && errno == EAGAIN)
        return false;
    if (got <= 0) {
        buffer.ended = true;
        return false;
    }
    return true;
}

/// Reaps the child when it has ended, keeping its exit status; with `wait`,
/// waits for it.
void Reap(Process* process, bool wait)
{
    if (process->ended)
        return;
    int status = 0;
    pid_t got = -1;
    do {
        got = ::waitpid(process->pid, &status, wait ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    // ECHILD: someone else reaped it (or children are auto-reaped); either
    // way it is gone, its status unknown.
    if (got == process->pid) {
        process->ended = true;
        process->exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    } else if (got < 0 && errno == ECHILD) {
        process->ended = true;
    }
    if (process->ended && process->pidfd >= 0) {
        ::close(process->pidfd);
        process->pidfd = -1;
    }
}

/// Reaps the closed children that have ended since. RecordsLock held.
void ReapUnreaped()
{
    std::erase_if(Unreaped, [](pid_t pid) {
        const pid_t got = ::waitpid(pid, nullptr, WNOHANG);
        return got == pid || (got < 0 && errno == ECHILD);
    });
}

/// Whether the child has ended without being reaped yet: its process group
/// then still exists (the zombie holds its number), so signalling the group
/// cannot reach anyone else.
bool EndedUnreaped(pid_t pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

/// SIGTERM to every group in `pids`, then, once each leader has ended or
/// `graceMs` has passed, SIGKILL to every group, so nothing a tool started
/// outlives it. Leaves the leaders to be reaped.
void EndGroups(const std::vector<pid_t>& pids, int64_t graceMs)
{
    for (const pid_t pid : pids) {
        ::kill(-pid, SIGTERM);
        ::kill(pid, SIGTERM); // a child that left its group
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    const auto allEnded = [&pids] {
        return std::all_of(pids.begin(), pids.end(), [](pid_t pid) { return EndedUnreaped(pid); });
    };
    while (!allEnded() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    for (const pid_t pid : pids) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
}

/// Reads what waits in `stream`'s pipe right now, without waiting, up to the
/// buffer's limit.
void ReadWaiting(Process* process, ProcessStream stream)
{
    StreamBuffer& buffer = BufferOf(process, stream);
    while (buffer.Held() < ProcessLineLimit && BytesWaiting(FdOf(process, stream)) > 0 &&
           ReadBlockInto(FdOf(process, stream), buffer)) {
    }
}

} // namespace

QString GetEnvironmentValue(const QString& name)
{
    return QString::fromLocal8Bit(qgetenv(name.toLocal8Bit().constData()));
}

QString ProcessCommandLine(const QString& program, const QString& parameters)
{
    QString line = program.startsWith(u'"') ? program : u'"' + program + u'"';
    if (!parameters.isEmpty())
        line += u' ' + parameters;
    return line;
}

namespace {

/// Starts the child with the pipe ends as its standard streams, in
/// `directory` when given; its pid, or -1.
pid_t Spawn(char* const argv[], const int in[2], const int out[2], const int err[2], const QByteArray& directory)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in[0] >= 0)
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    if (out[1] >= 0)
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (err[1] >= 0)
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    if (!directory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, directory.constData());

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The child starts with no blocked signals and the usual dispositions,
    // whatever this program ignores, and in a group of its own.
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = -1;
    const int failed = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return failed == 0 ? pid : -1;
}

} // namespace

Process* ProcessRun(const QStringList& arguments, const QString& workingDirectory, uint32_t flags)
{
    if (arguments.isEmpty() || (flags & RunOpen) == 0)
        return nullptr;
    QString program = arguments.front();
    if (program.size() >= 2 && program.startsWith(u'"') && program.endsWith(u'"'))
        program = program.mid(1, program.size() - 2);
    if (program.isEmpty())
        return nullptr;

    std::vector<QByteArray> storage;
    storage.reserve(static_cast<size_t>(arguments.size()));
    storage.push_back(program.toUtf8());
    for (qsizetype i = 1; i < arguments.size(); ++i)
        storage.push_back(arguments[i].toUtf8());
    std::vector<char*> argv;
    for (QByteArray& bytes : storage)
        argv.push_back(bytes.data());
    argv.push_back(nullptr);

    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    const auto closeAll = [&] {
        for (int* fd : {&in[0], &in[1], &out[0], &out[1], &err[0], &err[1]})
            CloseFd(*fd);
    };
    if (((flags & RunWrite) != 0 && !MakePipe(in)) || ((flags & RunRead) != 0 && !MakePipe(out)) ||
        ((flags & RunError) != 0 && !MakePipe(err))) {
        closeAll();
        return nullptr;
    }

    const pid_t pid = Spawn(argv.data(), in, out, err, workingDirectory.toUtf8());
    if (pid < 0) {
        closeAll();
        return nullptr;
    }
    CloseFd(in[0]);
    CloseFd(out[1]);
    CloseFd(err[1]);

    auto record = std::make_unique<Process>();
    record->pid = pid;
    // glibc's own wrapper cannot be linked from C++ here (its header lacks
    // C linkage); the kernel's pidfd comes close-on-exec.
    record->pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    record->input = in[1];
    record->output = out[0];
    record->error = err[0];
    record->flags = flags;
    Process* handle = record.get();
    const std::lock_guard lock(RecordsLock);
    ReapUnreaped();
    Records.push_back(std::move(record));
    return handle;
}

QString ToolLineText(QByteArrayView bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.remove(u'\r');
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text;
}

bool ProcessIsRunning(Process* process)
{
    if (process == nullptr)
        return false;
    Reap(process, false);
    // Output written just before the exit still counts, so a reader that goes
    // on while this is true gets all of it.
    return !process->ended || process->outputBuffer.Held() > 0 || BytesWaiting(process->output) > 0;
}

uint32_t ProcessOutputAvailable(Process* process)
{
    if (process == nullptr)
        return 0;
    const qsizetype held = process->outputBuffer.Held() + BytesWaiting(process->output);
    return static_cast<uint32_t>(std::min<qsizetype>(held, UINT32_MAX));
}

bool ProcessWaitOutput(Process* process, int64_t timeoutMs)
{
    if (process == nullptr)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max<int64_t>(timeoutMs, 0));
    for (;;) {
        Reap(process, false);
        pollfd watch[3];
        ProcessStream streams[2];
        nfds_t count = 0;
        for (const ProcessStream stream : {ProcessStream::Output, ProcessStream::Error}) {
            const StreamBuffer& buffer = BufferOf(process, stream);
            if (FdOf(process, stream) >= 0 && !buffer.ended && buffer.Held() < ProcessLineLimit) {
                streams[count] = stream;
                watch[count++] = {FdOf(process, stream), POLLIN, 0};
            }
        }
        const nfds_t pipes = count;
        if (!process->ended && process->pidfd >= 0)
            watch[count++] = {process->pidfd, POLLIN, 0};

        if (process->ended && BytesWaiting(process->output) == 0 && BytesWaiting(process->error) == 0) {
            // Ended with its pipes empty: what a helper it left behind may
            // still write is not waited for.
            process->finished = true;
            return false;
        }
        if (count == 0 && process->ended)
            return true; // only what the caller has yet to take is left
        int waitMs = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            waitMs = static_cast<int>(std::clamp<int64_t>(left.count(), 0, INT32_MAX));
        }
        // Without a way to hear the end (a kernel without pidfd), look again
        // now and then.
        if (!process->ended && process->pidfd < 0)
            waitMs = waitMs < 0 ? 50 : std::min(waitMs, 50);
        const int ready = ::poll(watch, count, waitMs);
        if (ready < 0 && errno == EINTR)
            continue;
        bool progress = false;
        for (nfds_t i = 0; ready > 0 && i < pipes; ++i) {
            if (watch[i].revents == 0)
                continue;
            StreamBuffer& buffer = BufferOf(process, streams[i]);
            const bool wasEnded = buffer.ended;
            progress = ReadBlockInto(watch[i].fd, buffer) || buffer.ended != wasEnded || progress;
        }
        const bool wasEnded = process->ended;
        Reap(process, false);
        if (progress || process->ended != wasEnded || ready < 0)
            return true;
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline)
            return true;
    }
}

std::optional<QString> ProcessTakeLine(Process* process, ProcessStream stream)
{
    if (process == nullptr)
        return std::nullopt;
    StreamBuffer& buffer = BufferOf(process, stream);
    const qsizetype held = buffer.Held();
    if (held == 0)
        return std::nullopt;
    const qsizetype feed = buffer.bytes.indexOf('\n', buffer.start + buffer.scanned);
    qsizetype length = -1; // bytes of the line, without its line feed
    qsizetype taken = 0;   // bytes consumed, line feed included
    if (feed >= 0 && feed - buffer.start <= ProcessLineLimit) {
        length = feed - buffer.start;
        taken = length + 1;
    } else if (held >= ProcessLineLimit) {
        // A line too long to hand out whole: a piece that ends on a whole
        // character, so that no UTF-8 sequence is cut in two.
        length = ProcessLineLimit;
        const auto byteAt = [&buffer](qsizetype i) { return static_cast<uchar>(buffer.bytes[buffer.start + i]); };
        qsizetype lead = length - 1;
        int following = 0;
        while (lead > 0 && following < 3 && (byteAt(lead) & 0xC0) == 0x80) {
            --lead;
            ++following;
        }
        const uchar first = byteAt(lead);
        const int needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        if (needed > following + 1)
            length = lead; // the last character goes whole into the next piece
        taken = length;
    } else if (buffer.ended || process->finished) {
        length = held;
        taken = held;
    } else {
        buffer.scanned = held;
        return std::nullopt;
    }
    const QString line = ToolLineText(QByteArrayView(buffer.bytes).sliced(buffer.start, length));
    buffer.start += taken;
    buffer.scanned = 0;
    if (buffer.start == buffer.bytes.size()) {
        buffer.bytes.clear();
        buffer.start = 0;
    }
    return line;
}

QString ProcessReadLine(Process* process)
{
    if (process == nullptr)
        return QString();
    for (;;) {
        if (std::optional<QString> line = ProcessTakeLine(process, ProcessStream::Output))
            return *line;
        const StreamBuffer& buffer = process->outputBuffer;
        if (process->output < 0 || (buffer.ended && buffer.Held() == 0) || !ProcessWaitOutput(process, -1))
            return ProcessTakeLine(process, ProcessStream::Output).value_or(QString());
    }
}

QString ProcessReadErrorLine(Process* process)
{
    if (process == nullptr)
        return QString();
    ReadWaiting(process, ProcessStream::Error);
    return ProcessTakeLine(process, ProcessStream::Error).value_or(QString());
}

void ProcessWrite(Process* process, const QString& text)
{
    if (process == nullptr || process->input < 0)
        return;
    const QByteArray bytes = text.toUtf8();
    // A child that closed its input would raise SIGPIPE, whose default ends
    // this program. Blocked on this thread for the write, the signal stays
    // pending and is taken back below; EPIPE alone remains, and is ignored.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    sigset_t saved;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &saved);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(process->input, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break; // EPIPE: the child is not reading any more
        done += written;
    }
    // The kernel raises SIGPIPE also for a write that got part of its bytes
    // through before the child closed its input: take back whatever this
    // write raised, whatever the write returned.
    sigset_t pendingAfter;
    sigpending(&pendingAfter);
    if (sigismember(&pendingAfter, SIGPIPE) == 1 && sigismember(&pendingBefore, SIGPIPE) == 0) {
        const timespec now{0, 0};
        ::sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

int ProcessExitStatus(Process* process)
{
    if (process == nullptr)
        return -1;
    Reap(process, false);
    return process->exitStatus;
}

void ProcessKill(Process* process)
{
    if (process == nullptr || process->ended)
        return;
    ::kill(-process->pid, SIGKILL);
    ::kill(process->pid, SIGKILL);
    Reap(process, true);
}

void ProcessEnd(Process* process, int64_t graceMs)
{
    if (process == nullptr || process->ended)
        return;
    EndGroups({process->pid}, graceMs);
    Reap(process, true);
}

void EndAllProcesses(int64_t graceMs)
{
    const std::lock_guard lock(RecordsLock);
    std::vector<pid_t> pids = Unreaped;
    for (const std::unique_ptr<Process>& record : Records) {
        if (!record->ended)
            pids.push_back(record->pid);
    }
    if (pids.empty())
        return;
    EndGroups(pids, graceMs);
    for (const std::unique_ptr<Process>& record : Records)
        Reap(record.get(), true);
    for (const pid_t pid : Unreaped)
        ::waitpid(pid, nullptr, 0);
    Unreaped.clear();
}

void ProcessClose(Process* process)
{
    if (process == nullptr)
        return;
    CloseFd(process->output);
    CloseFd(process->input);
    CloseFd(process->error);
    Reap(process, false);
    CloseFd(process->pidfd);
    const std::lock_guard lock(RecordsLock);
    if (!process->ended)
        Unreaped.push_back(process->pid);
    ReapUnreaped();
    std::erase_if(Records, [process](const std::unique_ptr<Process>& record) { return record.get() == process; });
}

} // namespace runtime
