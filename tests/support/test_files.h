#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

/// Writes `bytes` to `path` exactly; fails the test when it cannot.
void WriteBytes(const QString& path, const QByteArray& bytes);

/// The whole content of `path`; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);

} // namespace testsupport
