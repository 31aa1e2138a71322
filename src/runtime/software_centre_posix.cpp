#include "runtime/software_centre.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace runtime {

bool OpenSoftwareCentre()
{
    for (const char* program : {"gnome-software", "plasma-discover"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1StringView(program));
        if (!path.isEmpty())
            return QProcess::startDetached(path, {});
    }
    return false;
}

} // namespace runtime
