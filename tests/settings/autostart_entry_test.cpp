#include "settings/autostart_entry.h"

#include "support/qstring_print.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace settings;

namespace {

/// What a desktop makes of an entry's Exec value, by the Desktop Entry
/// rules: string escapes first, then quoting, then %% to %.
QStringList ReadExec(const QString& value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            unescaped += value[i];
            continue;
        }
        const QChar next = value[++i];
        unescaped += next == u's'   ? QChar(u' ')
                     : next == u'n' ? QChar(u'\n')
                     : next == u't' ? QChar(u'\t')
                     : next == u'r' ? QChar(u'\r')
                                    : next;
    }
    QStringList arguments;
    QString current;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted && c == u'\\' && i + 1 < unescaped.size()) {
            current += unescaped[++i];
        } else if (c == u'`' || c == u'$' || (c == u'\\' && quoted)) {
            return {QStringLiteral("<unescaped reserved character>")};
        } else if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c == u' ' && !quoted) {
            if (any || !current.isEmpty())
                arguments << current;
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.isEmpty())
        arguments << current;
    for (QString& a : arguments) {
        QString expanded;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (a[i] == u'%' && (i + 1 == a.size() || a[++i] != u'%'))
                return {QStringLiteral("<field code>")};
            expanded += a[i];
        }
        a = expanded;
    }
    return arguments;
}

QString Key(const QString& entry, const QString& key)
{
    for (const QString& line : entry.split(u'\n')) {
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    }
    return QString();
}

} // namespace

TEST(AutostartEntry, ExecStartsExactlyTheProgramWhateverItsPathHolds)
{
    const struct
    {
        const char* what;
        const char* path;
    } rows[] = {
        {"plain", "/opt/zorvane/zorvane"},
        {"blanks", "/home/ann/My Programs/zorvane"},
        {"double and single quotes", "/home/ann/\"x\" and 'y'/zorvane"},
        {"dollar and backquote", "/tmp/$HOME/`id`/zorvane"},
        {"percent field code", "/tmp/100%u/zorvane"},
        {"backslash", "/tmp/a\\b\\\\c/zorvane"},
        {"line feed", "/tmp/a\nExec=evil/zorvane"},
        {"non-ASCII", "/home/zoë/プログラム/zorvane"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const QString path = QString::fromUtf8(r.path);
        const QString entry = QString::fromUtf8(AutostartEntry(path, "/dir/", "Title", "icon"));
        EXPECT_EQ(entry.count(u'\n'), 7) << "a value broke out of its line";
        EXPECT_EQ(ReadExec(Key(entry, "Exec")), QStringList{path});
    }
}

TEST(AutostartEntry, NamesTheProgramItsFolderAndItsIcon)
{
    const QString entry =
        QString::fromUtf8(AutostartEntry("/p/zorvane", "/p\\q/", "Zorvane Software Updates and News", "com.z.Id"));
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\nType=Application\n"));
    EXPECT_EQ(Key(entry, "Name"), "Zorvane Software Updates and News");
    EXPECT_EQ(Key(entry, "Path"), "/p\\\\q/"); // a string value escapes its backslash
    EXPECT_EQ(Key(entry, "Icon"), "com.z.Id");
    EXPECT_EQ(Key(entry, "X-GNOME-Autostart-enabled"), "true");
}
