#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace testsupport {

/// Writes `bytes` to `path` exactly; fails the test when it cannot.
void WriteBytes(const QString& path, const QByteArray& bytes);

/// The whole content of `path`; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);

/// The argument vectors the test package manager recorded in `path`, one
/// per run (each run a line of NUL-ended arguments).
QList<QStringList> RecordedRuns(const QString& path);

/// Whether process `pid` runs: it exists and is not a zombie (ended, never
/// reaped). Read from /proc.
bool ProcessAlive(qint64 pid);

/// The process id the file at `path` holds; 0 when there is none.
qint64 ReadPid(const QString& path);

} // namespace testsupport
