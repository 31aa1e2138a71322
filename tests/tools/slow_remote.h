#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace httplib {
class Server;
}

namespace testsupport {

/// A flatpak remote served over HTTP on 127.0.0.1 from a repository folder,
/// at a set speed, as a remote far away serves it; its objects can be held
/// back, as a remote that stalls in the middle of an update.
class SlowRemote
{
public:
    SlowRemote(const QString& folder, int64_t bytesPerSecond);
    ~SlowRemote();
    SlowRemote(const SlowRemote&) = delete;
    SlowRemote& operator=(const SlowRemote&) = delete;

    /// "http://127.0.0.1:PORT/"; empty when the server could not start.
    QString Url() const;

    /// From now on, requests for the repository's objects wait until the
    /// server ends; the rest is still served.
    void StallObjects() { stall_ = true; }

private:
    QString folder_;
    int64_t bytesPerSecond_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = -1;
    std::atomic<bool> stall_ = false;
    std::atomic<bool> ending_ = false;
};

} // namespace testsupport
