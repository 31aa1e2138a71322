#pragma once

#include <QString>

namespace testsupport {

/// `printed` (a tool's standard output, lines ended by LF) as
/// updater::RunPackageManager hands it to the program: every line ended by
/// CR LF instead, then the line ends at either end removed.
inline QString AsReadFromTool(const QString& printed)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString output = printed;
    output.replace(u'\n', lineEnd);
    while (output.endsWith(lineEnd))
        output.chop(2);
    while (output.startsWith(lineEnd))
        output.remove(0, 2);
    return output;
}

} // namespace testsupport
