#include "runtime/dates.h"

#include <gtest/gtest.h>

using namespace runtime;

TEST(Dates, FieldsOutsideTheCalendarOrRangeGiveMinusOne)
{
    const struct
    {
        DateFields fields;
        Date date;
    } rows[] = {
        {{1970, 1, 1, 0, 0, 0}, 0},           {{2038, 1, 19, 3, 14, 7}, 2147483647}, // last valid second
        {{2038, 1, 19, 3, 14, 8}, -1},                                               // one past the range
        {{1969, 12, 31, 23, 59, 59}, -1},     {{2024, 2, 29, 0, 0, 0}, 1709164800},  // leap year
        {{2023, 2, 29, 0, 0, 0}, -1},         {{2000, 2, 29, 12, 0, 0}, 951825600},  // divisible by 400: leap
        {{2100, 2, 29, 0, 0, 0}, -1},                                                // out of range anyway
        {{2026, 4, 31, 0, 0, 0}, -1},                                                // 31st in a 30-day month
        {{2026, 13, 1, 0, 0, 0}, -1},         {{2026, 0, 1, 0, 0, 0}, -1},           {{2026, 1, 0, 0, 0, 0}, -1},
        {{2026, 1, 1, 24, 0, 0}, -1},         {{2026, 1, 1, 0, 60, 0}, -1},          {{2026, 1, 1, 0, 0, 60}, -1},
        {{2026, 12, 7, 9, 5, 7}, 1796634307},
    };
    for (const auto& r : rows) {
        const DateFields& f = r.fields;
        EXPECT_EQ(DateFromFields(f), r.date)
            << f.year << "-" << f.month << "-" << f.day << " " << f.hour << ":" << f.minute << ":" << f.second;
    }
}

TEST(Dates, FieldsSurviveTheRoundTrip)
{
    for (const DateFields f : {DateFields{1970, 1, 1, 0, 0, 0}, DateFields{1999, 12, 31, 23, 59, 59},
                               DateFields{2024, 2, 29, 13, 1, 2}, DateFields{2038, 1, 19, 3, 14, 7}}) {
        const DateFields back = FieldsOfDate(DateFromFields(f));
        EXPECT_EQ(back.year, f.year);
        EXPECT_EQ(back.month, f.month);
        EXPECT_EQ(back.day, f.day);
        EXPECT_EQ(back.hour, f.hour);
        EXPECT_EQ(back.minute, f.minute);
        EXPECT_EQ(back.second, f.second);
    }
}

TEST(Dates, FormatFollowsTheMask)
{
    const Date morning = DateFromFields({2026, 12, 7, 9, 5, 7});
    const Date lateEvening = DateFromFields({2026, 12, 7, 23, 50, 0});
    const Date year2005 = DateFromFields({2005, 3, 4, 0, 0, 0});
    const struct
    {
        const char* mask;
        Date date;
        const char* text;
    } rows[] = {
        {"%hh:%ii:%ss", morning, "09:05:07"},
        {"%HH:%II:%SS", morning, "09:05:07"},                         // tokens ignore case
        {"%hh:%ii:%ss", DateAddMinutes(lateEvening, 15), "00:05:00"}, // day rolls over unseen
        {"%yyyy-%mm-%dd", morning, "2026-12-07"},
        {"%yy", year2005, "05"},
        {"%yyy", year2005, "05y"}, // "yy" then a literal "y"
        {"100%", morning, "100%"}, // lone percent kept
        {"%%hh", morning, "%09"},
        {"%x%", morning, "%x%"},
        {"", morning, ""},
        {"%hh", -1, ""}, // no date: empty text
    };
    for (const auto& r : rows)
        EXPECT_EQ(DateFormat(r.mask, r.date), r.text) << r.mask;
    EXPECT_EQ(DateFormat(QString(), morning), "");
    EXPECT_EQ(DateAddMinutes(-1, 30), -1);
}

TEST(Dates, NowIsAValidDate)
{
    const Date now = DateNow();
    ASSERT_GT(now, DateFromFields({2020, 1, 1, 0, 0, 0}));
    EXPECT_EQ(DateFormat("%hh:%ii:%ss", now).size(), 8);
}
