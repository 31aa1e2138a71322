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

RunResult RunChild(const QStringList& arguments, int64_t limitMs, const BytesHandler& onBytes)
{
    if (arguments.isEmpty())
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
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    CloseIfOpen(outPipe[1]);
    CloseIfOpen(errPipe[1]);
    if (spawned != 0) {
        CloseIfOpen(outPipe[0]);
        CloseIfOpen(errPipe[0]);
        return {};
    }

    int64_t deadline = limitMs > 0 ? NowMs() + limitMs : -1;
    bool killed = false;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    char buffer[65536];
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        int waitMs = -1;
        if (deadline >= 0)
            waitMs = int(std::max<int64_t>(deadline - NowMs(), 0));
        const int ready = ::poll(fds, 2, waitMs);
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
    return {true, killed ? -1 : status};
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
