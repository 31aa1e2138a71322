// What one keystroke in the filter box costs: a full re-scan of the cached
// day text of a home page with two days of 200 files each, beside the floor
// of a single linear search over the same text for a string it lacks.
#include "content/day_scraper.h"

#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

/// Small deterministic generator, so every run measures the same page.
class Lcg
{
public:
    uint32_t Next()
    {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33);
    }
    template <typename T, size_t N> const T& Pick(const T (&items)[N]) { return items[Next() % N]; }

private:
    uint64_t state_ = 42;
};

const char* const Words[] = {"Pack", "Zip",    "Kelvara", "Media",   "Player", "Studio", "Tool",   "Office", "Photo",
                             "Sync", "Backup", "Cleaner", "Browser", "Mail",   "Notes",  "Editor", "Audio",  "Video"};
const char* const Phrases[] = {
    "Fixes a crash when opening large archives",
    "Adds <b>dark mode</b> and a new toolbar",
    "Improves start-up time on older machines",
    "Supports the latest codecs &amp; container formats",
    "Lets you sync folders between computers&#8217; drives",
    "Now reads &quot;portable&quot; settings from the program folder",
};
const char* const Icons[] = {"windows", "linux", "apple", "android"};

void Line(QString& page, const QString& text)
{
    page += text;
    page += QStringLiteral("\r\n");
}

QString FileName(Lcg& rng)
{
    return QString::fromLatin1(rng.Pick(Words)) + QStringLiteral(" ") + QString::fromLatin1(rng.Pick(Words)) +
           QStringLiteral(" %1.%2").arg(rng.Next() % 30).arg(rng.Next() % 100);
}

void DayBlock(QString& page, Lcg& rng, const QString& date, int files)
{
    Line(page, QStringLiteral("<div class=\"zibday\">"));
    Line(page, content::DayHeaderMarker);
    Line(page, QStringLiteral("<div class=\"zibydate\">&nbsp;") + date + QStringLiteral("</div>"));
    Line(page, QStringLiteral("<div class=\"zibyfiles\">"));
    for (int i = 0; i < files; ++i) {
        if (i > 0)
            Line(page, QStringLiteral("<!-- Template: files_day_rss_item -->"));
        const QString name = FileName(rng);
        QString slug = name.toLower();
        slug.replace(u' ', u'-');
        QString icons = QStringLiteral("<span class=\"zibyicons\">");
        const uint32_t mask = 1 + rng.Next() % 15;
        for (int p = 0; p < 4; ++p) {
            if (mask & (1u << p))
                icons += QStringLiteral("<i class=\"fab fa-%1\" title=\"%1\"></i>").arg(QString::fromLatin1(Icons[p]));
        }
        icons += QStringLiteral("</span> ");
        Line(page, QStringLiteral("<div class=\"zibyentry\">"));
        Line(page, QStringLiteral("<div class=\"zibytitle\">") + icons + QStringLiteral("<a href=\"download/") + slug +
                       QStringLiteral(".html\">") + name + QStringLiteral("</a> <span class=\"zibysize\">") +
                       QString::number(rng.Next() % 900 + 1) + QStringLiteral(" MB</span></div>"));
        QString description;
        for (int s = 0; s < 5; ++s)
            description += QString::fromLatin1(rng.Pick(Phrases)) + QStringLiteral(".  ");
        description += QStringLiteral("<a href=\"download/") + slug +
                       QStringLiteral(".html\">Read more</a>, or see the <b>changelog</b>.<br />");
        Line(page, QStringLiteral("<div class=\"zibyinsidecontent\">") + description + QStringLiteral("</div>"));
        Line(page, QStringLiteral("<div class=\"zibymeta\">Freeware &middot; 12 MB</div>"));
        Line(page, QStringLiteral("</div>"));
    }
    Line(page, QStringLiteral("</div>"));
    Line(page, content::DayFooterMarker);
    Line(page, QStringLiteral("</div>"));
}

