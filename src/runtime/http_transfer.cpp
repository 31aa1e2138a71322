#include "runtime/http_transfer.h"

#include <QByteArrayView>
#include <QFile>

#include <curl/curl.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>
#include <string_view>

namespace runtime {

namespace {

thread_local HttpLimits threadLimits;
thread_local TransferWatch threadWatch;

// The memory buffer starts at this size and grows by the chunk plus this
// much, so an ordinary page needs no reallocation or few.
constexpr int64_t BufferStep = 0x80000;

struct MemoryTarget
{
    QByteArray buffer;
    int64_t capacity = 0;
    int64_t length = 0;
    int64_t maxBytes = 0;
};

struct FileTarget
{
    int fd = -1;
    int64_t length = 0;
    int64_t maxBytes = 0;
};

struct EasyHandle
{
    CURL* curl = curl_easy_init();
    EasyHandle() = default;
    EasyHandle(const EasyHandle&) = delete;
    EasyHandle& operator=(const EasyHandle&) = delete;
    ~EasyHandle()
    {
        if (curl)
            curl_easy_cleanup(curl);
    }
};

// libcurl hands size and count separately. Their product is taken as a 32-bit
// count, and must fit in what the body limit still allows; a refused chunk
// makes libcurl end the transfer with a write error.
bool AcceptChunk(size_t size, size_t count, int64_t length, int64_t maxBytes, int64_t& chunk)
{
    if (count != 0 && size > std::numeric_limits<size_t>::max() / count)
        return false;
    const size_t bytes = size * count;
    if (bytes > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return false;
    chunk = static_cast<int64_t>(bytes);
    return chunk <= maxBytes - length;
}

size_t WriteToMemory(char* data, size_t size, size_t count, void* userData)
{
    auto* target = static_cast<MemoryTarget*>(userData);
    int64_t chunk = 0;
    if (!AcceptChunk(size, count, target->length, target->maxBytes, chunk))
        return 0;
    // libcurl is C: nothing may be thrown through it, so a failed allocation
    // becomes a refused chunk.
    try {
        if (target->length + chunk > target->capacity) {
            const int64_t capacity = target->capacity + chunk + BufferStep;
            target->buffer.reserve(static_cast<qsizetype>(std::min(capacity, target->maxBytes)));
            target->capacity = capacity;
        }
        target->buffer.append(data, static_cast<qsizetype>(chunk));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    target->length += chunk;
    return static_cast<size_t>(chunk);
}

size_t WriteToFile(char* data, size_t size, size_t count, void* userData)
{
    auto* target = static_cast<FileTarget*>(userData);
    int64_t chunk = 0;
    if (!AcceptChunk(size, count, target->length, target->maxBytes, chunk))
        return 0;
    ssize_t written = -1;
    do
        written = ::write(target->fd, data, static_cast<size_t>(chunk));
    while (written < 0 && errno == EINTR);
    if (written < 0)
        return 0;
    target->length += written;
    return static_cast<size_t>(written);
}

// One GET with its own easy handle. True only when libcurl reports no error;
// the HTTP status is not looked at, so an error page is a body like any other.
int OnProgress(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    if (threadWatch.whileWaiting)
        threadWatch.whileWaiting();
    return threadWatch.stop && threadWatch.stop() ? 1 : 0; // non-zero aborts the transfer
}

bool RunTransfer(const QString& url, curl_write_callback write, void* target, long totalTimeoutMs)
{
    const QByteArray narrowUrl = url.toUtf8();
    // A zero inside the address would silently cut it short for libcurl.
    if (narrowUrl.isEmpty() || narrowUrl.contains('\0'))
        return false;
    EasyHandle handle;
    if (!handle.curl)
        return false;
    CURL* curl = handle.curl;
    const HttpLimits limits = threadLimits;
    const bool ready = curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
                       // libcurl follows redirects without end by default: a loop would hang.
                       curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_URL, narrowUrl.constData()) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_USERAGENT, HttpUserAgent) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, write) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_WRITEDATA, target) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, totalTimeoutMs) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
                       // Without it a server that accepts and then stops sending holds
                       // the calling thread for ever.
                       curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds) == CURLE_OK &&
                       // Addresses come from page content: never let one read local
                       // files or speak another protocol, also not after a redirect,
                       // and never let a redirect drop https.
                       curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, RedirectProtocols(narrowUrl)) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress) == CURLE_OK &&
                       curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    return ready && curl_easy_perform(curl) == CURLE_OK;
}

bool IsKept(unsigned char byte)
{
    static constexpr std::string_view marks = "!#$&'()*,-./:;=?@_~";
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           (byte != 0 && marks.find(static_cast<char>(byte)) != std::string_view::npos);
}

} // namespace

HttpLimits HttpLimitsForThisThread()
{
    return threadLimits;
}

void SetTransferWatchForThisThread(TransferWatch watch)
{
    threadWatch = std::move(watch);
}

void SetHttpLimitsForThisThread(const HttpLimits& limits)
{
    threadLimits = limits;
}

const char* RedirectProtocols(const QByteArray& url)
{
    return url.left(6).compare("https:", Qt::CaseInsensitive) == 0 ? "https" : "http,https";
}

bool HttpServiceStart()
{
    return curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK;
}

std::optional<QByteArray> HttpFetchToMemory(const QString& url)
{
    if (url.isEmpty())
        return std::nullopt;
    MemoryTarget target;
    target.maxBytes = threadLimits.maxBodyBytes;
    try {
        target.buffer.reserve(static_cast<qsizetype>(BufferStep));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    target.capacity = BufferStep;
    if (!RunTransfer(url, &WriteToMemory, &target, threadLimits.totalTimeoutMs))
        return std::nullopt;
    if (target.length == 0)
        return QByteArray();
    try {
        target.buffer.squeeze();
    } catch (const std::bad_alloc&) {
        // Keeping the larger block loses nothing: its size is still the body's.
    }
    return std::move(target.buffer);
}

QString FetchPageText(const QString& url)
{
    const std::optional<QByteArray> body = HttpFetchToMemory(url);
    if (!body)
        return QString();
    const qsizetype zero = body->indexOf('\0');
    return QString::fromUtf8(QByteArrayView(*body).first(zero < 0 ? body->size() : zero));
}

bool HttpDownloadToFile(const QString& url, const QString& fileName)
{
    if (url.isEmpty() || fileName.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(fileName);
    // A new file of our own: whatever sits at the name (a file, or a link
    // someone planted there) is removed, never written through.
    ::unlink(name.constData());
    FileTarget target;
    target.fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (target.fd < 0)
        return false;
    target.maxBytes = threadLimits.maxBodyBytes;
    // Straight to disk, chunk by chunk: a failed write shows up in the chunk
    // that caused it.
    bool ok = RunTransfer(url, &WriteToFile, &target, threadLimits.downloadTimeoutMs);
    ok = ::close(target.fd) == 0 && ok;
    if (!ok)
        ::unlink(name.constData());
    return ok;
}

QString UrlEncode(const QString& text)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (IsKept(byte)) {
            out += ch;
        } else {
            out += '%';
            out += hexDigits[byte >> 4];
            out += hexDigits[byte & 0x0F];
        }
    }
    return QString::fromLatin1(out);
}

} // namespace runtime
