#include "runtime/dates.h"

#include <ctime>

namespace runtime {

namespace {

constexpr Date LastDate = 2147483647; // 2038-01-19 03:14:07

bool IsLeapYear(int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

QString TwoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

Date DateFromFields(const DateFields& f)
{
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || f.hour < 0 || f.hour > 23 || f.minute < 0 ||
        f.minute > 59 || f.second < 0 || f.second > 59 || f.year < 1970 || f.year > 2038)
        return -1;
    if (f.day > DaysInMonth(f.year, f.month))
        return -1;
    const Date value =
        DaysFromCivil(f.year, f.month, f.day) * 86400 + int64_t{f.hour} * 3600 + int64_t{f.minute} * 60 + f.second;
    return value > LastDate ? -1 : value;
}

DateFields FieldsOfDate(Date date)
{
    int64_t days = date / 86400;
    int64_t rest = date % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from a day count (inverse of DaysFromCivil).
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);

    DateFields f;
    f.year = static_cast<int>(y);
    f.month = static_cast<int>(m);
    f.day = static_cast<int>(d);
    f.hour = static_cast<int>(rest / 3600);
    f.minute = static_cast<int>(rest % 3600 / 60);
    f.second = static_cast<int>(rest % 60);
    return f;
}

Date DateNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr)
        return -1;
    return DateFromFields({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                           local.tm_sec > 59 ? 59 : local.tm_sec});
}

Date DateAddMinutes(Date date, int64_t minutes)
{
    if (date == -1)
        return -1;
    return date + 60 * minutes;
}

QString DateFormat(const QString& mask, Date date)
{
    if (mask.isNull() || date == -1)
        return QString();
    const DateFields f = FieldsOfDate(date);
    static const struct
    {
        QLatin1StringView token;
        int field;
    } tokens[] = {{QLatin1StringView("yyyy"), 0}, {QLatin1StringView("yy"), 1}, {QLatin1StringView("mm"), 2},
                  {QLatin1StringView("dd"), 3},   {QLatin1StringView("hh"), 4}, {QLatin1StringView("ii"), 5},
                  {QLatin1StringView("ss"), 6}};

    QString out;
    out.reserve(mask.size() + 8);
    qsizetype i = 0;
    while (i < mask.size()) {
        if (mask[i] != u'%') {
            out += mask[i++];
            continue;
        }
        const QStringView rest = QStringView(mask).mid(i + 1);
        bool matched = false;
        for (const auto& t : tokens) {
            if (!rest.startsWith(t.token, Qt::CaseInsensitive))
                continue;
            switch (t.field) {
            case 0:
                out += QString::number(f.year);
                break;
            case 1:
                out += TwoDigits(f.year % 100);
                break;
            case 2:
                out += TwoDigits(f.month);
                break;
            case 3:
                out += TwoDigits(f.day);
                break;
            case 4:
                out += TwoDigits(f.hour);
                break;
            case 5:
                out += TwoDigits(f.minute);
                break;
            default:
                out += TwoDigits(f.second);
                break;
            }
            i += 1 + t.token.size();
            matched = true;
            break;
        }
        if (!matched)
            out += mask[i++];
    }
    return out;
}

} // namespace runtime
