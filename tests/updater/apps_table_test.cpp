#include "updater/apps_table.h"
#include "updater/apps_table_writer.h"
#include "updater/package_manager.h"

#include "support/qstring_print.h"

#include <gtest/gtest.h>

using namespace updater;

namespace {

/// A table line as the package manager prints it, from the updater's writer.
QString Line(const QString& name, const QString& id, const QString& installed, const QString& available)
{
    return AppsTableRow({name, id, installed, available, "winget"});
}

QString Output(const QStringList& lines)
{
    return "Name  Id  Version  Available  Source\r\n" + AppsSeparator + "\r\n" + lines.join("\r\n");
}

} // namespace

TEST(IsNewerVersion, ComparesPieceByPiece)
{
    const struct
    {
        const char* installed;
        const char* available;
        bool newer;
    } rows[] = {
        {"1.2.3", "1.3", true},    // shorter but newer
        {"10.0", "9.1", false},    // a longer first piece is not smaller
        {"1.10", "1.9", false},    // pieces are numbers, not digits
        {"2.1.0", "2.1", false},   // a longer version is not older
        {"2.1", "2.1.1", true},    // ... and one piece more is newer
        {"121.0", "122.0", true},  //
        {"1.0", "1.0", false},     // same version
        {"< 1.5", "1.4", true},    // a bound names no version: older than any
        {"1a.2", "1.3", true},     // a letter comes before a separator
        {"Unknown", "1.0", true},  // nothing known installed is older than any version
        {"1.0", "Unknown", false}, // nothing known is never newer
        {"", "", false},           // empty on both sides
        {"1.2.3.4.5", "1.2.3.4.6", true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(IsNewerVersion(r.installed, r.available), r.newer) << r.installed << " vs " << r.available;
}

TEST(IsNewerVersion, OrdersVersionsAsPackagersWriteThem)
{
    const struct
    {
        const char* installed;
        const char* available;
        bool newer;
    } rows[] = {
        {"v3", "v4", true},                                      // a "v" before the number
        {"1.0-beta", "1.0", true},                               // a pre-release comes before its release
        {"1.0-beta1", "1.0-beta2", true},                        // ... and is counted on
        {"1.0.RC1", "1.0", true},                                // after "." too, in any case
        {"1.0-dev3", "1.0-alpha1", true},                        // pre-release words in their order
        {"1.0+git20240101", "1.0+git20240202", true},            // a snapshot date after the version
        {"R2023a", "R2023b", true},                              // a letter after the number
        {"1.2.6-5+deb12u1", "1.2.6-5+deb12u2", true},            // a Debian stable update
        {"6.1.0-18", "6.1.0-21", true},                          // a package revision
        {"2:1.0-1", "2:1.0-2", true},                            // the same epoch
        {"1:0.9", "2.0", false},                                 // an epoch comes first
        {"1.0~rc1", "1.0", true},                                // "~" comes before the end
        {"1.0", "1.0 (new build)", true},                        // more after the same version
        {"1.0", "(remote unreachable)", false},                  // a note is never newer
        {"1.0", "", false},                                      // nor is nothing
        {"", "0.1", true},                                       // nothing installed is older than any version
        {"1.0", "18446744073709551617.0", true},                 // numbers of any length
        {"18446744073709551617", "18446744073709551616", false}, // without overflow
        {"1.01", "1.1", false},                                  // leading zeros change no number
    };
    for (const auto& r : rows)
        EXPECT_EQ(IsNewerVersion(r.installed, r.available), r.newer) << r.installed << " vs " << r.available;
}

TEST(AppsTable, TakesEveryRowAndNeverReadsOutsideTheText)
{
    const QString row = Line("Kelvara Studio", "Kelvara.Studio", "121.0", "122.0");
    const struct
    {
        const char* what;
        QString output;
        qsizetype lines;
    } rows[] = {
        {"empty output", "", 0},
        {"no separator, short error text", "The system cannot find the file specified.", 0},
        {"no separator: the first 120 characters are skipped", QString(120, u'x') + row, 1},
        {"separator alone", "head\r\n" + AppsSeparator, 0},
        {"last line is a row: kept", Output({row, row}), 2},
        {"closing remark of the tool: dropped", Output({row, "2 upgrades available."}), 1},
        {"blank line inside the table is parsed like a row", Output({row, "", row}), 3},
        {"more than 999 rows", Output(QStringList(1500, row)), 1500},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TakeAppLines(r.output).size(), r.lines) << r.what;
}

TEST(AppsTable, SortsWithoutRegardToLetterCaseKeepingTheTableOrderOfTies)
{
    const QStringList lines = TakeAppLines(Output({Line("beta", "B", "1", "1"), Line("Alpha", "A", "1", "1"),
                                                   Line("BETA", "B2", "1", "1"), Line("alpha", "A2", "1", "1")}));
    QStringList names;
    for (const QString& line : lines)
        names << ParseAppLine(line).name;
    EXPECT_EQ(names, (QStringList{"Alpha", "alpha", "beta", "BETA"}));
}

TEST(AppsTable, FieldsComeFromTheirColumnsWhateverTheLineHolds)
{
    const struct
    {
        const char* what;
        QString line;
        AppRow row;
    } rows[] = {
        {"a full row",
         Line("Kelvara Studio", "Kelvara.Studio", "121.0", "122.0"),
         {"Kelvara Studio", "Kelvara.Studio", "121.0", "122.0"}},
        {"blank available version",
         Line("Mail Sync", "Mail.Sync", "3.0", ""),
         {"Mail Sync", "Mail.Sync", "3.0", "Unknown"}},
        {"names with accents count characters",
         Line("Caf\u00e9 Cr\u00e8me \u2026", "Cafe.Creme", "2.0", "2.1"),
         {"Caf\u00e9 Cr\u00e8me \u2026", "Cafe.Creme", "2.0", "2.1"}},
        {"a line longer than the fields", Line("A", "B", "1", "2") + QString(500, u'z'), {"A", "B", "1", "2"}},
        {"fewer columns: no available version",
         QString("Short").leftJustified(NameColumn.width) + "Id.Only   1.0",
         {"Short", "Id.Only   1.0", "", "Unknown"}},
        {"a line shorter than the name", "Tiny", {"Tiny", "", "", "Unknown"}},
        {"an empty line", "", {"", "", "", "Unknown"}},
        {"a line break in a field stays in its cell", // written by another tool: the writer makes them blanks
         Line("Two#Lines", "Id^X", "1", "2").replace(u'#', u'\n').replace(u'^', u'\r'),
         {"Two Lines", "Id X", "1", "2"}},
        {"bidi controls become blanks: nothing reorders the row", // override, isolate, mark
         Line("Evil#gpj", "Id^X", "1.0~", "2")
             .replace(u'#', u'\u202E')
             .replace(u'^', u'\u2067')
             .replace(u'~', u'\u200F'),
         {"Evil gpj", "Id X", "1.0", "2"}},
    };
    for (const auto& r : rows) {
        const AppRow got = ParseAppLine(r.line);
        EXPECT_EQ(got.name, r.row.name) << r.what;
        EXPECT_EQ(got.identifier, r.row.identifier) << r.what;
        EXPECT_EQ(got.installed, r.row.installed) << r.what;
        EXPECT_EQ(got.available, r.row.available) << r.what;
    }
}

TEST(AppsTable, FillMarksUpdatesAndFiltersByNameInAnyCase)
{
    const QStringList lines = {Line("Kelvara Studio", "K", "121.0", "122.0"), Line("Mail Sync", "Mail.Sync", "3.0", ""),
                               Line("Kelvara Notes", "N", "2.1.0", "2.1")};
    const AppsFill all = FillApps(lines, QString());
    EXPECT_EQ(all.rows, (QList<QString>{"Kelvara Studio\n121.0\n122.0\nK\n1", "Mail Sync\n3.0\nUnknown\nMail.Sync\n0",
                                        "Kelvara Notes\n2.1.0\n2.1\nN\n0"}));
    EXPECT_EQ(all.updates, (QList<bool>{true, false, false}));
    EXPECT_EQ(all.updateCount, 1);

    const AppsFill filtered = FillApps(lines, "kELVARA n");
    EXPECT_EQ(filtered.rows, (QList<QString>{"Kelvara Notes\n2.1.0\n2.1\nN\n0"}));
    EXPECT_EQ(filtered.updateCount, 0);                     // updates count among the rows shown only
    EXPECT_EQ(FillApps(lines, "Mail.Sync").rows.size(), 0); // names only, not identifiers
}

TEST(CleanLogLine, KeepsTheLogReadable)
{
    const struct
    {
        const char* what;
        const char* in;
        const char* out;
    } rows[] = {
        {"spinner between blank runs", "Downloading     -    45%", "Downloading 45%"},
        {"every spinner fragment", "a / b | c - d \\ e", "a b c d e"},
        {"blank runs collapse, ends trimmed", "   one    two   ", "one two"},
        {"cancel code on a line of its own", "Installer failed with exit code: 0x800704c7",
         "Installer failed with exit code: \r\n0x800704c7"},
        {"success on a line of its own, with !", "Done. Successfully installed", "Done. \r\nSuccessfully installed!"},
        {"you cancel", "Failed. You cancelled it", "Failed. \r\nYou cancelled it"},
        {"case matters", "successfully installed 0X800704C7", "successfully installed 0X800704C7"},
        {"empty", "", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(CleanLogLine(r.in), r.out) << r.what;
}

TEST(PackageCommands, ShortenedNamesUpgradeByIdentifierAndEveryTextIsOneArgument)
{
    const QString tool = "/opt/z/zorvane-packages";
    const QString options = " --accept-package-agreements --accept-source-agreements --include-unknown";

    const PackageCommand byName = UpgradeCommand(tool, "Mail Sync", "Mail.Sync");
    EXPECT_EQ(byName.text, tool + " upgrade \"Mail Sync\"" + options);
    EXPECT_EQ(byName.arguments, (QStringList{tool, "upgrade", "Mail Sync"} + UpgradeOptions));

    const PackageCommand byId = UpgradeCommand(tool, "Zip Packer Professional\u2026", "ZipPacker.Pro");
    EXPECT_EQ(byId.text, tool + " upgrade --id \"ZipPacker.Pro\"" + options);
    EXPECT_EQ(byId.arguments, (QStringList{tool, "upgrade", "--id", "ZipPacker.Pro"} + UpgradeOptions));

    const QString hostile = "x\" & rm -rf ~ & \"; $(id) `id`";
    EXPECT_EQ(UpgradeCommand(tool, hostile, "Id").arguments.at(2), hostile);

    EXPECT_EQ(ListCommand(tool).arguments, (QStringList{tool, "list"}));
    EXPECT_EQ(ListCommand(tool).text, tool + " list");
    EXPECT_TRUE(UpgradeSucceeded("...\r\nSuccessfully installed\r\n", 0));
    EXPECT_FALSE(UpgradeSucceeded("successfully installed", 0));
    EXPECT_FALSE(UpgradeSucceeded("Successfully installed", 1)) << "the words, then an error exit";
}
