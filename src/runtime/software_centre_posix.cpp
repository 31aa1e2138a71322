#include "runtime/software_centre.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace runtime {

namespace {

/// GNOME Software, else KDE Discover, as found on PATH; empty for neither.
QString SoftwareCentrePath()
{
    for (const char* program : {"gnome-software", "plasma-discover"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1StringView(program));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace

bool SoftwareCentreInstalled()
{
    return !SoftwareCentrePath().isEmpty();
}

bool OpenSoftwareCentre()
{
    const QString path = SoftwareCentrePath();
    return !path.isEmpty() && QProcess::startDetached(path, {});
}

} // namespace runtime
