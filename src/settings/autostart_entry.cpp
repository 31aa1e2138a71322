#include "settings/autostart_entry.h"

namespace settings {

QString ExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%')
            quoted += u'%'; // a lone % would start a field code
    }
    quoted += u'"';
    return quoted;
}

QString EntryString(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool DesktopsCanStart(const QString& programPath)
{
    return !programPath.contains(u'%');
}

QByteArray AutostartEntry(const QString& programPath, const QString& programDir, const QString& title,
                          const QString& iconName)
{
    // The Exec value is read as a string first and split into arguments
    // after, so the quoted argument is escaped as a string too.
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=") +
                         EntryString(title) + QStringLiteral("\nExec=") + EntryString(ExecArgument(programPath)) +
                         QStringLiteral("\nPath=") + EntryString(programDir) + QStringLiteral("\nIcon=") +
                         EntryString(iconName) + QStringLiteral("\nX-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

} // namespace settings
