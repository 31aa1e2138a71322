#include "updater/apps_table_writer.h"
#include "updater/apps_table.h"
#include "updater/apps_table_layout.h"

#include "support/qstring_print.h"
#include "support/tool_output.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace updater;

namespace {

QString Padded(const QString& text, qsizetype length)
{
    return text.leftJustified(length, u' ');
}

} // namespace

TEST(AppsTableWriter, WhatItWritesTheProgramReadsBack)
{
    const QString mark(ShortenedNameMark);
    const QString n34(34, u'N'), n35(35, u'N'), x32(32, u'x');
    const QString cjk = QString::fromUtf8("\u5199\u5b57\u677f\u7f16\u8f91\u5668").repeated(6); // 36 characters
    const QString id35 = QStringLiteral("org.example.") + QString(23, u'i');
    const struct
    {
        const char* what;
        TableApp app;
        AppRow read; // what ParseAppLine gives back
    } rows[] = {
        {"plain", {"Hello", "org.example.Hello", "1.0", "2.0", "user"}, {"Hello", "org.example.Hello", "1.0", "2.0"}},
        {"accents, one position each",
         {"Caf\u00e9 Cr\u00e8me \u00c9diteur", "org.example.Cafe", "1.0", "1.1", "user"},
         {"Caf\u00e9 Cr\u00e8me \u00c9diteur", "org.example.Cafe", "1.0", "1.1"}},
        {"a long CJK name: one position a character, cut and marked",
         {cjk, "org.example.Cjk", "3.1", "3.2", "system"},
         {cjk.left(33) + mark, "org.example.Cjk", "3.1", "3.2"}},
        {"an emoji takes the two positions the program counts for it",
         {"Notes \U0001F4DD Pro", "org.example.Notes", "0.9", "1.0", "user"},
         {"Notes \U0001F4DD Pro", "org.example.Notes", "0.9", "1.0"}},
        {"a name of 34 characters fits whole",
         {n34, "org.example.N", "1", "2", "user"},
         {n34, "org.example.N", "1", "2"}},
        {"a name of 35 characters is cut to 33 and marked",
         {n35, "org.example.N", "1", "2", "user"},
         {QString(33, u'N') + mark, "org.example.N", "1", "2"}},
        {"an emoji across the cut is left out whole, never halved",
         {x32 + "\U0001F600yy", "org.example.X", "1", "2", "user"},
         {x32 + mark, "org.example.X", "1", "2"}},
        {"an accent across the cut goes with its letter",
         {x32 + "e\u0301xyz", "org.example.X", "1", "2", "user"},
         {x32 + mark, "org.example.X", "1", "2"}},
        {"versions longer than 20 are cut and move nothing",
         {"Long", "org.example.Long", "1.2.3.4.5.6.7.8.9.10.11", "2024.01.02-nightly-build", "user"},
         {"Long", "org.example.Long", "1.2.3.4.5.6.7.8.9.10", "2024.01.02-nightly-b"}},
        {"an identifier of 35 characters fills its column",
         {"Id", id35, "1.0", "1.1", "user"},
         {"Id", id35, "1.0", "1.1"}},
        {"a longer identifier is cut at 35", {"Id", id35 + "Tail", "1.0", "1.1", "user"}, {"Id", id35, "1.0", "1.1"}},
        {"tabs, line breaks and line separators in values become blanks",
         {"Tab\tand\nbreak\r", "org.example\u2028T", "1.0\r\n", "2.0\u2029", "user"},
         {"Tab and break", "org.example T", "1.0", "2.0"}},
        {"bidi embeddings, overrides, isolates and marks become blanks",
         {"Evil\u202Egpj.exe\u202C", "org.example\u2066T\u2069", "1.0\u200E", "2.0\u202A", "user"},
         {"Evil gpj.exe", "org.example T", "1.0", "2.0"}},
        {"an empty available version reads Unknown",
         {"Mail Sync", "Mail.Sync", "3.0", "", "user"},
         {"Mail Sync", "Mail.Sync", "3.0", "Unknown"}},
        {"no installed version: the closing line is dropped, never the application",
         {"Unversioned", "org.example.Unversioned", "", "", "user"},
         {"Unversioned", "org.example.Unversioned", "", "Unknown"}},
    };
    for (const auto& r : rows) {
        const QStringList lines = TakeAppLines(testsupport::AsReadFromTool(WriteAppsTable({r.app})));
        ASSERT_EQ(lines.size(), 1) << r.what;
        const AppRow got = ParseAppLine(lines[0]);
        EXPECT_EQ(got.name, r.read.name) << r.what;
        EXPECT_EQ(got.identifier, r.read.identifier) << r.what;
        EXPECT_EQ(got.installed, r.read.installed) << r.what;
        EXPECT_EQ(got.available, r.read.available) << r.what;
        EXPECT_EQ(ListedName(r.app.name), got.name) << r.what << ": the name the bridge matches on upgrade";
        // Blanks between the columns: a cell one character too wide would
        // otherwise pass wherever the next value is trimmed.
        QString between = Padded(lines[0].left(SourceStart - 1), SourceStart - 1);
        for (const TableColumn column : AppColumns)
            between.replace(column.start - 1, column.width, QString(column.width, u' '));
        EXPECT_EQ(between.trimmed(), "") << r.what;
        EXPECT_EQ(lines[0].mid(SourceStart - 1), r.app.source) << r.what;
    }
}

