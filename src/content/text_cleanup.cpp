#include "content/text_cleanup.h"

#include "runtime/text_positions.h"
#include "runtime/text_to_int.h"

#include <QStringView>

namespace content {

namespace {

// Each pass below is written as a single left-to-right walk instead of the
// "find the first one again and cut it out" loop: the result is the same,
// but a page line with thousands of tags no longer costs quadratic time.

QString RemoveTagSpans(const QString& text)
{
    const QStringView in(text);
    qsizetype open = in.indexOf(u'<');
    if (open < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    while (open >= 0) {
        const qsizetype close = in.indexOf(u'>', open + 1);
        if (close < 0)
            break; // an unclosed "<" ends the pass; the rest stays as it is
        out.append(in.mid(done, open - done));
        done = close + 1;
        open = in.indexOf(u'<', done);
    }
    out.append(in.mid(done));
    return out;
}

QString DecodeNumericReferences(const QString& text)
{
    const QStringView in(text);
    qsizetype next = in.indexOf(u"&#");
    if (next < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype done = 0; // everything before this index of `in` is in `out`
    while (true) {
        // A decoded character can join the text around it into a new "&#"
        // ("&&#35;65;" reads as "&#65;"), so the reference looked for next is
        // the first one in out + rest, not merely the next one in `in`.
        // `out` never holds an "&#" except possibly at its very end.
        qsizetype digits = 0;
        qsizetype fromOut = 0; // characters of the "&#" that sit at the end of `out`
        const qsizetype outSize = out.size();
        if (outSize >= 2 && out[outSize - 2] == u'&' && out[outSize - 1] == u'#') {
            digits = done;
            fromOut = 2;
        } else if (outSize >= 1 && out[outSize - 1] == u'&' && done < in.size() && in[done] == u'#') {
            digits = done + 1;
            fromOut = 1;
        } else {
            next = in.indexOf(u"&#", done);
            if (next < 0)
                break;
            out.append(in.mid(done, next - done));
            done = next;
            digits = next + 2;
        }
        const qsizetype semicolon = in.indexOf(u';', digits);
        if (semicolon < 0)
            break; // an "&#" without ";" ends the pass; the rest stays as it is
        const int64_t value = runtime::TextToInt(in.mid(digits, semicolon - digits + 1));
        out.chop(fromOut);
        done = semicolon + 1;
        const char16_t unit = static_cast<char16_t>(static_cast<uint64_t>(value) & 0xFFFFu);
        if (unit != 0)
            out.append(QChar(unit));
    }
    out.append(in.mid(done));
    return out;
}

} // namespace

QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker)
{
    const qsizetype p = runtime::Find(text, startMarker);
    const QString rest = p == 0 ? QString() : runtime::From(text, p + startMarker.size());
    const qsizetype q = runtime::Find(rest, endMarker);
    return runtime::Left(rest, q - 1);
}

QString CleanLine(const QString& line)
{
    const QString trimmed = runtime::TrimSpaces(line);
    if (runtime::Left(trimmed, 4) == u"<br>")
        return runtime::From(trimmed, 5);
    if (runtime::Left(trimmed, 6) == u"<br />")
        return runtime::From(trimmed, 7);
    return trimmed;
}

QString StripTags(const QString& text)
{
    QString s = RemoveTagSpans(text);
    s = DecodeNumericReferences(s);
    // "&amp;" comes after the numeric references on purpose: "&amp;#65;" must
    // end as "&#65;", not "A".
    s.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    s.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    return s;
}

} // namespace content
