#include "content/text_cleanup.h"

#include "support/qstring_print.h"
#include "support/slow_strip_tags.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

using namespace std::string_view_literals;

namespace {

// Views keep embedded zero units, which a plain char16_t pointer would end at.
QString U(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

TEST(ExtractBetween, TakesTheTextBetweenFirstStartAndNextEnd)
{
    const struct
    {
        const char* what;
        std::u16string_view text, start, end, out;
    } rows[] = {
        {"first pair only", u"a[x]b[y]"sv, u"["sv, u"]"sv, u"x"sv},
        {"end marker only before the start", u"a]x[b"sv, u"["sv, u"]"sv, u""sv},
        {"start missing, end present", u"a]x"sv, u"["sv, u"]"sv, u""sv},
        {"end missing", u"a[x"sv, u"["sv, u"]"sv, u""sv},
        {"nothing between", u"[]"sv, u"["sv, u"]"sv, u""sv},
        {"markers longer than one character", u"<a><b>c</b>"sv, u"<b>"sv, u"</b>"sv, u"c"sv},
        {"case-sensitive", u"AbcaBC"sv, u"b"sv, u"B"sv, u"ca"sv},
        {"same marker both ends", u"x--y--z"sv, u"--"sv, u"--"sv, u"y"sv},
        {"empty text", u""sv, u"["sv, u"]"sv, u""sv},
        {"empty start marker is never found", u"a[x]"sv, u""sv, u"]"sv, u""sv},
        {"empty end marker is never found", u"a[x]"sv, u"["sv, u""sv, u""sv},
        {"line breaks are plain characters", u"[x\r\ny]"sv, u"["sv, u"]"sv, u"x\r\ny"sv},
        {"zero units are plain characters", u"[x\u0000y]"sv, u"["sv, u"]"sv, u"x\u0000y"sv},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::ExtractBetween(U(r.text), U(r.start), U(r.end)), U(r.out)) << r.what;
}

TEST(CleanLine, TrimsSpacesAndDropsOneLeadingBreak)
{
    const struct
    {
        const char* what;
        std::u16string_view in, out;
    } rows[] = {
        {"trim, then the XHTML break", u"  <br /><div>  "sv, u"<div>"sv},
        {"only one break goes", u"<br><br>x"sv, u"<br>x"sv},
        {"case-sensitive", u"<BR>x"sv, u"<BR>x"sv},
        {"only at the start", u"x<br>"sv, u"x<br>"sv},
        {"tabs are not trimmed, so no break at the start", u"\t<br>x"sv, u"\t<br>x"sv},
        {"the break alone", u"<br>"sv, u""sv},
        {"the XHTML break alone", u"<br />"sv, u""sv},
        {"only the two exact spellings", u"<br/>x"sv, u"<br/>x"sv},
        {"no-break spaces stay", u" \u00a0x \u00a0"sv, u"\u00a0x \u00a0"sv},
        {"only spaces", u"   "sv, u""sv},
        {"empty", u""sv, u""sv},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::CleanLine(U(r.in)), U(r.out)) << r.what;
}

TEST(StripTags, RemovesTagsAndDecodesOnlyWhatTheSiteUses)
{
    const struct
    {
        const char* what;
        std::u16string_view in, out;
    } rows[] = {
        {"tags and &amp;", u"<b>Foo</b> &amp; <i>Bar</i>"sv, u"Foo & Bar"sv},
        {"quotes", u"Say &quot;hi&quot;"sv, u"Say \"hi\""sv},
        {"decimal reference", u"caf&#233;"sv, u"caf\u00e9"sv},
        {"a reference above Latin-1", u"&#8217;"sv, u"\u2019"sv},
        {"adjacent references", u"&#65;&#66;"sv, u"AB"sv},
        {"\"$\" hexadecimal", u"&#$41;"sv, u"A"sv},
        {"\"%\" binary", u"&#%1000001;"sv, u"A"sv},
        {"letter after \"&#\" reads as 0: gone", u"&#x41;"sv, u""sv},
        {"value 0 gives nothing", u"&#0;x"sv, u"x"sv},
        {"low 16 bits of 0x10000 are 0", u"&#65536;"sv, u""sv},
        {"0x10041 keeps 0x41", u"&#65601;"sv, u"A"sv},
        {"sign, then the low 16 bits", u"&#-1;"sv, u"\uffff"sv},
        {"blanks before the digits skipped", u"&# 65;"sv, u"A"sv},
        {"stops at the first stranger, all of it goes", u"&#65abc;"sv, u"A"sv},
        {"&nbsp; is not decoded, on purpose", u"a&nbsp;b"sv, u"a&nbsp;b"sv},
        {"&lt; and &gt; are not decoded", u"&lt;b&gt;"sv, u"&lt;b&gt;"sv},
        {"&amp; only after the references", u"&amp;#65;"sv, u"&#65;"sv},
        {"one pass of &amp;", u"&amp;amp;"sv, u"&amp;"sv},
        {"&quot; after &amp;", u"&amp;quot;"sv, u"\""sv},
        {"a decoded \"#\" forms a new reference", u"&&#35;65;"sv, u"A"sv},
        {"a decoded \"&\" forms a new reference", u"&#38;#65;"sv, u"A"sv},
        {"a reference that vanishes joins a new one", u"&&#0;#65;"sv, u"A"sv},
        {"\"&\" + \"#\" from two references", u"&#38;&#35;66;"sv, u"B"sv},
        {"tags come before references", u"&#60;b&#62;"sv, u"<b>"sv},
        {"\"<\" with no \">\" ends the pass", u"x < y"sv, u"x < y"sv},
        {"an unclosed \"<\" after earlier tags were removed", u"<b>x</b> y <i"sv, u"x y <i"sv},
        {"a lone \"<\" reaches the next tag's \">\"", u"<b>x</b> < y <i>"sv, u"x "sv},
        {"lone \">\" is text", u"a > b"sv, u"a > b"sv},
        {"first \"<\" to the first \">\"", u"<<b>>"sv, u">"sv},
        {"\"&#\" with no \";\" ends the pass", u"&#65"sv, u"&#65"sv},
        {"an unterminated reference after a decoded one", u"&#65;&#66"sv, u"A&#66"sv},
        {"tags span line breaks", u"<a\r\nhref=\"x\">y</a>"sv, u"y"sv},
        {"zero unit is a plain character", u"a\u0000<b>c"sv, u"a\u0000c"sv},
        {"empty", u""sv, u""sv},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::StripTags(U(r.in)), U(r.out)) << r.what;
}

TEST(StripTags, AgreesWithTheCutAndSearchAgainForm)
{
    // Random text over the characters that matter to the passes; the linear
    // walk must give exactly what re-searching from the start gives.
    const char16_t alphabet[] = u"<>&#;$%0123456789-+ abx\"qmpuot";
    const int letters = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    std::mt19937 rng(12345);
    for (int round = 0; round < 20000; ++round) {
        QString s;
        const int length = static_cast<int>(rng() % 24);
        for (int i = 0; i < length; ++i)
            s.append(QChar(alphabet[rng() % letters]));
        ASSERT_EQ(content::StripTags(s), testsupport::SlowStripTags(s)) << s.toStdString();
    }
}

TEST(StripTags, HostileInputEndsQuickly)
{
    // Thousands of tags, unclosed openers and unterminated references: each
    // must finish and keep the text that was not a tag.
    const QString tags = QStringLiteral("<i>x</i>").repeated(50000);
    EXPECT_EQ(content::StripTags(tags), QStringLiteral("x").repeated(50000));
    const QString openers = QStringLiteral("<").repeated(100000);
    EXPECT_EQ(content::StripTags(openers), openers);
    const QString refs = QStringLiteral("&#").repeated(100000);
    EXPECT_EQ(content::StripTags(refs), refs);
    const QString chained = QStringLiteral("&#38;").repeated(50000) + QStringLiteral("#65;");
    EXPECT_EQ(content::StripTags(chained), QStringLiteral("&").repeated(49999) + QStringLiteral("A"));
}
