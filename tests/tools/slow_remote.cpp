#include "slow_remote.h"

#include <QFile>

#include <httplib.h>

#include <algorithm>
#include <chrono>

namespace testsupport {

SlowRemote::SlowRemote(const QString& folder, int64_t bytesPerSecond)
    : folder_(folder), bytesPerSecond_(bytesPerSecond), server_(std::make_unique<httplib::Server>())
{
    server_->Get(R"(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
        const QString path = QString::fromStdString(request.path);
        QFile file(folder_ + path);
        if (path.contains(QStringLiteral("..")) || !file.open(QIODevice::ReadOnly)) {
            response.status = 404;
            return;
        }
        if (path.startsWith(QStringLiteral("/objects/"))) {
            while (stall_ && !ending_)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const auto bytes = std::make_shared<QByteArray>(file.readAll());
        response.set_content_provider(size_t(bytes->size()), "application/octet-stream",
                                      [this, bytes](size_t offset, size_t length, httplib::DataSink& sink) {
                                          // A tenth of a second's worth at a time, a tenth of a second
                                          // apart.
                                          const size_t chunk =
                                              std::min(length, size_t(std::max<int64_t>(bytesPerSecond_ / 10, 1)));
                                          if (chunk > 4096)
                                              std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                          return !ending_ && sink.write(bytes->constData() + offset, chunk);
                                      });
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ > 0)
        thread_ = std::thread([this] { server_->listen_after_bind(); });
}

SlowRemote::~SlowRemote()
{
    ending_ = true;
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

QString SlowRemote::Url() const
{
    return port_ > 0 ? QStringLiteral("http://127.0.0.1:%1/").arg(port_) : QString();
}

} // namespace testsupport
