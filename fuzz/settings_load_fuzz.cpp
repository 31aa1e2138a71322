// Scratch files live in /dev/shm: the save path syncs to disk, which on a
// real disk would slow the fuzzer to a crawl.
// Feeds arbitrary bytes to the settings loader as the settings file, and
// checks that whatever it reads stays inside the accepted ranges and that a
// save of the result reads back unchanged.
#include "settings/settings_file.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

const runtime::DisplayMetrics Display{0.96, 1920, 1080};

QString ScratchPath(const char* suffix)
{
    return QStringLiteral("/dev/shm/zorvane-settings-fuzz-%1%2").arg(::getpid()).arg(QLatin1StringView(suffix));
}

bool Within(int64_t v, int64_t low, int64_t high)
{
    return v >= low && v <= high;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = ScratchPath(".ini");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    settings::AppSettings s = settings::DefaultSettings(Display);
    settings::LoadSettingsFile(path, s, Display);

    const bool sane = Within(s.App_W, 672, 9999) && Within(s.App_H, 480, 9999) && Within(s.App_X, -5000, 9999) &&
                      Within(s.App_Y, -5000, 9999) && Within(s.App_Maxed, 0, 1) && Within(s.Refresh_Rate, 0, 9999) &&
                      Within(s.Version_Shown, 0, 1) && settings::IsKnownPlatform(s.Platform);
    if (!sane)
        std::abort();

    // What was read must survive a save and a second load: the file format
    // cannot be broken by any value the loader accepts.
    const QString copy = ScratchPath("-copy.ini");
    if (settings::SaveSettingsFile(copy, s)) {
        settings::AppSettings again = settings::DefaultSettings(Display);
        settings::LoadSettingsFile(copy, again, Display);
        settings::AppSettings expected = s;
        for (QChar& c : expected.Alert_Names)
            if (c == u'\r' || c == u'\n' || c == QChar(0))
                c = u' ';
        if (settings::SettingsFileLines(again) != settings::SettingsFileLines(expected))
            std::abort();
    }
    return 0;
}
