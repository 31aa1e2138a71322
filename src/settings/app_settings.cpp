#include "settings/app_settings.h"

namespace settings {

AppSettings DefaultSettings(const runtime::DisplayMetrics& display)
{
    const runtime::WindowGeometry geometry = runtime::DefaultWindowGeometry(display);
    AppSettings s;
    s.App_W = geometry.width;
    s.App_H = geometry.height;
    s.App_X = geometry.x;
    s.App_Y = geometry.y;
    return s;
}

int64_t AlertNameCount(const QString& alertNames)
{
    return alertNames.count(u',') + 1;
}

bool IsKnownPlatform(const QString& platform)
{
    return platform == u"All" || platform == u"Android" || platform == u"Linux" || platform == u"MacOS" ||
           platform == u"Windows";
}

} // namespace settings
