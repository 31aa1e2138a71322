#include "settings/settings_file.h"

#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/file_ops.h"
#include "runtime/text_file.h"
#include "runtime/text_to_int.h"

namespace settings {

namespace {

using runtime::DisplayMetrics;

enum class Key {
    App_W,
    App_H,
    App_X,
    App_Y,
    App_Maxed,
    App_Run_At_Startup,
    App_Run_Minimized,
    App_Close_To_Tray,
    Alert_Names,
    Alert_Highlight,
    Alert_Popup,
    Zorva_Colors,
    Platform,
    Refresh_Picture,
    Refresh_Rate,
    Version_Shown,
};

struct KeyInfo
{
    Key key;
    const char* name;
};

// The order of the lines in the file, and the order in which prefixes are tried.
constexpr KeyInfo Keys[] = {
    {Key::App_W, "App_W"},
    {Key::App_H, "App_H"},
    {Key::App_X, "App_X"},
    {Key::App_Y, "App_Y"},
    {Key::App_Maxed, "App_Maxed"},
    {Key::App_Run_At_Startup, "App_Run_At_Startup"},
    {Key::App_Run_Minimized, "App_Run_Minimized"},
    {Key::App_Close_To_Tray, "App_Close_To_Tray"},
    {Key::Alert_Names, "Alert_Names"},
    {Key::Alert_Highlight, "Alert_Highlight"},
    {Key::Alert_Popup, "Alert_Popup"},
    {Key::Zorva_Colors, "Zorva_Colors"},
    {Key::Platform, "Platform"},
    {Key::Refresh_Picture, "Refresh_Picture"},
    {Key::Refresh_Rate, "Refresh_Rate"},
    {Key::Version_Shown, "Version_Shown"},
};

const QString Separator = QStringLiteral(" = ");

int64_t ZeroOrOne(int64_t value)
{
    return value == 0 || value == 1 ? value : 0;
}

int64_t NonZeroIsOne(int64_t value)
{
    return value != 0 ? 1 : 0;
}

void ApplyValue(AppSettings& s, Key key, const QString& text, const DisplayMetrics& display)
{
    if (key == Key::Alert_Names) {
        s.Alert_Names = text;
        return;
    }
    if (key == Key::Platform) {
        s.Platform = IsKnownPlatform(text) ? text : QStringLiteral("All");
        return;
    }

    const int64_t v = runtime::TextToInt(text);
    switch (key) {
    case Key::App_W:
        s.App_W = v < runtime::MinWindowWidth(display) || v > 9999 ? runtime::Scaled(1000, display.uiScale) : v;
        break;
    case Key::App_H:
        s.App_H = v < runtime::MinWindowHeight(display) || v > 9999 ? runtime::Scaled(700, display.uiScale) : v;
        break;
    case Key::App_X:
        // Centred with the width known when this line is read.
        s.App_X = v < 0 || v > 9999 ? (display.screenWidth - s.App_W) / 2 : v;
        break;
    case Key::App_Y:
        s.App_Y = v < 0 || v > 9999 ? (display.screenHeight - s.App_H) / 2 : v;
        break;
    case Key::App_Maxed:
        s.App_Maxed = ZeroOrOne(v);
        break;
    case Key::App_Run_Minimized:
        s.App_Run_Minimized = ZeroOrOne(v);
        break;
    case Key::App_Close_To_Tray:
        s.App_Close_To_Tray = ZeroOrOne(v);
        break;
    case Key::App_Run_At_Startup:
        s.App_Run_At_Startup = NonZeroIsOne(v);
        break;
    case Key::Alert_Highlight:
        s.Alert_Highlight = NonZeroIsOne(v);
        break;
    case Key::Alert_Popup:
        s.Alert_Popup = NonZeroIsOne(v);
        break;
    case Key::Zorva_Colors:
        s.Zorva_Colors = NonZeroIsOne(v);
        break;
    case Key::Refresh_Picture:
        s.Refresh_Picture = NonZeroIsOne(v);
        break;
    case Key::Version_Shown:
        s.Version_Shown = NonZeroIsOne(v);
        break;
    case Key::Refresh_Rate:
        s.Refresh_Rate = v < 0 || v > 9999 ? 0 : v;
        break;
    case Key::Alert_Names:
    case Key::Platform:
        break;
    }
}

QString ValueText(const AppSettings& s, Key key)
{
    switch (key) {
    case Key::App_W:
        return QString::number(s.App_W);
    case Key::App_H:
        return QString::number(s.App_H);
    case Key::App_X:
        return QString::number(s.App_X);
    case Key::App_Y:
        return QString::number(s.App_Y);
    case Key::App_Maxed:
        return QString::number(s.App_Maxed);
    case Key::App_Run_At_Startup:
        return QString::number(s.App_Run_At_Startup);
    case Key::App_Run_Minimized:
        return QString::number(s.App_Run_Minimized);
    case Key::App_Close_To_Tray:
        return QString::number(s.App_Close_To_Tray);
    case Key::Alert_Names:
        return s.Alert_Names;
    case Key::Alert_Highlight:
        return QString::number(s.Alert_Highlight);
    case Key::Alert_Popup:
        return QString::number(s.Alert_Popup);
    case Key::Zorva_Colors:
        return QString::number(s.Zorva_Colors);
    case Key::Platform:
        return s.Platform;
    case Key::Refresh_Picture:
        return QString::number(s.Refresh_Picture);
    case Key::Refresh_Rate:
        return QString::number(s.Refresh_Rate);
    case Key::Version_Shown:
        return QString::number(s.Version_Shown);
    }
    return QString();
}

/// A text value must stay on its own line: a pasted line break (or a zero,
/// which also ends a line when read back) would cut it and could smuggle in
/// another key.
QString OneLine(QString value)
{
    for (QChar& c : value) {
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    }
    return value;
}

/// The longest start of `text` whose UTF-8 takes at most `bytes`, never
/// ending inside a surrogate pair.
QString CutToUtf8Bytes(const QString& text, qsizetype bytes)
{
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair = text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const qsizetype size = text.mid(end, length).toUtf8().size();
        if (used + size > bytes)
            break;
        used += size;
        end += length;
    }
    return text.left(end);
}

} // namespace

