#include "packages-bridge/apps_table_writer.h"
#include "packages-bridge/command_line.h"
#include "packages-bridge/flatpak_apps.h"

#include "support/qstring_print.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace packagesbridge;

namespace {

QString U(const char16_t* text)
{
    return QString::fromUtf16(text);
}

/// Characters `start` (1-based) to `start + length - 1` of `line`, padded
/// with blanks: the field exactly where the program reads it, so that a value
/// shifted by one position shows up as a difference.
QString At(const QString& line, qsizetype start, qsizetype length)
{
    return line.mid(start - 1, length).leftJustified(length, u' ');
}

QString Padded(const QString& text, qsizetype length)
{
    return text.leftJustified(length, u' ');
}

} // namespace

TEST(AppsTableWriter, EveryFieldStaysAtItsPositions)
{
    const QString n34(34, u'N'), n35(35, u'N'), x32(32, u'x');
    const QString id35 = QStringLiteral("org.example.") + QString(23, u'i');
    const struct
    {
        const char* what;
        TableApp app;
        QString name, identifier, installed, available; // as read back at the positions
    } rows[] = {
        {"plain", {"Hello", "org.example.Hello", "1.0", "2.0", "user"}, "Hello", "org.example.Hello", "1.0", "2.0"},
        {"accents, one position each",
         {U(u"Caf\u00e9 Cr\u00e8me \u00c9diteur"), "org.example.Cafe", "1.0", "", "user"},
         U(u"Caf\u00e9 Cr\u00e8me \u00c9diteur"),
         "org.example.Cafe",
         "1.0",
         ""},
        {"CJK, one position each",
         {U(u"\u5199\u5b57\u677f\u7f16\u8f91\u5668"), "org.example.Cjk", "3.1", "3.2", "system"},
         U(u"\u5199\u5b57\u677f\u7f16\u8f91\u5668"),
         "org.example.Cjk",
         "3.1",
         "3.2"},
        {"an emoji takes the two positions the program counts for it",
         {U(u"Notes \U0001F4DD Pro"), "org.example.Notes", "0.9", "1.0", "user"},
         U(u"Notes \U0001F4DD Pro"),
         "org.example.Notes",
         "0.9",
         "1.0"},
        {"a name of 34 characters fits whole",
         {n34, "org.example.N", "1", "2", "user"},
         n34,
         "org.example.N",
         "1",
         "2"},
        {"a name of 35 characters is cut to 33 and marked",
         {n35, "org.example.N", "1", "2", "user"},
         QString(33, u'N') + QChar(ShortenedNameMark),
         "org.example.N",
         "1",
         "2"},
        {"an emoji across the cut is left out whole, never halved",
         {x32 + U(u"\U0001F600yy"), "org.example.X", "1", "", "user"},
         x32 + QChar(ShortenedNameMark),
         "org.example.X",
         "1",
         ""},
        {"an accent across the cut goes with its letter",
         {x32 + U(u"e\u0301xyz"), "org.example.X", "1", "", "user"},
         x32 + QChar(ShortenedNameMark),
         "org.example.X",
         "1",
         ""},
        {"versions longer than 20 are cut and move nothing",
         {"Long", "org.example.Long", "1.2.3.4.5.6.7.8.9.10.11", "2024.01.02-nightly-build", "user"},
         "Long",
         "org.example.Long",
         "1.2.3.4.5.6.7.8.9.10",
         "2024.01.02-nightly-b"},
        {"an identifier of 35 characters fills its column",
         {"Id", id35, "1.0", "1.1", "user"},
         "Id",
         id35,
         "1.0",
         "1.1"},
        {"a longer identifier is cut at 35", {"Id", id35 + "Tail", "1.0", "1.1", "user"}, "Id", id35, "1.0", "1.1"},
        {"line breaks and tabs in a value become blanks",
         {"Tab\tand\nbreak", "org.example.T", "1.0\r", "2.0", "user"},
         "Tab and break",
         "org.example.T",
         "1.0",
         "2.0"},
    };
    for (const auto& r : rows) {
        const QStringList lines = WriteAppsTable({r.app}).split(u'\n');
        ASSERT_EQ(lines.size(), 5) << r.what; // header, dashes, the row, the closing line, nothing
        const QString& line = lines[2];
        EXPECT_EQ(At(line, 1, 34), Padded(r.name, 34)) << r.what;
        EXPECT_EQ(At(line, 35, 35), Padded(r.identifier, 35)) << r.what;
        EXPECT_EQ(At(line, 70, 1), " ") << r.what;
        EXPECT_EQ(At(line, 71, 20), Padded(r.installed, 20)) << r.what;
        EXPECT_EQ(At(line, 91, 1), " ") << r.what;
        EXPECT_EQ(At(line, 92, 20), Padded(r.available, 20)) << r.what;
        EXPECT_EQ(line.mid(112), r.app.source) << r.what;
    }
}

