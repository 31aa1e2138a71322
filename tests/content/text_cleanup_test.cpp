#include "content/text_cleanup.h"

#include "qstring_print.h"
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
        std::u16string_view text, start, end, out;
    } rows[] = {
        {u"a[x]b[y]"sv, u"["sv, u"]"sv, u"x"sv},          // first pair only
        {u"a]x[b"sv, u"["sv, u"]"sv, u""sv},              // end marker only before the start
        {u"a]x"sv, u"["sv, u"]"sv, u""sv},                // start missing, end present
        {u"a[x"sv, u"["sv, u"]"sv, u""sv},                // end missing
        {u"[]"sv, u"["sv, u"]"sv, u""sv},                 // nothing between
        {u"<a><b>c</b>"sv, u"<b>"sv, u"</b>"sv, u"c"sv},  // markers longer than one character
        {u"AbcaBC"sv, u"b"sv, u"B"sv, u"ca"sv},           // case-sensitive
        {u"x--y--z"sv, u"--"sv, u"--"sv, u"y"sv},         // same marker both ends
        {u""sv, u"["sv, u"]"sv, u""sv},                   // empty text
        {u"a[x]"sv, u""sv, u"]"sv, u""sv},                // empty start marker is never found
        {u"a[x]"sv, u"["sv, u""sv, u""sv},                // empty end marker is never found
        {u"[x\r\ny]"sv, u"["sv, u"]"sv, u"x\r\ny"sv},     // line breaks are plain characters
        {u"[x\u0000y]"sv, u"["sv, u"]"sv, u"x\u0000y"sv}, // so are zero units
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::ExtractBetween(U(r.text), U(r.start), U(r.end)), U(r.out)) << U(r.text).toStdString();
}

TEST(CleanLine, TrimsSpacesAndDropsOneLeadingBreak)
{
    const struct
    {
        std::u16string_view in, out;
    } rows[] = {
        {u"  <br /><div>  "sv, u"<div>"sv}, // trim, then the XHTML break
        {u"<br><br>x"sv, u"<br>x"sv},       // only one break goes
        {u"<BR>x"sv, u"<BR>x"sv},           // case-sensitive
        {u"x<br>"sv, u"x<br>"sv},           // only at the start
        {u"\t<br>x"sv, u"\t<br>x"sv},       // tabs are not trimmed, so no break at the start
        {u"<br>"sv, u""sv},                 // the break alone
        {u"<br />"sv, u""sv},
        {u"<br/>x"sv, u"<br/>x"sv},                  // only the two exact spellings
        {u" \u00a0x \u00a0"sv, u"\u00a0x \u00a0"sv}, // no-break spaces stay
        {u"   "sv, u""sv},
        {u""sv, u""sv},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::CleanLine(U(r.in)), U(r.out)) << U(r.in).toStdString();
}

TEST(StripTags, RemovesTagsAndDecodesOnlyWhatTheSiteUses)
{
    const struct
    {
        std::u16string_view in, out;
    } rows[] = {
        {u"<b>Foo</b> &amp; <i>Bar</i>"sv, u"Foo & Bar"sv}, // tags and &amp;
        {u"Say &quot;hi&quot;"sv, u"Say \"hi\""sv},         // quotes
        {u"caf&#233;"sv, u"caf\u00e9"sv},                   // decimal reference
        {u"&#8217;"sv, u"\u2019"sv},
        {u"&#65;&#66;"sv, u"AB"sv},     // adjacent references
        {u"&#$41;"sv, u"A"sv},          // "$" hexadecimal
        {u"&#%1000001;"sv, u"A"sv},     // "%" binary
        {u"&#x41;"sv, u""sv},           // letter after "&#" reads as 0: gone
        {u"&#0;x"sv, u"x"sv},           // value 0 gives nothing
        {u"&#65536;"sv, u""sv},         // low 16 bits of 0x10000 are 0
        {u"&#65601;"sv, u"A"sv},        // 0x10041 keeps 0x41
        {u"&#-1;"sv, u"\uffff"sv},      // sign, then the low 16 bits
        {u"&# 65;"sv, u"A"sv},          // blanks before the digits skipped
        {u"&#65abc;"sv, u"A"sv},        // stops at the first stranger, all of it goes
        {u"a&nbsp;b"sv, u"a&nbsp;b"sv}, // not decoded on purpose
        {u"&lt;b&gt;"sv, u"&lt;b&gt;"sv},
        {u"&amp;#65;"sv, u"&#65;"sv},      // &amp; only after the references
        {u"&amp;amp;"sv, u"&amp;"sv},      // one pass of &amp;
        {u"&amp;quot;"sv, u"\""sv},        // &quot; after &amp;
        {u"&&#35;65;"sv, u"A"sv},          // a decoded "#" forms a new reference
        {u"&#38;#65;"sv, u"A"sv},          // so does a decoded "&"
        {u"&&#0;#65;"sv, u"A"sv},          // and a reference that vanishes
        {u"&#38;&#35;66;"sv, u"B"sv},      // "&" + "#" from two references
        {u"&#60;b&#62;"sv, u"<b>"sv},      // tags come before references
        {u"x < y"sv, u"x < y"sv},          // "<" with no ">" ends the pass
        {u"<b>x</b> y <i"sv, u"x y <i"sv}, // an unclosed "<" after earlier tags were removed
        {u"<b>x</b> < y <i>"sv, u"x "sv},  // a lone "<" reaches the next tag's ">"
        {u"a > b"sv, u"a > b"sv},          // lone ">" is text
        {u"<<b>>"sv, u">"sv},              // first "<" to the first ">"
        {u"&#65"sv, u"&#65"sv},            // "&#" with no ";" ends the pass
        {u"&#65;&#66"sv, u"A&#66"sv},
        {u"<a\r\nhref=\"x\">y</a>"sv, u"y"sv}, // tags span line breaks
        {u"a\u0000<b>c"sv, u"a\u0000c"sv},     // zero unit is a plain character
        {u""sv, u""sv},
    };
    for (const auto& r : rows)
        EXPECT_EQ(content::StripTags(U(r.in)), U(r.out)) << U(r.in).toStdString();
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
