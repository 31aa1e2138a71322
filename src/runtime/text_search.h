#pragma once

#include <QString>
#include <QStringView>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>

namespace runtime {

// Qt's general substring search hashes every character of a text shorter
// than 500 characters, and a page line or a description is that short. The
// scans search thousands of them for markers on every filter keystroke;
// measured on the day re-scan (bench/day_scan_bench.cpp), Qt's search, with
// QStringMatcher or without, makes a keystroke about three times slower
// than this: a vectorised search for the needle's rarest character, then
// one comparison of the whole needle around it. All inline and
// allocation-free; any thread.

namespace detail {

/// Characters of the site's pages from most to least common, roughly;
/// characters not listed count as rare. "<" and ">" come last on purpose:
/// the tags looked for inside a line or a description begin with "<", and
/// there a tag is rarer than any letter.
constexpr char16_t ByFrequency[] = u" etaoinsrhldcu\"=/mpfgwy.,bv-k:;_0123456789<>";

struct FrequencyTable
{
    unsigned char rank[128] = {};
    constexpr FrequencyTable()
    {
        constexpr int count = sizeof(ByFrequency) / sizeof(ByFrequency[0]) - 1;
        for (int i = 0; i < count; ++i)
            rank[ByFrequency[i]] = static_cast<unsigned char>(count - i);
    }
};
inline constexpr FrequencyTable Frequencies;

constexpr int PageCharacterFrequency(char16_t c)
{
    return c < 128 ? Frequencies.rank[c] : 0;
}

} // namespace detail

/// Position (0-based) of the character of `needle` least likely to occur in
/// a page; the first of equals. 0 for an empty needle.
constexpr qsizetype RarestPosition(QStringView needle)
{
    qsizetype anchor = 0;
    int anchorFrequency = needle.isEmpty() ? 0 : detail::PageCharacterFrequency(needle[0].unicode());
    for (qsizetype k = 1; k < needle.size() && anchorFrequency > 0; ++k) {
        const int f = detail::PageCharacterFrequency(needle[k].unicode());
        if (f < anchorFrequency) {
            anchor = k;
            anchorFrequency = f;
        }
    }
    return anchor;
}

/// A text to search for, with its rarest character chosen once; markers
/// declared `constexpr` choose it at compile time. Any text converts to one,
/// choosing it on the spot: cheap, but on the day re-scan choosing it for
/// every search of its fixed markers cost about a fifth of a keystroke.
struct Needle
{
    QStringView text;
    qsizetype anchor = 0;

    constexpr Needle(QStringView t) : text(t), anchor(RarestPosition(t)) {}
    template <size_t N> constexpr Needle(const char16_t (&t)[N]) : Needle(QStringView(t)) {}
    Needle(const QString& t) : Needle(QStringView(t)) {}
};

/// Index (0-based) of the first `c` in `text` at or after `from` (negative
/// counts as 0); -1 when absent. Written out rather than QStringView::indexOf:
/// the needle search calls it once per candidate, mostly a few characters
/// apart, and Qt's search is an out-of-line call each time; with it a filter
/// keystroke on the day re-scan took 1.3 times as long, over a millisecond.
inline qsizetype FindChar(QStringView text, char16_t c, qsizetype from)
{
    if (from < 0)
        from = 0;
    if (from >= text.size())
        return -1;
    const char16_t* const begin = text.utf16();
    const char16_t* const end = begin + text.size();
    const char16_t* p = begin + from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    // Sixteen units per step while the text is long enough, then eight.
    while (end - p >= 16) {
        const __m128i low = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), wanted);
        const __m128i high = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)), wanted);
        if (_mm_movemask_epi8(_mm_or_si128(low, high)) != 0) {
            const unsigned mask =
                static_cast<unsigned>(_mm_movemask_epi8(low)) | (static_cast<unsigned>(_mm_movemask_epi8(high)) << 16);
            return (p - begin) + (__builtin_ctz(mask) >> 1);
        }
        p += 16;
    }
    while (end - p >= 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(chunk, wanted));
        if (mask != 0)
            return (p - begin) + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
        p += 8;
    }
#endif
    for (; p < end; ++p) {
        if (*p == c)
            return p - begin;
    }
    return -1;
}

/// Index (0-based) of the first `needle` in `haystack` at or after `from`
/// (negative counts as 0); -1 when absent or when `needle` is empty.
/// Exact, case-sensitive.
inline qsizetype IndexOf(QStringView haystack, const Needle& needle, qsizetype from = 0)
{
    const qsizetype n = needle.text.size();
    if (n == 0)
        return -1;
    if (from < 0)
        from = 0;
    const qsizetype anchor = needle.anchor;
    const char16_t anchorChar = needle.text[anchor].unicode();
    const qsizetype lastAnchor = haystack.size() - n + anchor; // beyond it the needle does not fit
    qsizetype at = from + anchor;
    while (at <= lastAnchor) {
        const qsizetype p = FindChar(haystack, anchorChar, at);
        if (p < 0 || p > lastAnchor)
            return -1;
        const qsizetype start = p - anchor;
        // Most candidates fail at one end; check those before the full compare.
        if (haystack[start] == needle.text[0] && haystack[start + n - 1] == needle.text[n - 1] &&
            std::memcmp(haystack.data() + start, needle.text.data(), static_cast<size_t>(n) * sizeof(QChar)) == 0)
            return start;
        at = p + 1;
    }
    return -1;
}

/// True when `needle` (not empty) occurs in `haystack`.
inline bool Contains(QStringView haystack, const Needle& needle)
{
    return IndexOf(haystack, needle) >= 0;
}

/// True when `text` begins with `prefix`; exact. The scans ask this of every
/// line; QStringView::startsWith is an out-of-line ordering compare, which
/// made a filter keystroke a tenth slower.
inline bool StartsWith(QStringView text, QStringView prefix)
{
    return text.size() >= prefix.size() &&
           std::memcmp(text.data(), prefix.data(), static_cast<size_t>(prefix.size()) * sizeof(QChar)) == 0;
}

/// Replaces every `needle` (not empty) by `replacement`, which must not be
/// longer, in one left-to-right pass over non-overlapping occurrences, as
/// QString::replace does: text formed by a replacement is not searched
/// again. Works in the string's own buffer.
inline void ReplaceAll(QString& text, const Needle& needle, QStringView replacement)
{
    qsizetype hit = IndexOf(text, needle);
    if (hit < 0)
        return;
    const qsizetype n = text.size();
    QChar* buffer = text.data();
    // Writing never overtakes reading (the replacement is not longer), so
    // the part still to be searched is always the original text.
    const QStringView unread(buffer, n);
    qsizetype written = hit;
    qsizetype read = hit;
    while (hit >= 0) {
        std::memmove(buffer + written, buffer + read, static_cast<size_t>(hit - read) * sizeof(QChar));
        written += hit - read;
        std::memcpy(buffer + written, replacement.data(), static_cast<size_t>(replacement.size()) * sizeof(QChar));
        written += replacement.size();
        read = hit + needle.text.size();
        hit = IndexOf(unread, needle, read);
    }
    std::memmove(buffer + written, buffer + read, static_cast<size_t>(n - read) * sizeof(QChar));
    text.truncate(written + (n - read));
}

} // namespace runtime
