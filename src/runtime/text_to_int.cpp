#include "runtime/text_to_int.h"

namespace runtime {

namespace {

int DigitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

} // namespace

int64_t TextToInt(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }

    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < n && text[i] == u'%') {
        base = 2;
        ++i;
    }

    // Unsigned arithmetic, and a number longer than 64 bits saturates: it must
    // stay out of every range a caller checks (a wrapped 2^64 + 1152 would
    // pass as 1152), and overflow must never be undefined behaviour.
    uint64_t value = 0;
    bool tooLarge = false;
    for (; i < n; ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0)
            break;
        const auto b = static_cast<uint64_t>(base);
        const auto d = static_cast<uint64_t>(digit);
        if (value > (UINT64_MAX - d) / b)
            tooLarge = true;
        value = value * b + d;
    }
    if (tooLarge)
        return negative ? INT64_MIN : INT64_MAX;
    if (negative)
        value = ~value + 1;
    return static_cast<int64_t>(value);
}

} // namespace runtime
