#include "runtime/text_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

using namespace std::string_view_literals;

namespace {

QString U(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

TEST(TextSearch, IndexOfAndReplaceAllAgreeWithQt)
{
    // The search picks the needle's rarest character and checks around it;
    // it must find exactly what Qt finds, at every start, with the needle at
    // the ends of the text and with zero and non-ASCII units.
    const char16_t alphabet[] = u"<>ab z&#; \u0000\u00e9\u25cf";
    const int letters = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    std::mt19937 rng(777);
    auto randomText = [&](int maxLength) {
        QString s;
        const int length = static_cast<int>(rng() % (maxLength + 1));
        for (int i = 0; i < length; ++i)
            s.append(QChar(alphabet[rng() % letters]));
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const QString haystack = randomText(40);
        const QString needle = randomText(4);
        if (needle.isEmpty())
            continue;
        for (qsizetype from = 0; from <= haystack.size() + 1; ++from) {
            const qsizetype expected = from > haystack.size() ? -1 : haystack.indexOf(needle, from);
            ASSERT_EQ(runtime::IndexOf(haystack, needle, from), expected)
                << haystack.toStdString() << " / " << needle.toStdString() << " from " << from;
        }
        const QString replacement = needle.left(static_cast<qsizetype>(rng() % (needle.size() + 1)));
        QString ours = haystack;
        runtime::ReplaceAll(ours, needle, replacement);
        QString theirs = haystack;
        theirs.replace(needle, replacement);
        ASSERT_EQ(ours, theirs) << haystack.toStdString() << " / " << needle.toStdString();
    }
}

TEST(TextSearch, FindCharAtEveryPositionOfLongRuns)
{
    // Long runs go sixteen and eight units at a time, then one by one: the
    // character must be found in each part and not past itself.
    for (qsizetype length = 0; length < 70; ++length) {
        for (qsizetype at = 0; at < length; ++at) {
            QString s(length, u'x');
            s[at] = u'z';
            ASSERT_EQ(runtime::FindChar(s, u'z', 0), at) << length;
            ASSERT_EQ(runtime::FindChar(s, u'z', at), at) << length;
            ASSERT_EQ(runtime::FindChar(s, u'z', at + 1), -1) << length;
        }
    }
}

TEST(TextSearch, EdgesOfTheSearchArguments)
{
    const struct
    {
        const char* what;
        std::u16string_view haystack, needle;
        qsizetype from, at;
    } rows[] = {
        {"an empty needle is never found", u"abc"sv, u""sv, 0, -1},
        {"a negative start counts as 0", u"abc"sv, u"a"sv, -5, 0},
        {"a start past the end finds nothing", u"abc"sv, u"c"sv, 3, -1},
        {"needle longer than the text", u"ab"sv, u"abc"sv, 0, -1},
        {"needle that is the whole text", u"<a>"sv, u"<a>"sv, 0, 0},
        {"needle at the very end", u"xxxxxxxxxxxxxxxxxxxx</div>"sv, u"</div>"sv, 0, 20},
        {"the rarest character occurs before the needle fits", u">ab>"sv, u"b>"sv, 0, 2},
        {"a near miss at the start before the hit", u"</di</div>"sv, u"</div>"sv, 0, 4},
        {"case-sensitive", u"ABC"sv, u"b"sv, 0, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(runtime::IndexOf(U(r.haystack), U(r.needle), r.from), r.at);
        EXPECT_EQ(runtime::Contains(U(r.haystack), U(r.needle)),
                  U(r.haystack).contains(U(r.needle)) && !r.needle.empty());
    }
}

TEST(TextSearch, StartsWith)
{
    const struct
    {
        const char* what;
        std::u16string_view text, prefix;
        bool out;
    } rows[] = {
        {"prefix", u"<!-- x -->"sv, u"<!--"sv, true},
        {"the whole text", u"<!--"sv, u"<!--"sv, true},
        {"longer than the text", u"<!-"sv, u"<!--"sv, false},
        {"inside, not at the start", u" <!--"sv, u"<!--"sv, false},
        {"differs in the last unit", u"<!-x"sv, u"<!--"sv, false},
        {"the empty prefix", u"abc"sv, u""sv, true},
        {"case-sensitive", u"<BR>"sv, u"<br>"sv, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(runtime::StartsWith(U(r.text), U(r.prefix)), r.out) << r.what;
}
