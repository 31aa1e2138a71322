#include "content/file_filters.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <random>

using content::Platform;

TEST(PlatformMatches, EachIconAnswersToItsSettingAndAll)
{
    const struct
    {
        const char* what;
        Platform present;
        const char* setting;
        bool out;
    } rows[] = {
        {"All passes Windows", Platform::Windows, "All", true},
        {"All passes Android", Platform::Android, "All", true},
        {"Windows under Windows", Platform::Windows, "Windows", true},
        {"Windows under Linux", Platform::Windows, "Linux", false},
        {"Linux under Linux", Platform::Linux, "Linux", true},
        {"Linux under MacOS", Platform::Linux, "MacOS", false},
        {"the Apple icon is MacOS", Platform::Apple, "MacOS", true},
        {"the Apple icon is not Apple", Platform::Apple, "Apple", false},
        {"Android under Android", Platform::Android, "Android", true},
        {"Android under Windows", Platform::Android, "Windows", false},
        {"exact case", Platform::Windows, "windows", false},
        {"an empty setting passes nothing", Platform::Windows, "", false},
        {"all in lower case is unknown", Platform::Linux, "all", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::PlatformMatches(r.present, QString::fromUtf8(r.setting)), r.out) << r.what;
}

TEST(FilterMatches, LooksInNameThenDescriptionLetterCaseAside)
{
    const struct
    {
        const char* what;
        const char *name, *description, *filter;
        bool out;
    } rows[] = {
        {"no filter: everything", "Foo", "Bar.", "", true},
        {"description counts, case folded", "Pack", "A zip archive tool.", "ZIP", true},
        {"name counts", "WinZip", "Tool.", "zip", true},
        {"in neither", "Foo", "Bar.", "baz", false},
        {"spaces are part of the filter", "Foo Bar", "x.", "o b", true},
        {"used as typed, not trimmed", "Foo", "Bar.", " foo", false},
        {"the final full stop is searchable", "Foo", "Bar.", "bar.", true},
        {"name and description are not joined", "Foo", "Bar", "o\nb", false},
        {"non-ASCII letters fold too", "\xc3\x84pfel", "x.", "\xc3\xa4PF", true},
        {"Greek capital sigma", "\xce\xa3IGMA", "x.", "\xcf\x83igma", true},
        {"filter longer than both", "Foo", "Bar.", "foo bar baz qux long filter", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::FilterMatches(QString::fromUtf8(r.name), QString::fromUtf8(r.description),
                                         QString::fromUtf8(r.filter)),
                  r.out)
            << r.what;
}

TEST(StripVersion, CutsBeforeTheFirstSpaceAndDigit)
{
    const struct
    {
        const char* what;
        const char *in, *out;
    } rows[] = {
        {"version number cut", "Foo Bar 2.1", "Foo Bar"},
        {"Build removed, then the number cut", "App Build 120", "App"},
        {"Build before a year", "Foo Build 2024", "Foo"},
        {"Build in any case", "Foo BUILD 7", "Foo"},
        {"not inside a longer word", "Site Builder 3", "Site Builder"},
        {"a digit after Build still counts as a word end", "Foo Build120", "Foo120"},
        {"a full stop after Build is a word end", "Foo Build.", "Foo."},
        {"every occurrence", "Foo Build Build 1", "Foo"},
        {"only with its leading space", "FooBuild 1", "FooBuild"},
        {"everything after the number goes too", "Pack-Tool 24.08 Beta", "Pack-Tool"},
        {"a leading number is not preceded by a space", "3DView 2.29", "3DView"},
        {"a digit inside a word stays", "Foo2 Tool 9", "Foo2 Tool"},
        {"the first such space, whatever the digit", "Tool 9 1", "Tool"},
        {"a letter before the digit", "Tool v2", "Tool v2"},
        {"no trimming after the cut", "Tool  2", "Tool "},
        {"cut at the very start", " 1", ""},
        {"single digit", "Tool 2", "Tool"},
        {"only ASCII digits count", "Tool \xd9\xa3", "Tool \xd9\xa3"},
        {"empty", "", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::StripVersion(QString::fromUtf8(r.in)), QString::fromUtf8(r.out)) << r.what;
}

TEST(MatchAlerts, WordsAsTheyStandCaseFolded)
{
    const struct
    {
        const char* what;
        const char *alertNames, *name;
        QList<qsizetype> hits;
    } rows[] = {
        {"case-insensitive", "kelvara,zip", "Pack-Zip 24.08", {1}},
        {"a word keeps its leading space", "kelvara, zip", "Pack-Zip 24.08", {}},
        {"the leading space matches a space", "kelvara, zip", "Win Zip 3", {1}},
        {"trailing comma: the empty word matches nothing", "zip,", "Foo", {}},
        {"trailing comma: the other word still matches", "zip,", "Zip", {0}},
        {"only empty words", ",", "Anything", {}},
        {"no alert names", "", "Zip", {}},
        {"two words: two hits", "pack,zip", "Pack-Zip", {0, 1}},
        {"the same word twice: logged twice", "zip,zip", "Zip", {0, 1}},
        {"a word with an inner space", "Pack Zip", "pack zip tool", {0}},
        {"non-ASCII case", "\xc3\x84PFEL", "\xc3\xa4pfel", {0}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::MatchAlerts(QString::fromUtf8(r.name), content::AlertWords(QString::fromUtf8(r.alertNames))),
                  r.hits)
            << r.what;
}

TEST(AlertPopup, ShownOncePerRefreshAndOnlyWithHits)
{
    const struct
    {
        const char* what;
        bool shown;
        const char* log;
        int64_t popup;
        bool markShown, showBox;
    } rows[] = {
        {"hits, pop-up on", false, "Foo\n", 1, true, true},
        {"switched off: still marked as decided", false, "Foo\n", 0, true, false},
        {"already decided this refresh", true, "Foo\n", 1, false, false},
        {"no alerts", false, "", 1, false, false},
        {"only 1 means on", false, "Foo\n", 2, true, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const content::AlertPopupDecision d = content::DecideAlertPopup(r.shown, QString::fromUtf8(r.log), r.popup);
        EXPECT_EQ(d.markShown, r.markShown);
        EXPECT_EQ(d.showBox, r.showBox);
    }
}

TEST(AlertPopup, ListsEachNameOnItsLineWithoutTrailingBlank)
{
    const struct
    {
        const char* what;
        const char *log, *text;
    } rows[] = {
        {"one name per line", "Foo 1\nBar\n",
         "These files were updated today:\n\nFoo 1\nBar\n\nYou can edit your alerts in Settings."},
        {"trailing line feeds dropped", "Foo\n\n\n",
         "These files were updated today:\n\nFoo\n\nYou can edit your alerts in Settings."},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::AlertPopupText(QString::fromUtf8(r.log)), QString::fromUtf8(r.text)) << r.what;
    EXPECT_EQ(content::AlertPopupTitle, QStringLiteral("Zorvane Update Alerts"));
}

TEST(FoldCase, EachUnitFoldedOnItsOwnWhateverTheMix)
{
    // Whatever the mix of ASCII, other letters, lone surrogates and zero
    // units, the fold must give what folding every unit with QChar gives, so
    // that the length and the positions stay those of the original.
    const char16_t alphabet[] = {
        u'a',   u'Z',   u'@',   u'[',   u'`',   u'{',   u' ',   u'M',   u'z',   0x00c4,
        0x03a3, 0x00df, 0xff21, 0x0130, 0xd801, 0xdc00, 0x0000, 0x7fff, 0x8000, 0xffff}; // the first nine are ASCII
    const int letters = sizeof(alphabet) / sizeof(alphabet[0]);
    std::mt19937 rng(99);
    for (int round = 0; round < 5000; ++round) {
        QString s;
        const int length = static_cast<int>(rng() % 40);
        const bool asciiOnly = round % 2 == 0;
        for (int i = 0; i < length; ++i)
            s.append(QChar(alphabet[rng() % (asciiOnly ? 9 : letters)]));
        QString expected = s;
        for (QChar& c : expected)
            c = c.toLower();
        ASSERT_EQ(content::FoldCase(s), expected) << round;
        QString reused = QStringLiteral("longer text left over from before");
        content::FoldCaseInto(s, reused);
        ASSERT_EQ(reused, expected) << round;
    }
}