void ApplySettingsLine(AppSettings& s, const QString& line, const DisplayMetrics& display)
{
    for (const KeyInfo& info : Keys) {
        const QString prefix = QLatin1StringView(info.name) + Separator;
        if (line.startsWith(prefix)) {
            ApplyValue(s, info.key, line.mid(prefix.size()), display);
            return;
        }
    }
}

bool LoadSettingsFile(const QString& path, AppSettings& s, const DisplayMetrics& display)
{
    runtime::TextFileHandle file = runtime::FileOpenRead(path, MaxSettingsFileBytes);
    if (!file)
        return false;
    while (!runtime::FileAtEnd(file.get()))
        ApplySettingsLine(s, runtime::FileReadLine(file.get()), display);
    runtime::FileClose(file);
    return true;
}

QStringList SettingsFileLines(const AppSettings& s)
{
    QStringList lines;
    lines.reserve(2 + static_cast<qsizetype>(std::size(Keys)));
    lines << QStringLiteral("; ") + runtime::AppTitle + QStringLiteral(" Settings File.");
    lines << QStringLiteral("; Warning: Do NOT edit this file manually!");
    for (const KeyInfo& info : Keys) {
        QString value = OneLine(ValueText(s, info.key));
        if (info.key == Key::Alert_Names)
            value = CutToUtf8Bytes(value, MaxAlertNamesBytes);
        lines << QLatin1StringView(info.name) + Separator + value;
    }
    return lines;
}

bool SaveSettingsFile(const QString& path, const AppSettings& s)
{
    QByteArray bytes;
    for (const QString& line : SettingsFileLines(s))
        bytes += line.toUtf8() + "\r\n";
    return runtime::ReplaceFile(path, bytes);
}

void LoadSettings()
{
    LoadSettingsFile(runtime::SettingsPath, Settings, runtime::Display);
}

void SaveSettings()
{
    SaveSettingsFile(runtime::SettingsPath, Settings);
}

} // namespace settings
