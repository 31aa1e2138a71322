#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace apptest {

/// The environment for a run of the real program: offscreen, with a home and
/// a runtime folder of the test's own and the site at `siteUrl`, so that
/// nothing of the user's is read, written or reached.
inline QProcessEnvironment ProgramEnvironment(const QString& home, const QString& runtimeDir, const QString& siteUrl)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtimeDir);
    env.insert("HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZORVANE_SITE_URL", siteUrl);
    return env;
}

} // namespace apptest
