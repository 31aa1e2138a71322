#include "sample_site_server.h"

#include "site_generator.h"

#include <httplib.h>

#include <QDate>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <sys/socket.h>

namespace samplesite {

namespace {

const char kHost[] = "127.0.0.1";
const char kHtmlType[] = "text/html; charset=utf-8";
const char kTextType[] = "text/plain; charset=utf-8";
constexpr std::size_t kBigBytes = 614400;
constexpr std::size_t kHugeBytes = std::size_t{70} * 1024 * 1024;
constexpr std::size_t kHugeChunkBytes = 64 * 1024; // divides kHugeBytes

// Text of the given size, in numbered lines, ending in "END".
std::string NumberedText(std::size_t size, const char* label)
{
    std::string text;
    text.reserve(size + 64);
    for (int line = 1; text.size() < size; ++line)
        text += std::string(label) + " body line " + std::to_string(line) + " of the sample site's fault pages\n";
    text.resize(size - 3);
    return text + "END";
}

// httplib writes with plain send(): a client that hangs up mid-answer would
// kill the whole process with SIGPIPE unless it is ignored. Someone who set
// their own handler keeps it.
void IgnoreBrokenPipes()
{
    struct sigaction current = {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);
}

void SetBody(httplib::Response& res, const QByteArray& body, const char* contentType)
{
    res.set_content(body.constData(), static_cast<std::size_t>(body.size()), contentType);
}

} // namespace

struct ServerState
{
    std::unique_ptr<httplib::Server> http;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    std::atomic<uint16_t> port{0};
    std::atomic<bool> stopping{false};
    uint32_t seed = 1;
    QString baseUrl;
    std::string bigBody;
    std::string hugeChunk;

    std::mutex mutex; // guards the pages, the stalled paths and the stall wait
    std::condition_variable released;
    std::set<std::string> stalledPaths;
    std::atomic<int> stalledRequests{0};
    QDate pagesDate;
    std::shared_ptr<const SitePages> pages;

    // The pages of the current local date; a server left running over
    // midnight moves its day blocks on like the real site.
    std::shared_ptr<const SitePages> CurrentPages()
    {
        std::lock_guard<std::mutex> lock(mutex);
        const QDate today = QDate::currentDate();
        if (!pages || today != pagesDate) {
            pages = std::make_shared<const SitePages>(GenerateSite(today, seed, baseUrl));
            pagesDate = today;
        }
        return pages;
    }

    bool IsStalled(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return stalledPaths.count(path) != 0;
    }

    /// Answers nothing until the server stops.
    void Stall(httplib::Response& res)
    {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [this] { return stopping.load(); });
        res.status = 503;
        res.set_content("stopped", kTextType);
    }

    void AddRoutes(httplib::Server& server)
    {
        server.Get(R"(/fault/redirect/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string digits = req.matches[1];
            uint64_t left = 0;
            const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), left);
            if (parsed.ec != std::errc() || parsed.ptr != digits.data() + digits.size()) {
                res.status = 404;
                SetBody(res, NotFoundPage(QDate::currentDate().year()), kHtmlType);
            } else if (left == 0) {
                res.set_content("redirected ok", kTextType);
            } else {
                res.set_redirect(baseUrl.toStdString() + "/fault/redirect/" + std::to_string(left - 1), 302);
            }
        });
        server.Get("/fault/redirect-loop", [this](const httplib::Request&, httplib::Response& res) {
            res.set_redirect(baseUrl.toStdString() + "/fault/redirect-loop", 302);
        });
        server.Get("/fault/404", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            SetBody(res, NotFoundPage(QDate::currentDate().year()), kHtmlType);
        });
        server.Get("/fault/empty",
                   [](const httplib::Request&, httplib::Response& res) { res.set_content(std::string(), kHtmlType); });
        server.Get("/fault/zero-byte", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string("before\0after", 12), kTextType);
        });
        server.Get("/fault/big",
                   [this](const httplib::Request&, httplib::Response& res) { res.set_content(bigBody, kTextType); });
        // Streamed in chunks so that the 70 MiB are never held at once; ends
        // early when the server stops.
        server.Get("/fault/huge", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(kTextType, [this](std::size_t offset, httplib::DataSink& sink) {
                if (stopping)
                    return false;
                if (offset >= kHugeBytes) {
                    sink.done();
                    return true;
                }
                return sink.write(hugeChunk.data(), std::min(kHugeChunkBytes, kHugeBytes - offset));
            });
        });
        // Two bytes a second for as long as the client listens: never slow
        // enough to count as stalled, never done.
        server.Get("/fault/trickle", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(kTextType, [this](std::size_t, httplib::DataSink& sink) {
                std::unique_lock<std::mutex> lock(mutex);
                if (released.wait_for(lock, std::chrono::milliseconds(500), [this] { return stopping.load(); }))
                    return false;
                return sink.write("x", 1);
            });
        });
        server.Get("/fault/stall", [this](const httplib::Request&, httplib::Response& res) { Stall(res); });
        server.Get("/.*", [this](const httplib::Request& req, httplib::Response& res) {
            if (IsStalled(req.path)) {
                ++stalledRequests;
                Stall(res);
                --stalledRequests;
                return;
            }
            const std::shared_ptr<const SitePages> site = CurrentPages();
            const auto found = site->find(QString::fromStdString(req.path));
            if (found == site->end()) {
                res.status = 404;
                SetBody(res, NotFoundPage(QDate::currentDate().year()), kHtmlType);
                return;
            }
            SetBody(res, found->second.body, found->second.contentType.constData());
        });
    }
};

