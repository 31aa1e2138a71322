#include "runtime/text_positions.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace runtime;
using namespace std::string_view_literals;

namespace {

QString U(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

TEST(TextPositions, FindCountsFromOneAndReportsZeroWhenAbsent)
{
    const struct
    {
        const char* what;
        std::u16string_view text, needle;
        qsizetype start;
        qsizetype position;
    } rows[] = {
        {"first hit", u"abcabc"sv, u"b"sv, 1, 2},
        {"search starts at the given position", u"abcabc"sv, u"b"sv, 3, 5},
        {"the start position itself counts", u"abcabc"sv, u"b"sv, 5, 5},
        {"0 counts as 1", u"abcabc"sv, u"b"sv, 0, 2},
        {"below 1 counts as 1", u"abcabc"sv, u"b"sv, -9, 2},
        {"past the end", u"abcabc"sv, u"b"sv, 7, 0},
        {"absent", u"abcabc"sv, u"x"sv, 1, 0},
        {"empty text", u""sv, u"x"sv, 1, 0},
        {"an empty needle is never found", u"abc"sv, u""sv, 1, 0},
        {"needle longer than the text", u"abc"sv, u"abcd"sv, 1, 0},
        {"longer needle at the very end", u"xxabc"sv, u"abc"sv, 3, 3},
        {"longer needle starting after the start", u"abcabc"sv, u"ca"sv, 2, 3},
        {"case-sensitive", u"ABC"sv, u"b"sv, 1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(Find(U(r.text), U(r.needle), r.start), r.position);
    }
}

TEST(TextPositions, LeftTakesTheFirstCharacters)
{
    const struct
    {
        const char* what;
        qsizetype count;
        const char* out;
    } rows[] = {
        {"some", 2, "ab"},
        {"none", 0, ""},
        {"a negative count gives none", -1, ""},
        {"more than there is gives all", 10, "abc"},
        {"exactly all", 3, "abc"},
    };
    const QString text = QStringLiteral("abc");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(Left(text, r.count), QString::fromUtf8(r.out));
        EXPECT_EQ(Left(QStringView(text), r.count).toString(), QString::fromUtf8(r.out));
    }
}

TEST(TextPositions, FromTakesTheRestFromAPosition)
{
    const struct
    {
        const char* what;
        qsizetype pos;
        const char* out;
    } rows[] = {
        {"from the second", 2, "bc"}, {"from the first is all", 1, "abc"}, {"below 1 is all", -5, "abc"},
        {"the last one", 3, "c"},     {"past the end is empty", 4, ""},    {"far past the end is empty", 100, ""},
    };
    const QString text = QStringLiteral("abc");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(From(text, r.pos), QString::fromUtf8(r.out));
        EXPECT_EQ(From(QStringView(text), r.pos).toString(), QString::fromUtf8(r.out));
    }
}

TEST(TextPositions, TrimSpacesTakesOnlyTheSpaceCharacter)
{
    const struct
    {
        const char* what;
        std::u16string_view in, out;
    } rows[] = {
        {"both ends, inner space kept", u"  a b  "sv, u"a b"sv},
        {"tabs are not spaces", u"\ta\t"sv, u"\ta\t"sv},
        {"no-break space is not a space", u"\u00a0a "sv, u"\u00a0a"sv},
        {"only spaces", u"    "sv, u""sv},
        {"empty", u""sv, u""sv},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(TrimSpaces(U(r.in)), U(r.out));
        EXPECT_EQ(TrimSpaces(QStringView(U(r.in))).toString(), U(r.out));
    }
}

TEST(TextPositions, PiecesViewTheTextTheyWereCutFrom)
{
    // A scan cuts a cached page into pieces without copying: each piece must
    // point into the page itself.
    const QString page = QStringLiteral("  <a>page</a>  ");
    const QStringView trimmed = TrimSpaces(QStringView(page));
    EXPECT_EQ(trimmed.data(), page.constData() + 2);
    const QStringView rest = From(trimmed, Find(trimmed, u"page"));
    EXPECT_EQ(rest.data(), page.constData() + 5);
    EXPECT_EQ(Left(rest, 4).data(), page.constData() + 5);
    EXPECT_EQ(Left(rest, 4).toString(), QStringLiteral("page"));
}
