#include "runtime/process.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace runtime {

struct Process
{
    pid_t pid = -1;
    int output = -1; // parent's read end of the child's standard output
    int input = -1;  // parent's write end of the child's standard input
    int error = -1;  // parent's read end of the child's standard error
    uint32_t flags = 0;
    bool ended = false; // reaped
};

namespace {

std::mutex RecordsLock;
std::vector<std::unique_ptr<Process>> Records; // guarded by RecordsLock

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

/// One line from `fd`, a byte per read. `byteLimit` < 0 means none.
QString ReadLineFrom(int fd, int64_t byteLimit, int64_t idleLimitMs, bool* gaveUp)
{
    QByteArray bytes;
    bytes.reserve(4096);
    int64_t taken = 0;
    while (fd >= 0 && (byteLimit < 0 || taken < byteLimit)) {
        if (idleLimitMs >= 0) {
            pollfd watch{fd, POLLIN, 0};
            const int ready = ::poll(&watch, 1, static_cast<int>(std::min<int64_t>(idleLimitMs, INT32_MAX)));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0) {
                if (gaveUp != nullptr)
                    *gaveUp = true;
                break;
            }
        }
        char byte = 0;
        const ssize_t got = ::read(fd, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        ++taken;
        if (byte == '\n')
            break;
        if (byte != '\r') // a progress display rewritten with CR joins into one line
            bytes.append(byte);
    }
    return QString::fromUtf8(bytes);
}

void Reap(Process* process, bool wait)
{
    if (process->ended)
        return;
    int status = 0;
    const pid_t got = ::waitpid(process->pid, &status, wait ? 0 : WNOHANG);
    // ECHILD: someone else reaped it (or children are auto-reaped); either
    // way it is gone.
    if (got == process->pid || (got < 0 && errno == ECHILD))
        process->ended = true;
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
    record->input = in[1];
    record->output = out[0];
    record->error = err[0];
    record->flags = flags;
    Process* handle = record.get();
    const std::lock_guard lock(RecordsLock);
    Records.push_back(std::move(record));
    return handle;
}

bool ProcessIsRunning(Process* process)
{
    if (process == nullptr)
        return false;
    Reap(process, false);
    // Output written just before the exit still counts, so a reader that goes
    // on while this is true gets all of it.
    return !process->ended || BytesWaiting(process->output) > 0;
}

uint32_t ProcessOutputAvailable(Process* process)
{
    return process != nullptr ? BytesWaiting(process->output) : 0;
}

QString ProcessReadLine(Process* process, int64_t idleLimitMs, bool* gaveUp)
{
    if (gaveUp != nullptr)
        *gaveUp = false;
    return process != nullptr ? ReadLineFrom(process->output, -1, idleLimitMs, gaveUp) : QString();
}

QString ProcessReadErrorLine(Process* process)
{
    if (process == nullptr)
        return QString();
    const uint32_t waiting = BytesWaiting(process->error);
    if (waiting == 0)
        return QString();
    return ReadLineFrom(process->error, waiting, -1, nullptr);
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
    ssize_t written = -1;
    do {
        written = ::write(process->input, bytes.constData(), static_cast<size_t>(bytes.size()));
    } while (written < 0 && errno == EINTR);
    if (written < 0 && errno == EPIPE && sigismember(&pendingBefore, SIGPIPE) == 0) {
        const timespec now{0, 0};
        ::sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

void ProcessKill(Process* process)
{
    if (process == nullptr || process->ended)
        return;
    ::kill(-process->pid, SIGKILL);
    ::kill(process->pid, SIGKILL);
    Reap(process, true);
}

void ProcessClose(Process* process)
{
    if (process == nullptr)
        return;
    CloseFd(process->output);
    CloseFd(process->input);
    CloseFd(process->error);
    Reap(process, false);
    const std::lock_guard lock(RecordsLock);
    std::erase_if(Records, [process](const std::unique_ptr<Process>& record) { return record.get() == process; });
}

} // namespace runtime
