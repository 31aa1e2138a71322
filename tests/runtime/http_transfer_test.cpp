#include "runtime/http_transfer.h"

#include "support/local_site.h"
#include "support/test_files.h"
#include "sample-site/sample_site_server.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

class HttpTransfer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(runtime::HttpServiceStart());
        server = new samplesite::Server;
        ASSERT_TRUE(server->Start());
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Tests share the thread: every test starts from the program's limits.
        runtime::SetHttpLimitsForThisThread(runtime::HttpLimits{});
    }

    static QString Url(const char* path) { return server->BaseUrl() + QString::fromUtf8(path); }
    QString FilePath(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    static samplesite::Server* server;
    QTemporaryDir dir;
};

samplesite::Server* HttpTransfer::server = nullptr;

TEST_F(HttpTransfer, FollowsRedirectsUpToTheBound)
{
    const struct
    {
        const char* path;
        bool ok;
    } rows[] = {
        {"/fault/redirect/1", true},     // one hop
        {"/fault/redirect/3", true},     // a short chain
        {"/fault/redirect/20", true},    // exactly the allowed number of hops
        {"/fault/redirect/21", false},   // one hop too many
        {"/fault/redirect-loop", false}, // a loop ends instead of hanging
    };
    for (const auto& r : rows) {
        const std::optional<QByteArray> body = runtime::HttpFetchToMemory(Url(r.path));
        EXPECT_EQ(body.has_value(), r.ok) << r.path;
        if (r.ok && body) {
            EXPECT_EQ(*body, QByteArray("redirected ok")) << r.path;
        }
        const QString file = FilePath("redirect.bin");
        EXPECT_EQ(runtime::HttpDownloadToFile(Url(r.path), file), r.ok) << r.path;
        EXPECT_EQ(QFile::exists(file), r.ok) << r.path;
    }
}

TEST_F(HttpTransfer, DeliversBodiesWhateverTheirShape)
{
    const struct
    {
        const char* path;
        qsizetype size;       // body length
        QByteArray tail;      // what the body ends with
        qsizetype textSize;   // length of what FetchPageText makes of it
        const char* textTail; // and what that ends with
    } rows[] = {
        {"/fault/empty", 0, QByteArray(), 0, ""},                               // empty body is a success
        {"/fault/zero-byte", 12, QByteArray("before\0after", 12), 6, "before"}, // text stops at the zero
        {"/fault/big", 614400, "END", 614400, "END"},                           // over 512 KiB: buffer grows
    };
    for (const auto& r : rows) {
        const std::optional<QByteArray> body = runtime::HttpFetchToMemory(Url(r.path));
        ASSERT_TRUE(body.has_value()) << r.path;
        EXPECT_EQ(body->size(), r.size) << r.path;
        EXPECT_EQ(body->right(r.tail.size()), r.tail) << r.path;
        const QString text = runtime::FetchPageText(Url(r.path));
        EXPECT_EQ(text.size(), r.textSize) << r.path;
        EXPECT_EQ(text.right(qstrlen(r.textTail)), QString::fromUtf8(r.textTail)) << r.path;
        const QString file = FilePath("body.bin");
        ASSERT_TRUE(runtime::HttpDownloadToFile(Url(r.path), file)) << r.path;
        EXPECT_TRUE(QFile::exists(file)) << r.path;
        EXPECT_EQ(testsupport::ReadBytes(file), *body) << r.path;
    }
}

TEST_F(HttpTransfer, ErrorStatusStillDeliversTheBody)
{
    const std::optional<QByteArray> body = runtime::HttpFetchToMemory(Url("/fault/404"));
    ASSERT_TRUE(body.has_value());
    EXPECT_TRUE(body->contains("Not Found"));
    EXPECT_EQ(runtime::FetchPageText(Url("/fault/404")), QString::fromUtf8(*body));
    const QString file = FilePath("404.html");
    ASSERT_TRUE(runtime::HttpDownloadToFile(Url("/fault/404"), file));
    EXPECT_EQ(testsupport::ReadBytes(file), *body);
}

TEST_F(HttpTransfer, FailuresLeaveNoFileBehind)
{
    const QString closed = QStringLiteral("http://127.0.0.1:%1/").arg(testsupport::ClosedLocalPort());
    const struct
    {
        const char* what;
        QString url;
    } rows[] = {
        {"nothing listens on the port", closed},
        {"redirect loop", Url("/fault/redirect-loop")},
        {"not an address", QStringLiteral("no scheme at all")},
        {"zero inside the address", Url("/fault/big") + QChar(0) + QStringLiteral("x")},
        {"local file scheme", QStringLiteral("file:///etc/hostname")},
    };
    for (const auto& r : rows) {
        EXPECT_FALSE(runtime::HttpFetchToMemory(r.url).has_value()) << r.what;
        EXPECT_TRUE(runtime::FetchPageText(r.url).isEmpty()) << r.what;
        // A stale file from an earlier download must not survive a failed one.
        const QString file = FilePath("stale.bin");
        testsupport::WriteBytes(file, "picture of yesterday");
        EXPECT_FALSE(runtime::HttpDownloadToFile(r.url, file)) << r.what;
        EXPECT_FALSE(QFile::exists(file)) << r.what;
    }
}

