#include "runtime/text_to_int.h"

#include <gtest/gtest.h>

TEST(TextToInt, ReadsEveryNotationAndStopsAtTheFirstStranger)
{
    const struct
    {
        const char16_t* in;
        int64_t out;
    } rows[] = {
        {u"42", 42},
        {u"  \t 42", 42}, // blanks and tabs skipped
        {u"\n42", 0},     // a line break is not a blank
        {u"-8", -8},
        {u"+8", 8},
        {u"--8", 0}, // one sign only
        {u"- 8", 0}, // no blank after the sign
        {u"$ff", 255},
        {u"$FFx", 255}, // stops at the first non-digit
        {u"-$10", -16},
        {u"%101", 5},
        {u"%102", 2}, // "2" is not binary
        {u"$", 0},    // marker without digits
        {u"12abc", 12},
        {u"abc", 0},
        {u"", 0},
        {u"007", 7},
        {u"\u0663", 0}, // Arabic-Indic three is not a digit here
        {u"\uff11", 0}, // neither is a full-width one
        {u"9223372036854775807", INT64_MAX},
        {u"-9223372036854775808", INT64_MIN},
        {u"18446744073709551615", -1},        // 64 bits: two's complement, as hex gives it
        {u"18446744073709551617", INT64_MAX}, // beyond 64 bits: saturates, never wraps
        {u"18446744073709552768", INT64_MAX}, // would wrap to 1152, a valid window width
        {u"-99999999999999999999", INT64_MIN},
        {u"$ffffffffffffffffffff", INT64_MAX},
        {u"$ffffffffffffffff", -1},
    };
    for (const auto& r : rows)
        EXPECT_EQ(runtime::TextToInt(QString::fromUtf16(r.in)), r.out) << QString::fromUtf16(r.in).toStdString();
}
