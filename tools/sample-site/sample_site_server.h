#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace samplesite {

struct ServerState;

/// The bundled sample site, served over plain HTTP on 127.0.0.1 from a
/// thread of its own. It serves the generated pages (home page, the news,
/// articles and picture channels, story pages, images) and the fault routes
/// that the tests use:
///   /fault/redirect/<n>   n redirects (302) in a row, then 200 "redirected ok"
///   /fault/redirect-loop  redirects to itself for ever
///   /fault/404            status 404 with an HTML body containing "Not Found"
///   /fault/empty          200 with an empty body
///   /fault/zero-byte      200 with the body "before", a zero byte, "after"
///   /fault/big            200 with 614400 bytes of text ending in "END"
///   /fault/huge           200 with a body of 70 MiB
///   /fault/stall          accepts and sends nothing until Stop
/// Not copyable; stops when destroyed.
class Server
{
public:
    Server();
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    /// Binds 127.0.0.1:`port` (0: the kernel picks), generates the pages for
    /// today's local date with `seed` and starts serving. False when the port
    /// cannot be bound.
    /// Also sets SIGPIPE to be ignored when it is at its default: a client
    /// that hangs up mid-answer must not end the process.
    bool Start(uint16_t port = 0, uint32_t seed = 1);

    /// Stops serving and joins the thread; also releases stalled requests.
    void Stop();

    /// From now on, requests for `path` (a page of the site, "/news/...")
    /// get no answer until Stop, as /fault/stall does. Any thread.
    void StallPath(const QString& path);

    /// How many requests are being held by StallPath now. Any thread.
    int StalledRequests() const;

    /// The port actually bound (0 before Start).
    uint16_t Port() const;

    /// "http://127.0.0.1:<port>", without a trailing "/".
    QString BaseUrl() const;

private:
    std::unique_ptr<ServerState> state_;
};

} // namespace samplesite
