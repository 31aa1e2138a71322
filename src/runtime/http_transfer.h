#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace runtime {

// The program's only way to the network: synchronous HTTP(S) GET requests
// through libcurl's easy interface, one easy handle per call, nothing shared
// between calls. Safe to call from several threads at once once
// HttpServiceStart has run.

/// Sent with every request.
inline constexpr char HttpUserAgent[] = "Mozilla/5.0 Gecko/41.0 Firefox/41.0";

/// Bounds of one transfer. Each thread holds its own copy, created with these
/// values on first use; the program keeps the defaults, tests shorten them.
struct HttpLimits
{
    /// Time allowed for connecting, in milliseconds.
    long connectTimeoutMs = 30000;
    /// Time allowed for a whole page transfer, and for a whole download to a
    /// file, in milliseconds; 0 means no limit. A server that trickles a
    /// byte now and then must not hold the program.
    long totalTimeoutMs = 60000;
    long downloadTimeoutMs = 120000;
    /// A transfer slower than `lowSpeedBytesPerSecond` for `lowSpeedSeconds`
    /// in a row is abandoned, so a server that stops sending cannot hold the
    /// calling thread for ever. 0 seconds turns the check off.
    long lowSpeedBytesPerSecond = 1;
    long lowSpeedSeconds = 60;
    /// Redirects followed before the transfer fails; bounds redirect loops.
    long maxRedirects = 20;
    /// Largest body accepted, in bytes, in memory and on disk; a longer body
    /// is a failure.
    int64_t maxBodyBytes = int64_t{64} * 1024 * 1024;
};

/// What a thread does while one of its transfers waits for data. libcurl
/// calls back about once a second, more often while data flows.
struct TransferWatch
{
    /// Runs at every call back (the GUI thread keeps its windows painted).
    std::function<void()> whileWaiting;
    /// True ends the transfer at once, as a failure (a quit was requested).
    std::function<bool()> stop;
};

/// Replaces the watch of the calling thread's transfers; none by default.
void SetTransferWatchForThisThread(TransferWatch watch);

/// The limits transfers on the calling thread use.
HttpLimits HttpLimitsForThisThread();

/// Replaces the limits of the calling thread only.
void SetHttpLimitsForThisThread(const HttpLimits& limits);

/// The protocols, in libcurl's list form, that a transfer starting at `url`
/// may be redirected to: "https" alone from an https address (in any letter
/// case), so that a redirect cannot drop the encryption; "http,https" from
/// any other. Pure, any thread.
const char* RedirectProtocols(const QByteArray& url);

/// Initialises libcurl's global state with all features. Call once on the
/// main thread before any transfer or worker thread; false when libcurl
/// cannot be initialised. The state is never released: a worker may still
/// be inside a transfer when the program ends.
bool HttpServiceStart();

/// GETs `url` into memory. The body bytes on success, with exactly the body's
/// length (empty for an empty body), whatever the HTTP status; none on any
/// transfer failure, for a null or empty URL, and for a body over the limit.
std::optional<QByteArray> HttpFetchToMemory(const QString& url);

/// GETs `url` and decodes the body as UTF-8, stopping at the first zero byte;
/// malformed sequences become U+FFFD. Empty text on failure.
QString FetchPageText(const QString& url);

/// GETs `url` into `fileName`, replacing any file there. True on success;
/// on failure the file is deleted, so neither a partial nor an older file
/// remains. A null or empty URL or file name returns false and touches nothing.
bool HttpDownloadToFile(const QString& url, const QString& fileName);

/// Percent-encodes a whole URL byte by byte over its UTF-8 form: letters,
/// digits and ! # $ & ' ( ) * , - . / : ; = ? @ _ ~ are kept, every other byte
/// becomes "%" and two upper-case hex digits ("%" too, so "%20" -> "%2520").
QString UrlEncode(const QString& text);

} // namespace runtime
