#include "content/text_cleanup.h"

#include "runtime/text_positions.h"
#include "runtime/text_search.h"
#include "runtime/text_to_int.h"

#include <QStringView>

#include <algorithm>
#include <cstring>

namespace content {

namespace {

constexpr runtime::Needle ReferenceStart{u"&#"};
constexpr runtime::Needle Ampersand{u"&amp;"};
constexpr runtime::Needle Quote{u"&quot;"};

// Each pass below is written as a single left-to-right walk instead of the
// "find the first one again and cut it out" loop: the result is the same,
// but a page line with thousands of tags no longer costs quadratic time.

void RemoveTagSpans(QString& text)
{
    qsizetype open = runtime::FindChar(text, u'<', 0);
    if (open < 0)
        return;
    const qsizetype n = text.size();
    QChar* buffer = text.data();
    const QStringView in(buffer, n);
    qsizetype written = open;
    qsizetype read = open; // always at a "<"
    while (true) {
        const qsizetype close = runtime::FindChar(in, u'>', read + 1);
        if (close < 0)
            break; // an unclosed "<" ends the pass; the rest stays as it is
        read = close + 1;
        open = runtime::FindChar(in, u'<', read);
        const qsizetype end = open < 0 ? n : open;
        std::memmove(buffer + written, buffer + read, static_cast<size_t>(end - read) * sizeof(QChar));
        written += end - read;
        read = end;
        if (open < 0)
            break;
    }
    std::memmove(buffer + written, buffer + read, static_cast<size_t>(n - read) * sizeof(QChar));
    text.truncate(written + (n - read));
}

void DecodeNumericReferences(QString& text)
{
    qsizetype next = runtime::IndexOf(text, ReferenceStart);
    if (next < 0)
        return;
    const qsizetype n = text.size();
    QChar* buffer = text.data();
    const QStringView in(buffer, n);
    // buffer[0, written) is the result so far, in[read, n) the text not yet
    // looked at. A reference is at least three characters and gives at most
    // one, so writing never overtakes reading.
    qsizetype written = next;
    qsizetype read = next;
    while (true) {
        // A decoded character can join the text around it into a new "&#"
        // ("&&#35;65;" reads as "&#65;"), so the reference looked for next is
        // the first one in result + rest, not merely the next one in `in`.
        // The result never holds an "&#" except possibly at its very end.
        qsizetype digits = 0;
        qsizetype fromResult = 0; // characters of the "&#" that end the result
        if (written >= 2 && buffer[written - 2] == u'&' && buffer[written - 1] == u'#') {
            digits = read;
            fromResult = 2;
        } else if (written >= 1 && buffer[written - 1] == u'&' && read < n && in[read] == u'#') {
            digits = read + 1;
            fromResult = 1;
        } else {
            next = runtime::IndexOf(in, ReferenceStart, read);
            if (next < 0)
                break;
            std::memmove(buffer + written, buffer + read, static_cast<size_t>(next - read) * sizeof(QChar));
            written += next - read;
            read = next;
            digits = next + 2;
        }
        const qsizetype semicolon = digits < n ? runtime::FindChar(in, u';', digits) : -1;
        if (semicolon < 0)
            break; // an "&#" without ";" ends the pass; the rest stays as it is
        const int64_t value = runtime::TextToInt(in.mid(digits, semicolon - digits + 1));
        written -= fromResult;
        read = semicolon + 1;
        const char16_t unit = static_cast<char16_t>(static_cast<uint64_t>(value) & 0xFFFFu);
        if (unit != 0)
            buffer[written++] = QChar(unit);
    }
    std::memmove(buffer + written, buffer + read, static_cast<size_t>(n - read) * sizeof(QChar));
    text.truncate(written + (n - read));
}

} // namespace

QStringView ExtractBetween(QStringView text, const runtime::Needle& startMarker, const runtime::Needle& endMarker)
{
    const qsizetype p = runtime::Find(text, startMarker);
    const QStringView rest = p == 0 ? QStringView() : runtime::From(text, p + startMarker.text.size());
    return runtime::Left(rest, runtime::Find(rest, endMarker) - 1);
}

QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker)
{
    return ExtractBetween(QStringView(text), runtime::Needle(startMarker), runtime::Needle(endMarker)).toString();
}

QStringView CleanLine(QStringView line)
{
    const QStringView trimmed = runtime::TrimSpaces(line);
    if (runtime::StartsWith(trimmed, u"<br>"))
        return trimmed.mid(4);
    if (runtime::StartsWith(trimmed, u"<br />"))
        return trimmed.mid(6);
    return trimmed;
}

QString CleanLine(const QString& line)
{
    return CleanLine(QStringView(line)).toString();
}

void StripTagsInPlace(QString& text)
{
    RemoveTagSpans(text);
    DecodeNumericReferences(text);
    // "&amp;" comes after the numeric references on purpose: "&amp;#65;" must
    // end as "&#65;", not "A".
    runtime::ReplaceAll(text, Ampersand, u"&");
    runtime::ReplaceAll(text, Quote, u"\"");
}

QString StripTags(const QString& text)
{
    QString s = text;
    StripTagsInPlace(s);
    return s;
}

void BlankControlCharacters(QString& text)
{
    const auto isControl = [](QChar c) { return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0); };
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return; // the usual case: nothing to write, no copy of a shared text
    for (QChar& c : text) {
        if (isControl(c))
            c = u' ';
    }
}

} // namespace content