TEST(AppsTableWriter, HeaderDashesRowsAndClosingLine)
{
    const TableApp a = {"A", "org.a.A", "1", "", "user"}, b = {"B", "org.b.B", "1", "2", "system"};
    const TableApp noSource = {"C", "org.c.C", "1", "", ""};
    const struct
    {
        const char* what;
        QList<TableApp> apps;
        ClosingLine closing;
        const char* last; // the table's last line
    } rows[] = {
        {"no application", {}, ClosingLine::Counted, "0 applications listed."},
        {"one", {a}, ClosingLine::Counted, "1 application listed."},
        {"two", {a, b}, ClosingLine::Counted, "2 applications listed."},
        {"trailing blanks removed", {noSource}, ClosingLine::Counted, "1 application listed."},
        {"closing line omitted: the last application ends the table", {a, b}, ClosingLine::Omitted, nullptr},
    };
    for (const auto& r : rows) {
        const QString table = WriteAppsTable(r.apps, r.closing);
        ASSERT_TRUE(table.endsWith(u'\n')) << r.what;
        const QStringList lines = table.chopped(1).split(u'\n');
        ASSERT_EQ(lines.size(), r.apps.size() + (r.last != nullptr ? 3 : 2)) << r.what;
        EXPECT_EQ(lines[0],
                  Padded("Name", 34) + Padded("Id", 36) + Padded("Version", 21) + Padded("Available", 21) + "Source")
            << r.what;
        EXPECT_EQ(lines[1], QString(119, u'-')) << r.what;
        EXPECT_EQ(lines.back(), r.last != nullptr ? QString(r.last) : AppsTableRow(r.apps.back())) << r.what;
        for (const QString& line : lines)
            EXPECT_FALSE(line.endsWith(u' ')) << r.what << ": " << line.toStdString();
        // Every application and nothing else reaches the list.
        EXPECT_EQ(TakeAppLines(testsupport::AsReadFromTool(table)).size(), r.apps.size()) << r.what;
    }
}

TEST(AppsTableWriter, NotesAreReadBackAsNotesAndNeverAsApplications)
{
    const TableApp app = {"Note: not a note", "org.a.A", "1", "", "user"};
    const struct
    {
        const char* what;
        QString note;
        QString read;
    } rows[] = {
        {"a plain note", "The remote is down.", "The remote is down."},
        {"a line break inside stays one note", "two\nlines", "two lines"},
        {"the separator inside a note cannot start the table", "x" + QString(119, u'-'),
         "x" + QString(118, u'-') + " "},
    };
    for (const auto& r : rows) {
        const QString read = testsupport::AsReadFromTool(WriteAppsTable({app}, ClosingLine::Counted, {r.note}));
        EXPECT_EQ(TakeToolNotes(read), QStringList{r.read}) << r.what;
        const QStringList lines = TakeAppLines(read);
        ASSERT_EQ(lines.size(), 1) << r.what << ": the application named like a note is still an application";
        EXPECT_EQ(ParseAppLine(lines[0]).name, app.name) << r.what;
    }
}
