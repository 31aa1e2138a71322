#include "content/file_filters.h"

#include "qstring_print.h"

#include <gtest/gtest.h>

#include <random>

using content::Platform;

TEST(PlatformMatches, EachIconAnswersToItsSettingAndAll)
{
    const struct
    {
        Platform present;
        const char* setting;
        bool out;
    } rows[] = {
        {Platform::Windows, "All", true},      {Platform::Android, "All", true},
        {Platform::Windows, "Windows", true},  {Platform::Windows, "Linux", false},
        {Platform::Linux, "Linux", true},      {Platform::Linux, "MacOS", false},
        {Platform::Apple, "MacOS", true},  // the Apple icon is "MacOS"
        {Platform::Apple, "Apple", false}, // not "Apple"
        {Platform::Android, "Android", true},  {Platform::Android, "Windows", false},
        {Platform::Windows, "windows", false}, // exact case
        {Platform::Windows, "", false},        // unknown settings pass nothing
        {Platform::Linux, "all", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::PlatformMatches(r.present, QString::fromUtf8(r.setting)), r.out)
            << static_cast<int>(r.present) << " " << r.setting;
}

TEST(FilterMatches, LooksInNameThenDescriptionLetterCaseAside)
{
    const struct
    {
        const char *name, *description, *filter;
        bool out;
    } rows[] = {
        {"Foo", "Bar.", "", true},                    // no filter: everything
        {"Pack", "A zip archive tool.", "ZIP", true}, // description counts, case folded
        {"WinZip", "Tool.", "zip", true},             // name counts
        {"Foo", "Bar.", "baz", false},
        {"Foo Bar", "x.", "o b", true},               // spaces are part of the filter
        {"Foo", "Bar.", " foo", false},               // used as typed, not trimmed
        {"Foo", "Bar.", "bar.", true},                // the final "." is searchable
        {"Foo", "Bar", "o\nb", false},                // name and description are not joined
        {"\xc3\x84pfel", "x.", "\xc3\xa4PF", true},   // non-ASCII letters fold too
        {"\xce\xa3IGMA", "x.", "\xcf\x83igma", true}, // Greek capital sigma
        {"Foo", "Bar.", "foo bar baz qux long filter", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::FilterMatches(QString::fromUtf8(r.name), QString::fromUtf8(r.description),
                                         QString::fromUtf8(r.filter)),
                  r.out)
            << r.name << " / " << r.filter;
}

TEST(StripVersion, CutsBeforeTheFirstSpaceAndDigit)
{
    const struct
    {
        const char *in, *out;
    } rows[] = {
        {"Foo Bar 2.1", "Foo Bar"},
        {"App Build 120", "App"}, // " Build" removed, then the number cut
        {"Foo Build 2024", "Foo"},
        {"Foo BUILD 7", "Foo"},             // any case
        {"Site Builder 3", "Site Builder"}, // not inside a longer word
        {"Foo Build120", "Foo120"},         // a digit after it still counts as a word end
        {"Foo Build.", "Foo."},
        {"Foo Build Build 1", "Foo"},          // every occurrence
        {"FooBuild 1", "FooBuild"},            // only with its leading space
        {"Pack-Tool 24.08 Beta", "Pack-Tool"}, // everything after the number goes too
        {"3DView 2.29", "3DView"},             // a leading number is not preceded by a space
        {"Foo2 Tool 9", "Foo2 Tool"},
        {"Tool 9 1", "Tool"},   // the first such space, whatever the digit
        {"Tool v2", "Tool v2"}, // a letter before the digit
        {"Tool  2", "Tool "},   // no trimming after the cut
        {" 1", ""},             // cut at position 1
        {"Tool 2", "Tool"},
        {"Tool \xd9\xa3", "Tool \xd9\xa3"}, // only ASCII digits count
        {"", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::StripVersion(QString::fromUtf8(r.in)), QString::fromUtf8(r.out)) << r.in;
}

TEST(MatchAlerts, WordsAsTheyStandCaseFolded)
{
    const struct
    {
        const char *alertNames, *name;
        QList<qsizetype> hits;
    } rows[] = {
        {"kelvara,zip", "Pack-Zip 24.08", {1}}, // case-insensitive
        {"kelvara, zip", "Pack-Zip 24.08", {}}, // " zip" keeps its space
        {"kelvara, zip", "Win Zip 3", {1}},
        {"zip,", "Foo", {}}, // trailing comma: empty word matches nothing
        {"zip,", "Zip", {0}},
        {",", "Anything", {}},                 // only empty words
        {"", "Zip", {}},                       // no alert names
        {"pack,zip", "Pack-Zip", {0, 1}},      // two words: two hits
        {"zip,zip", "Zip", {0, 1}},            // the same word twice: logged twice
        {"Pack Zip", "pack zip tool", {0}},    // a word with an inner space
        {"\xc3\x84PFEL", "\xc3\xa4pfel", {0}}, // non-ASCII case
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::MatchAlerts(QString::fromUtf8(r.name), content::AlertWords(QString::fromUtf8(r.alertNames))),
                  r.hits)
            << r.alertNames << " / " << r.name;
}

TEST(AlertPopup, ShownOncePerRefreshAndOnlyWithHits)
{
    const struct
    {
        bool shown;
        const char* log;
        int64_t popup;
        bool markShown, showBox;
    } rows[] = {
        {false, "Foo\n", 1, true, true},  {false, "Foo\n", 0, true, false}, // switched off: still marked as decided
        {true, "Foo\n", 1, false, false},                                   // already decided this refresh
        {false, "", 1, false, false},                                       // no alerts
        {false, "Foo\n", 2, true, false},                                   // only 1 means on
    };
    for (const auto& r : rows) {
        const content::AlertPopupDecision d = content::DecideAlertPopup(r.shown, QString::fromUtf8(r.log), r.popup);
        EXPECT_EQ(d.markShown, r.markShown) << r.shown << r.log << r.popup;
        EXPECT_EQ(d.showBox, r.showBox) << r.shown << r.log << r.popup;
    }
}

TEST(AlertPopup, ListsEachNameOnItsLineWithoutTrailingBlank)
{
    EXPECT_EQ(content::AlertPopupText(QStringLiteral("Foo 1\nBar\n")),
              QStringLiteral("These files were updated today:\n\nFoo 1\nBar\n\nYou can edit your alerts in Settings."));
    EXPECT_EQ(content::AlertPopupText(QStringLiteral("Foo\n\n\n")),
              QStringLiteral("These files were updated today:\n\nFoo\n\nYou can edit your alerts in Settings."));
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