TEST(AppsTableWriter, HeaderDashesRowsAndClosingLine)
{
    const struct
    {
        const char* what;
        QList<TableApp> apps;
        const char* closing;
    } rows[] = {
        {"no application", {}, "0 applications listed."},
        {"one", {{"A", "org.a.A", "1", "", "user"}}, "1 application listed."},
        {"two", {{"A", "org.a.A", "1", "", "user"}, {"B", "org.b.B", "1", "2", "system"}}, "2 applications listed."},
    };
    for (const auto& r : rows) {
        const QString table = WriteAppsTable(r.apps);
        ASSERT_TRUE(table.endsWith(u'\n')) << r.what;
        const QStringList lines = table.chopped(1).split(u'\n');
        ASSERT_EQ(lines.size(), r.apps.size() + 3) << r.what;
        EXPECT_EQ(lines[0],
                  Padded("Name", 34) + Padded("Id", 36) + Padded("Version", 21) + Padded("Available", 21) + "Source")
            << r.what;
        EXPECT_EQ(lines[1], QString(119, u'-')) << r.what;
        EXPECT_EQ(lines.back(), r.closing) << r.what;
    }
}

TEST(BridgeCommandLine, TakesOnlyWhatTheProgramPasses)
{
    using Kind = Command::Kind;
    const QString a = "--accept-package-agreements", s = "--accept-source-agreements", i = "--include-unknown";
    const struct
    {
        const char* what;
        QStringList words;
        Kind kind;
        const char* target;
    } rows[] = {
        {"list", {"list"}, Kind::List, ""},
        {"upgrade by identifier",
         {"upgrade", "--id", "org.example.Hello", a, s, i},
         Kind::UpgradeById,
         "org.example.Hello"},
        {"upgrade by name", {"upgrade", "Hello World", a, s, i}, Kind::UpgradeByName, "Hello World"},
        {"options are optional", {"upgrade", "Hello"}, Kind::UpgradeByName, "Hello"},
        {"a name is data", {"upgrade", "x; rm -rf ~ $(id)", a}, Kind::UpgradeByName, "x; rm -rf ~ $(id)"},
        {"nothing", {}, Kind::Usage, ""},
        {"an unknown command", {"install", "Hello"}, Kind::Usage, ""},
        {"list with a word after it", {"list", "Hello"}, Kind::Usage, ""},
        {"upgrade without a target", {"upgrade"}, Kind::Usage, ""},
        {"--id without an identifier", {"upgrade", "--id"}, Kind::Usage, ""},
        {"an empty identifier", {"upgrade", "--id", "", a}, Kind::Usage, ""},
        {"an empty name", {"upgrade", ""}, Kind::Usage, ""},
        {"an option where the name belongs", {"upgrade", i, "Hello"}, Kind::Usage, ""},
        {"an unknown option", {"upgrade", "Hello", "--force"}, Kind::Usage, ""},
        {"two names", {"upgrade", "Hello", "World"}, Kind::Usage, ""},
    };
    for (const auto& r : rows) {
        const Command command = ParseCommand(r.words);
        EXPECT_EQ(command.kind, r.kind) << r.what;
        EXPECT_EQ(command.target, r.target) << r.what;
    }
}