Server::Server() : state_(std::make_unique<ServerState>()) {}

Server::~Server()
{
    Stop();
}

bool Server::Start(uint16_t port, uint32_t seed)
{
    ServerState& s = *state_;
    if (s.listener.joinable())
        return false;
    IgnoreBrokenPipes();

    auto http = std::make_unique<httplib::Server>();
    // Only SO_REUSEADDR (a restart right after a stop must not fail), not
    // SO_REUSEPORT: a second server on a port in use has to fail.
    http->set_socket_options([](socket_t sock) {
        int on = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    });
    // One request per connection ("Connection: close") and short waits keep
    // Stop quick: a kept-alive connection would hold a worker, and Stop with
    // it, until its idle time-out; a client that stops reading holds it until
    // the write time-out.
    http->set_keep_alive_max_count(1);
    http->set_keep_alive_timeout(1);
    http->set_write_timeout(2, 0);
    int bound = -1;
    if (port == 0)
        bound = http->bind_to_any_port(kHost);
    else if (http->bind_to_port(kHost, port))
        bound = port;
    if (bound <= 0 || bound > 65535)
        return false;

    s.seed = seed;
    s.baseUrl = QStringLiteral("http://127.0.0.1:") + QString::number(bound);
    s.stopping = false;
    s.pages.reset();
    s.CurrentPages(); // before the first request, which would otherwise wait for it
    if (s.bigBody.empty()) {
        s.bigBody = NumberedText(kBigBytes, "big");
        s.hugeChunk = NumberedText(kHugeChunkBytes, "huge");
    }
    s.AddRoutes(*http);
    // For benchmarks that time a client from outside: ZORVANE_SITE_LOG names
    // a file that gets one line per request served, "<wall-clock ms> <path>".
    if (const char* log = std::getenv("ZORVANE_SITE_LOG"); log != nullptr && *log != '\0') {
        const std::string logPath = log;
        http->set_logger([logPath](const httplib::Request& req, const httplib::Response&) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
            if (FILE* out = std::fopen(logPath.c_str(), "a")) {
                std::fprintf(out, "%lld %s\n", static_cast<long long>(ms), req.path.c_str());
                std::fclose(out);
            }
        });
    }

    s.http = std::move(http);
    s.listenerDone = false;
    s.listener = std::thread([&s] {
        s.http->listen_after_bind();
        s.listenerDone = true;
    });
    // stop() is ignored until the accept loop runs; wait for it so that an
    // immediate Stop cannot leave the thread listening for ever.
    while (!s.http->is_running() && !s.listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!s.http->is_running()) {
        s.listener.join();
        s.http.reset();
        return false;
    }
    s.port = static_cast<uint16_t>(bound);
    return true;
}

void Server::Stop()
{
    ServerState& s = *state_;
    if (!s.listener.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.stopping = true;
    }
    s.released.notify_all();
    s.http->stop();
    s.listener.join();
    s.http.reset();
}

void Server::StallPath(const QString& path)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stalledPaths.insert(path.toStdString());
}

int Server::StalledRequests() const
{
    return state_->stalledRequests.load();
}

uint16_t Server::Port() const
{
    return state_->port;
}

QString Server::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:") + QString::number(state_->port);
}

} // namespace samplesite