/// A home page of about 400 KB in the site's form: header and navigation,
/// the tag line, a sidebar of news, two day blocks of 200 files, a footer.
QString HomePage()
{
    Lcg rng;
    QString page;
    Line(page, QStringLiteral("<!DOCTYPE html>"));
    Line(page, QStringLiteral("<html><head><title>Zorvane</title></head><body>"));
    Line(page, QStringLiteral("<div id=\"zibheader\">"));
    Line(page, QStringLiteral("<div class=\"zibphrase\">"));
    Line(page, QStringLiteral("Your daily dose of software.</div>"));
    Line(page, QStringLiteral("</div>"));
    Line(page, QStringLiteral("<div id=\"zibsidebar\">"));
    for (int i = 0; i < 600; ++i)
        Line(page, QStringLiteral("<div class=\"zibsidenews\"><a href=\"/news/%1.html\">Story %1 about ").arg(i) +
                       FileName(rng) + QStringLiteral(" and what changed in it this week</a></div>"));
    Line(page, QStringLiteral("</div>"));
    Line(page, QStringLiteral("<div id=\"zibcontent\">"));
    DayBlock(page, rng, QStringLiteral("Friday, December 04, 2026"), 200);
    DayBlock(page, rng, QStringLiteral("Thursday, December 03, 2026"), 200);
    Line(page, QStringLiteral("</div>"));
    Line(page, QStringLiteral("<div id=\"zibfooter\">"));
    for (int i = 0; i < 100; ++i)
        Line(page, QStringLiteral("<a href=\"/content/page/%1.html\">Footer link number %1</a> &middot;").arg(i));
    Line(page, QStringLiteral("</div></body></html>"));
    return page;
}

const QString& DayText()
{
    static const QString text = content::TakeDayPage(HomePage()).dayPageText;
    return text;
}

void RunScan(benchmark::State& state, const QString& platform, const QString& filter)
{
    const QString& text = DayText();
    settings::AppSettings s;
    s.Platform = platform;
    s.Alert_Names = QStringLiteral("kelvara,zip");
    const QString base = QStringLiteral("https://www.zorvane.com");
    qsizetype rows = 0;
    for (auto _ : state) {
        const content::DayScan scan = content::ScanDayPage(text, s, filter, base);
        rows = scan.today.size() + scan.yesterday.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["kchars"] = static_cast<double>(text.size()) / 1000.0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
}

void BM_RescanAllNoFilter(benchmark::State& state)
{
    RunScan(state, QStringLiteral("All"), QString());
}

void BM_RescanFilterKeystroke(benchmark::State& state)
{
    RunScan(state, QStringLiteral("All"), QStringLiteral("zip"));
}

void BM_RescanPlatformLinux(benchmark::State& state)
{
    RunScan(state, QStringLiteral("Linux"), QString());
}

void BM_RescanNothingMatches(benchmark::State& state)
{
    RunScan(state, QStringLiteral("All"), QStringLiteral("no such file"));
}

void BM_LinearSearchFloor(benchmark::State& state)
{
    const QString& text = DayText();
    const QString missing = QStringLiteral("<!-- not on this page -->");
    for (auto _ : state) {
        qsizetype at = text.indexOf(missing);
        benchmark::DoNotOptimize(at);
    }
    state.counters["kchars"] = static_cast<double>(text.size()) / 1000.0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
}

void BM_TakeDayPage(benchmark::State& state)
{
    const QString page = HomePage();
    for (auto _ : state) {
        content::DayPage taken = content::TakeDayPage(page);
        benchmark::DoNotOptimize(taken);
    }
    state.counters["kchars"] = static_cast<double>(page.size()) / 1000.0;
}

} // namespace

BENCHMARK(BM_LinearSearchFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RescanAllNoFilter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RescanFilterKeystroke)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RescanPlatformLinux)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RescanNothingMatches)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TakeDayPage)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
