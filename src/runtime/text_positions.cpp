#include "runtime/text_positions.h"

namespace runtime {

qsizetype Find(const QString& text, const QString& needle, qsizetype start)
{
    if (text.isEmpty() || needle.isEmpty())
        return 0;
    if (start < 1)
        start = 1;
    if (start > text.size())
        return 0;
    return text.indexOf(needle, start - 1) + 1;
}

QString Left(const QString& text, qsizetype count)
{
    if (count <= 0)
        return QString();
    return text.left(count);
}

QString From(const QString& text, qsizetype pos)
{
    if (pos <= 1)
        return text;
    if (pos > text.size())
        return QString();
    return text.mid(pos - 1);
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

} // namespace runtime
