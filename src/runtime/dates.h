#pragma once

#include <QString>

#include <cstdint>

namespace runtime {

/// Seconds since 1970-01-01 00:00:00 of the local wall clock, read as if both
/// were UTC (no zone, no daylight saving). -1 means "no date".
using Date = int64_t;

/// Wall-clock fields of one date.
struct DateFields
{
    int year = 1970;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/// The date of the given fields; -1 for impossible fields or outside
/// 1970-01-01 00:00:00 .. 2038-01-19 03:14:07.
Date DateFromFields(const DateFields& fields);

/// The fields of a valid date (read back with UTC rules).
DateFields FieldsOfDate(Date date);

/// The local clock now, to the second. Any thread.
Date DateNow();

/// `date` plus 60 x `minutes` seconds; -1 stays -1.
Date DateAddMinutes(Date date, int64_t minutes);

/// Formats `date` by `mask`: "%yyyy", "%yy", "%mm", "%dd", "%hh", "%ii", "%ss"
/// (any letter case) become the fields, two digits but for the full year; any
/// other character, a lone "%" included, is copied. Empty for a null mask or -1.
QString DateFormat(const QString& mask, Date date);

} // namespace runtime
