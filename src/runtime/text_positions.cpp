#include "runtime/text_positions.h"

namespace runtime {

namespace {

/// `piece` (a view into `text`) as a string; `text` itself, shared rather than
/// copied, when the piece is all of it.
QString Keep(const QString& text, QStringView piece)
{
    return piece.size() == text.size() ? text : piece.toString();
}

} // namespace

qsizetype Find(QStringView text, const Needle& needle, qsizetype start)
{
    if (text.isEmpty() || needle.text.isEmpty())
        return 0;
    if (start < 1)
        start = 1;
    if (start > text.size())
        return 0;
    return IndexOf(text, needle, start - 1) + 1;
}

QStringView Left(QStringView text, qsizetype count)
{
    if (count <= 0)
        return QStringView();
    return text.left(count);
}

QStringView From(QStringView text, qsizetype pos)
{
    if (pos <= 1)
        return text;
    if (pos > text.size())
        return QStringView();
    return text.mid(pos - 1);
}

QString Left(const QString& text, qsizetype count)
{
    return Keep(text, Left(QStringView(text), count));
}

QString From(const QString& text, qsizetype pos)
{
    return Keep(text, From(QStringView(text), pos));
}

QStringView TrimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString TrimSpaces(const QString& text)
{
    return Keep(text, TrimSpaces(QStringView(text)));
}

} // namespace runtime