TEST(FlatpakApps, ReadsListOutputAndSkipsWhatIsNoApplication)
{
    const QString output = "user\torg.example.Hello/x86_64/stable\t2d4465658cb1\t1.0\tHello\n"
                           "system\torg.example.Tab/x86_64/beta\tabc\t\tName\twith a tab\n"
                           "user\tnot-a-ref\tabc\t1.0\tBroken\n"
                           "user\torg.example.Short/x86_64/stable\n";
    const QList<InstalledApp> apps = ParseInstalledApps(output);
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(apps[0].installation, "user");
    EXPECT_EQ(apps[0].ref, "app/org.example.Hello/x86_64/stable") << "the form remote-ls and update use";
    EXPECT_EQ(apps[0].identifier, "org.example.Hello");
    EXPECT_EQ(apps[0].commit, "2d4465658cb1");
    EXPECT_EQ(apps[0].version, "1.0");
    EXPECT_EQ(apps[0].name, "Hello");
    EXPECT_EQ(apps[1].version, "") << "an application without a version";
    EXPECT_EQ(apps[1].name, "Name\twith a tab") << "the last column keeps its tabs";
}

TEST(FlatpakApps, AnUpgradeNamesOneApplication)
{
    const QString longName = QString(40, u'L');
    const QString longId = QStringLiteral("org.example.") + QString(30, u'l');
    const auto app = [](const char* installation, const QString& id, const QString& name) {
        return InstalledApp{installation, "app/" + id + "/x86_64/stable", id, "c0", "1.0", name};
    };
    const QList<InstalledApp> installed = {
        app("user", "org.example.Hello", "Hello"),
        app("system", "org.example.Hello", "Hello"),
        app("user", "org.one.Twin", "Twin"),
        app("user", "org.two.Twin", "Twin"),
        app("user", longId, longName),
        app("user", "org.example.Trailing", "Trailing  "),
    };
    const bool byId = true, byName = false;
    const struct
    {
        const char* what;
        bool byId;
        QString target;
        QStringList copies; // installation:identifier of each copy to update
        const char* problem;
    } rows[] = {
        {"every installation holding the identifier",
         byId,
         "org.example.Hello",
         {"user:org.example.Hello", "system:org.example.Hello"},
         ""},
        {"every copy of the named application",
         byName,
         "Hello",
         {"user:org.example.Hello", "system:org.example.Hello"},
         ""},
        {"one of two applications of the same name, by identifier", byId, "org.two.Twin", {"user:org.two.Twin"}, ""},
        {"a name two applications share", byName, "Twin", {}, "2 applications match the name \"Twin\""},
        {"a name as the table cut it", byName, QString(33, u'L') + QChar(ShortenedNameMark), {"user:" + longId}, ""},
        {"an identifier as the table cut it", byId, longId.left(35), {"user:" + longId}, ""},
        {"a shorter start of an identifier is no match",
         byId,
         longId.left(34),
         {},
         "no installed application has the identifier"},
        {"a name as the table lists it, trailing blanks gone", byName, "Trailing", {"user:org.example.Trailing"}, ""},
        {"names are matched exactly", byName, "hello", {}, "no installed application is named \"hello\""},
        {"a name that would read as success is not echoed as such",
         byName,
         "Successfully installed",
         {},
         "no installed application is named \"Successfully_installed\""},
    };
    for (const auto& r : rows) {
        const Targets targets = r.byId ? FindByIdentifier(installed, r.target) : FindByName(installed, r.target);
        QStringList copies;
        for (const InstalledApp& copy : targets.apps)
            copies << copy.installation + ":" + copy.identifier;
        EXPECT_EQ(copies, r.copies) << r.what;
        if (*r.problem == '\0')
            EXPECT_EQ(targets.problem, "") << r.what;
        else
            EXPECT_TRUE(targets.problem.startsWith(r.problem)) << r.what << ": " << targets.problem.toStdString();
    }
}
