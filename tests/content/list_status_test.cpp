#include "content/list_status.h"

#include "qstring_print.h"
#include "runtime/app_identity.h"

#include <gtest/gtest.h>

TEST(SummariseList, TextsPerTabFilterAndPlatform)
{
    const struct
    {
        int tab;
        qsizetype rows;
        const char *filter, *platform, *text;
    } rows[] = {
        {0, 57, "", "All", "Showing today's files (57)."},
        {1, 3, "", "Linux", "Showing yesterday's Linux files (3)."},
        {0, 0, "", "MacOS", "Showing today's MacOS files (0)."},
        {0, 0, "abc", "All", "Number of matching files from filter: 0"},     // no final "."
        {1, 12, " ", "Android", "Number of matching files from filter: 12"}, // a space is a filter
        {1, 1234567, "", "All", "Showing yesterday's files (1234567)."},     // plain decimal
        {2, 5, "abc", "Linux", "Ready."},                                    // another tab
        {-1, 5, "", "All", "Ready."},
    };
    for (const auto& r : rows) {
        const content::ListSummary s =
            content::SummariseList(r.tab, r.rows, QString::fromUtf8(r.filter), QString::fromUtf8(r.platform));
        EXPECT_EQ(s.statusText, QString::fromUtf8(r.text)) << r.tab << " " << r.filter;
        const bool files = r.tab == 0 || r.tab == 1;
        EXPECT_EQ(s.filterAppliesToApps, !files) << r.tab;
        EXPECT_EQ(s.platformComboShown, files) << r.tab;
        EXPECT_EQ(s.filterBoxWidth, files ? 250 : 300) << r.tab;
    }
}

TEST(DecideScrapeOutcome, DecidedInOrder)
{
    using content::ScrapeOutcome;
    const struct
    {
        qsizetype today;
        const char *filter, *platform;
        ScrapeOutcome outcome;
        QString text;
    } rows[] = {
        {1, "abc", "Linux", ScrapeOutcome::HasRows, runtime::HintText}, // rows win over everything
        {0, "abc", "All", ScrapeOutcome::NoFilterMatch, content::NoFilterMatchText},
        {0, "", "All", ScrapeOutcome::NoContent, runtime::NoContentText}, // the only warning
        {0, "", "Android", ScrapeOutcome::NoPlatformMatch, content::NoFilterMatchText},
        {0, " ", "All", ScrapeOutcome::NoFilterMatch, content::NoFilterMatchText}, // spaces are a filter
    };
    for (const auto& r : rows) {
        const content::ScrapeOutcomeResult o =
            content::DecideScrapeOutcome(r.today, QString::fromUtf8(r.filter), QString::fromUtf8(r.platform));
        EXPECT_EQ(o.outcome, r.outcome) << r.today << r.filter << r.platform;
        EXPECT_EQ(o.statusText, r.text) << r.today << r.filter << r.platform;
    }
    EXPECT_EQ(runtime::HintText, QStringLiteral("Select a file to view its full description here; or double-click any "
                                                "file or list item to read more at Zorvane.com."));
    EXPECT_EQ(content::NoFilterMatchText,
              QStringLiteral("No files were found that match your search filter and/or platform."));
}

TEST(PlatformCombo, IndexToSettingAndTooltip)
{
    const struct
    {
        int index;
        const char *current, *platform, *tooltip;
    } rows[] = {
        {0, "Linux", "All", "Showing files supported by all platforms"},
        {1, "All", "Windows", "Showing files supported by Windows"},
        {2, "All", "Linux", "Showing files supported by Linux"},
        {3, "All", "MacOS", "Showing files supported by MacOS"},
        {4, "All", "Android", "Showing files supported by Android"},
        {5, "Linux", "Linux", "Showing files supported by Linux"}, // another state keeps the value
        {-1, "MacOS", "MacOS", "Showing files supported by MacOS"},
    };
    for (const auto& r : rows) {
        const QString platform = content::PlatformForComboIndex(r.index, QString::fromUtf8(r.current));
        EXPECT_EQ(platform, QString::fromUtf8(r.platform)) << r.index;
        EXPECT_EQ(content::PlatformTooltip(platform), QString::fromUtf8(r.tooltip)) << r.index;
    }
}
