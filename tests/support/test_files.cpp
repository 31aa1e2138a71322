#include "support/test_files.h"

#include <QFile>

#include <gtest/gtest.h>

namespace testsupport {

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QList<QStringList> RecordedRuns(const QString& path)
{
    QList<QStringList> runs;
    for (const QByteArray& run : ReadBytes(path).split('\n')) {
        if (run.isEmpty())
            continue;
        QStringList arguments;
        for (const QByteArray& argument : run.chopped(1).split('\0'))
            arguments << QString::fromUtf8(argument);
        runs << arguments;
    }
    return runs;
}

bool ProcessAlive(qint64 pid)
{
    // The state follows the command name, which is in parentheses and may
    // itself hold blanks and parentheses.
    const QByteArray stat = ReadBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return pid > 0 && close >= 0 && stat.size() > close + 2 && stat[close + 2] != 'Z';
}

qint64 ReadPid(const QString& path)
{
    return ReadBytes(path).trimmed().toLongLong();
}

} // namespace testsupport
