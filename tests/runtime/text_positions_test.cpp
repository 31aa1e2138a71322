#include "runtime/text_positions.h"

#include <gtest/gtest.h>

using namespace runtime;

TEST(TextPositions, FindCountsFromOneAndReportsZeroWhenAbsent)
{
    const struct
    {
        const char* text;
        const char* needle;
        qsizetype start;
        qsizetype position;
    } rows[] = {
        {"abcabc", "b", 1, 2},  {"abcabc", "b", 3, 5},                    // search starts at the given position
        {"abcabc", "b", 5, 5},                                            // the start position itself counts
        {"abcabc", "b", 0, 2},                                            // below 1 counts as 1
        {"abcabc", "b", -9, 2}, {"abcabc", "b", 7, 0},                    // past the end
        {"abcabc", "x", 1, 0},  {"", "x", 1, 0},       {"abc", "", 1, 0}, // an empty needle is never found
        {"abc", "abcd", 1, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Find(r.text, r.needle, r.start), r.position) << r.text << " / " << r.needle << " @" << r.start;
}

TEST(TextPositions, LeftFromAndTrimHandleEveryBoundary)
{
    EXPECT_EQ(Left("abc", 2), "ab");
    EXPECT_EQ(Left("abc", 0), "");
    EXPECT_EQ(Left("abc", -1), "");
    EXPECT_EQ(Left("abc", 10), "abc");
    EXPECT_EQ(From("abc", 2), "bc");
    EXPECT_EQ(From("abc", 1), "abc");
    EXPECT_EQ(From("abc", -5), "abc");
    EXPECT_EQ(From("abc", 3), "c");
    EXPECT_EQ(From("abc", 4), "");
    EXPECT_EQ(TrimSpaces(u"  a b  ").toString(), "a b");
    EXPECT_EQ(TrimSpaces(u"\ta\t").toString(), "\ta\t"); // only the space character
    EXPECT_EQ(TrimSpaces(QString::fromUtf8("\u00a0a ")).toString(), QString::fromUtf8("\u00a0a")); // not no-break space
    EXPECT_EQ(TrimSpaces(u"    ").toString(), "");
}
