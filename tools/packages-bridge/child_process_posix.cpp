#include "child_process.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace packagesbridge {

namespace {

int64_t NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void CloseIfOpen(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// A stop signal writes a byte here, so a wait in poll() that began just
// before it still wakes; the flag answers StopRequested.
int stopPipe[2] = {-1, -1};
volatile sig_atomic_t stopFlag = 0;

void OnStopSignal(int)
{
    const int savedErrno = errno;
    stopFlag = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(stopPipe[1], &byte, 1);
    errno = savedErrno;
}

/// Waits for `pid` and turns its end into an exit status; -1 for a signal.
int Reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

bool WatchStopSignals()
{
    if (stopPipe[0] >= 0 || ::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        if (::sigaction(signal, &action, nullptr) != 0)
            return false;
    }
    return true;
}

bool StopRequested()
{
    return stopFlag != 0;
}

RunResult RunChild(const QStringList& arguments, int64_t limitMs, const BytesHandler& onBytes)
{
    if (arguments.isEmpty() || StopRequested())
        return {};
    std::vector<std::string> words;
    for (const QString& argument : arguments)
        words.push_back(QFile::encodeName(argument).toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return {};
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        CloseIfOpen(outPipe[0]);
        CloseIfOpen(outPipe[1]);
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    // The child starts with the signals' usual effect, not the bridge's
    // handler.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    CloseIfOpen(outPipe[1]);
    CloseIfOpen(errPipe[1]);
    if (spawned != 0) {
        CloseIfOpen(outPipe[0]);
        CloseIfOpen(errPipe[0]);
        return {};
    }

    int64_t deadline = limitMs > 0 ? NowMs() + limitMs : -1;
    bool killed = false;
    bool stopping = false;
    pollfd fds[3] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    char buffer[65536];
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (StopRequested() && !stopping && !killed) {
            // Asked to stop: the child first, so nothing is left half done
            // behind the bridge's back.
            ::kill(pid, SIGTERM);
            stopping = true;
            fds[2].fd = -1;
            deadline = NowMs() + ChildStopGraceMs;
        }
        int waitMs = -1;
        if (deadline >= 0)
            waitMs = int(std::max<int64_t>(deadline - NowMs(), 0));
        const int ready = ::poll(fds, 3, waitMs);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready == 0) {
            // Past its time: end it, then read what it left for a moment; a
            // helper it started may hold the pipes open much longer.
            if (killed)
                break;
            ::kill(pid, SIGKILL);
            killed = true;
            deadline = NowMs() + 1000;
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0 && onBytes)
                onBytes(i == 0 ? Stream::Output : Stream::Error, QByteArrayView(buffer, got));
            else if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
                CloseIfOpen(fds[i].fd);
        }
    }
    CloseIfOpen(fds[0].fd);
    CloseIfOpen(fds[1].fd);
    const int status = Reap(pid);
    return {true, killed || stopping ? -1 : status};
}

std::optional<int64_t> NextChildLimitMs(int64_t limitMs, const std::function<int64_t()>& elapsedMs)
{
    // One reading: a second one could fall past the limit after the test and
    // hand the child no limit at all.
    const int64_t left = limitMs - elapsedMs();
    if (left <= 0)
        return std::nullopt;
    return left;
}

Captured RunCaptured(const QStringList& arguments, int64_t limitMs)
{
    Captured captured;
    captured.run = RunChild(arguments, limitMs, [&captured](Stream stream, QByteArrayView bytes) {
        (stream == Stream::Output ? captured.output : captured.error).append(bytes);
    });
    return captured;
}

} // namespace packagesbridge
