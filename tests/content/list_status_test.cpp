#include "content/list_status.h"

#include "support/qstring_print.h"
#include "runtime/app_identity.h"

#include <gtest/gtest.h>

TEST(SummariseList, TextsPerTabFilterAndPlatform)
{
    using enum content::ShownList;
    const struct
    {
        const char* what;
        content::ShownList shown;
        qsizetype rows;
        const char *filter, *platform, *text;
    } rows[] = {
        {"today, all platforms", Today, 57, "", "All", "Showing today's files (57)."},
        {"yesterday names its platform", Yesterday, 3, "", "Linux", "Showing yesterday's Linux files (3)."},
        {"no rows", Today, 0, "", "MacOS", "Showing today's MacOS files (0)."},
        {"a filter: no final full stop", Today, 0, "abc", "All", "Number of matching files from filter: 0"},
        {"a space is a filter", Yesterday, 12, " ", "Android", "Number of matching files from filter: 12"},
        {"plain decimal count", Yesterday, 1234567, "", "All", "Showing yesterday's files (1234567)."},
        {"another tab", Other, 5, "abc", "Linux", "Ready."},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const content::ListSummary s =
            content::SummariseList(r.shown, r.rows, QString::fromUtf8(r.filter), QString::fromUtf8(r.platform));
        EXPECT_EQ(s.statusText, QString::fromUtf8(r.text));
        const bool files = r.shown != Other;
        EXPECT_EQ(s.filterAppliesToApps, !files);
        EXPECT_EQ(s.platformComboShown, files);
        EXPECT_EQ(s.filterBoxWidth, files ? 250 : 300);
    }
}

TEST(DecideScrapeOutcome, DecidedInOrder)
{
    using content::ScrapeOutcome;
    const struct
    {
        const char* what;
        qsizetype today;
        const char *filter, *platform;
        ScrapeOutcome outcome;
        QString text;
    } rows[] = {
        {"rows win over everything", 1, "abc", "Linux", ScrapeOutcome::HasRows, runtime::HintText},
        {"a filter that matched nothing", 0, "abc", "All", ScrapeOutcome::NoFilterMatch, content::NoFilterMatchText},
        {"nothing came: the only warning", 0, "", "All", ScrapeOutcome::NoContent, runtime::NoContentText},
        {"nothing for the platform", 0, "", "Android", ScrapeOutcome::NoPlatformMatch, content::NoFilterMatchText},
        {"spaces are a filter", 0, " ", "All", ScrapeOutcome::NoFilterMatch, content::NoFilterMatchText},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const content::ScrapeOutcomeResult o =
            content::DecideScrapeOutcome(r.today, QString::fromUtf8(r.filter), QString::fromUtf8(r.platform));
        EXPECT_EQ(o.outcome, r.outcome);
        EXPECT_EQ(o.statusText, r.text);
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
        const char* what;
        int index;
        const char *current, *platform, *tooltip;
    } rows[] = {
        {"All", 0, "Linux", "All", "Showing files supported by all platforms"},
        {"Windows", 1, "All", "Windows", "Showing files supported by Windows"},
        {"Linux", 2, "All", "Linux", "Showing files supported by Linux"},
        {"MacOS", 3, "All", "MacOS", "Showing files supported by MacOS"},
        {"Android", 4, "All", "Android", "Showing files supported by Android"},
        {"another index keeps the value", 5, "Linux", "Linux", "Showing files supported by Linux"},
        {"no selection keeps the value", -1, "MacOS", "MacOS", "Showing files supported by MacOS"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const QString platform = content::PlatformForComboIndex(r.index, QString::fromUtf8(r.current));
        EXPECT_EQ(platform, QString::fromUtf8(r.platform));
        EXPECT_EQ(content::PlatformTooltip(platform), QString::fromUtf8(r.tooltip));
    }
}