TEST_F(HttpTransfer, BodyOverTheDefaultLimitFails)
{
    // 70 MiB, sent in chunks without a length: the limit is met while writing.
    EXPECT_FALSE(runtime::HttpFetchToMemory(Url("/fault/huge")).has_value());
    const QString file = FilePath("huge.bin");
    testsupport::WriteBytes(file, "picture of yesterday");
    EXPECT_FALSE(runtime::HttpDownloadToFile(Url("/fault/huge"), file));
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(HttpTransfer, StalledServerIsAbandoned)
{
    // A server of its own: each stalled request holds one of its threads
    // until it stops.
    samplesite::Server stalling;
    ASSERT_TRUE(stalling.Start());
    runtime::HttpLimits limits;
    limits.lowSpeedSeconds = 1; // given up after a second without a byte
    runtime::SetHttpLimitsForThisThread(limits);
    const QString url = stalling.BaseUrl() + QStringLiteral("/fault/stall");
    EXPECT_FALSE(runtime::HttpFetchToMemory(url).has_value());
    const QString file = FilePath("stall.bin");
    testsupport::WriteBytes(file, "picture of yesterday");
    EXPECT_FALSE(runtime::HttpDownloadToFile(url, file));
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(HttpTransfer, TricklingServerIsBoundedAndAQuitEndsTheWait)
{
    samplesite::Server trickling;
    ASSERT_TRUE(trickling.Start());
    const QString url = trickling.BaseUrl() + QStringLiteral("/fault/trickle");

    // Pages and downloads each have a bound on the whole transfer.
    runtime::HttpLimits limits;
    limits.totalTimeoutMs = 1000;
    limits.downloadTimeoutMs = 1500;
    runtime::SetHttpLimitsForThisThread(limits);
    EXPECT_FALSE(runtime::HttpFetchToMemory(url).has_value());
    EXPECT_FALSE(runtime::HttpDownloadToFile(url, FilePath("trickle.bin")));

    // With the program's own bounds, the watch keeps running while data
    // trickles in, and a quit request ends the transfer.
    runtime::SetHttpLimitsForThisThread(runtime::HttpLimits{});
    int calls = 0;
    runtime::SetTransferWatchForThisThread({[&calls] { ++calls; }, [&calls] { return calls >= 3; }});
    EXPECT_TRUE(runtime::FetchPageText(url).isEmpty());
    EXPECT_GE(calls, 3);
    runtime::SetTransferWatchForThisThread({});
}

TEST_F(HttpTransfer, BodyLimitIsInclusive)
{
    const struct
    {
        int64_t limit;
        bool ok;
    } rows[] = {
        {614400, true},  // exactly the body length
        {614399, false}, // one byte short
        {0, false},      // nothing allowed
        {-1, false},     // nonsense limit refuses everything
    };
    for (const auto& r : rows) {
        runtime::HttpLimits limits;
        limits.maxBodyBytes = r.limit;
        runtime::SetHttpLimitsForThisThread(limits);
        EXPECT_EQ(runtime::HttpFetchToMemory(Url("/fault/big")).has_value(), r.ok) << r.limit;
        const QString file = FilePath("limit.bin");
        EXPECT_EQ(runtime::HttpDownloadToFile(Url("/fault/big"), file), r.ok) << r.limit;
        EXPECT_EQ(QFile::exists(file), r.ok) << r.limit;
    }
}

TEST_F(HttpTransfer, DownloadReplacesAnExistingFile)
{
    const QString file = FilePath("replace.bin");
    testsupport::WriteBytes(file, QByteArray(700000, 'o'));
    ASSERT_TRUE(runtime::HttpDownloadToFile(Url("/fault/zero-byte"), file));
    EXPECT_EQ(testsupport::ReadBytes(file), QByteArray("before\0after", 12)); // shorter body: no old tail
    ASSERT_TRUE(runtime::HttpDownloadToFile(Url("/fault/empty"), file));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(QFile(file).size(), 0);
}

TEST_F(HttpTransfer, DownloadNeverWritesThroughAPlantedLink)
{
    const QString victim = FilePath("victim");
    testsupport::WriteBytes(victim, "keep");
    const QString file = FilePath("picture");
    ASSERT_TRUE(QFile::link(victim, file));
    EXPECT_TRUE(runtime::HttpDownloadToFile(Url("/fault/zero-byte"), file));
    EXPECT_EQ(testsupport::ReadBytes(victim), "keep");
    EXPECT_FALSE(QFileInfo(file).isSymLink());
    EXPECT_EQ(testsupport::ReadBytes(file), QByteArray("before\0after", 12));
}

TEST_F(HttpTransfer, MissingArgumentsTouchNothing)
{
    const QString file = FilePath("kept.bin");
    testsupport::WriteBytes(file, "kept");
    EXPECT_FALSE(runtime::HttpFetchToMemory(QString()).has_value());
    EXPECT_FALSE(runtime::HttpFetchToMemory(QStringLiteral("")).has_value());
    EXPECT_TRUE(runtime::FetchPageText(QString()).isEmpty());
    EXPECT_FALSE(runtime::HttpDownloadToFile(QString(), file));
    EXPECT_FALSE(runtime::HttpDownloadToFile(QStringLiteral(""), file));
    EXPECT_EQ(testsupport::ReadBytes(file), QByteArray("kept"));
    EXPECT_FALSE(runtime::HttpDownloadToFile(Url("/fault/big"), QString()));
    // A folder cannot be written into: failure, and the folder stays.
    EXPECT_FALSE(runtime::HttpDownloadToFile(Url("/fault/big"), dir.path()));
    EXPECT_TRUE(QFile::exists(dir.path()));
}

TEST_F(HttpTransfer, LimitsBelongToOneThread)
{
    runtime::HttpLimits tight;
    tight.maxBodyBytes = 10;
    runtime::SetHttpLimitsForThisThread(tight);
    std::vector<int> sizes(4, -1);
    std::vector<std::thread> workers;
    for (size_t i = 0; i < sizes.size(); ++i) {
        workers.emplace_back([&sizes, i] {
            const std::optional<QByteArray> body = runtime::HttpFetchToMemory(Url("/fault/big"));
            sizes[i] = body ? static_cast<int>(body->size()) : 0;
        });
    }
    for (auto& worker : workers)
        worker.join();
    for (const int size : sizes)
        EXPECT_EQ(size, 614400); // the workers start with the program's limits
    EXPECT_FALSE(runtime::HttpFetchToMemory(Url("/fault/big")).has_value());
}

TEST(RedirectProtocols, AnHttpsStartNeverFallsBackToHttp)
{
    const struct
    {
        const char* url;
        const char* protocols;
    } rows[] = {
        {"https://www.zorvane.com/", "https"},       // https stays https
        {"HTTPS://www.zorvane.com/", "https"},       // whatever the scheme's letter case
        {"http://127.0.0.1:8080/", "http,https"},    // http may move up to https, or stay
        {"www.zorvane.com/news.html", "http,https"}, // no scheme: libcurl takes it as http
    };
    for (const auto& r : rows)
        EXPECT_STREQ(runtime::RedirectProtocols(r.url), r.protocols) << r.url;
}

TEST(UrlEncode, KeepsExactlyTheUrlMarks)
{
    const struct
    {
        const char* in;
        const char* out;
    } rows[] = {
        {"AZaz09", "AZaz09"},                                           // letters and digits
        {"!#$&'()*,-./:;=?@_~", "!#$&'()*,-./:;=?@_~"},                 // the 19 kept marks
        {"\"%+<>[\\]^`{|}", "%22%25%2B%3C%3E%5B%5C%5D%5E%60%7B%7C%7D"}, // the 13 encoded marks
        {" ", "%20"},                                                   // space
        {"\x01\t\n\r\x1f\x7f", "%01%09%0A%0D%1F%7F"},                   // control bytes
        {"\xc3\xa9", "%C3%A9"},                                         // two UTF-8 bytes, upper-case hex
        {"%20", "%2520"},                                               // already encoded: encoded again
        {"a b+c%d/e?f=g&h", "a%20b%2Bc%25d/e?f=g&h"},                   // a typical address
        {"", ""},                                                       // empty
    };
    for (const auto& r : rows)
        EXPECT_EQ(runtime::UrlEncode(QString::fromUtf8(r.in)), QString::fromLatin1(r.out)) << r.in;
    EXPECT_EQ(runtime::UrlEncode(QString()), QString());
    EXPECT_EQ(runtime::UrlEncode(QString(QChar(0))), QStringLiteral("%00"));
}

TEST(UrlEncode, KeptSetHasEightyOneBytes)
{
    int kept = 0;
    for (int byte = 0; byte < 128; ++byte) {
        const QString one(QChar(static_cast<char16_t>(byte)));
        const QString encoded = runtime::UrlEncode(one);
        if (encoded == one)
            ++kept;
        else
            EXPECT_EQ(encoded, QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper()) << byte;
    }
    EXPECT_EQ(kept, 81);
}

} // namespace
