// Feeds arbitrary package-manager output to the installed-apps parse, the
// fill and the log clean-up. Control bytes stand for the table's landmarks
// (the 119-dash separator, CR LF, runs of blanks, the shortened-name mark,
// version-like pieces), so the fuzzer reaches rows at the fixed columns and
// their broken variants without guessing a line of 119 dashes. Checks that
// every parse ends, stays inside its columns and keeps each row's shape, and
// that the version order is a strict weak order on the first three texts
// between "|" characters.
#include "updater/apps_table.h"
#include "updater/apps_table_layout.h"
#include "updater/package_manager.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

const QString Tokens[] = {
    updater::AppsSeparator,
    QStringLiteral("\r\n"),
    QStringLiteral("\n"),
    QStringLiteral("\r"),
    QString(10, u' '),
    QString(33, u' '),
    QStringLiteral(" "),
    QStringLiteral("\u2026"),
    QStringLiteral("1.2.3"),
    QStringLiteral("10."),
    QStringLiteral("Unknown"),
    QStringLiteral("< "),
    QStringLiteral("$ff"),
    QStringLiteral("0x800704c7"),
    QStringLiteral("Successfully installed"),
    QStringLiteral("You cancel"),
    QStringLiteral(" / "),
    QStringLiteral(" - "),
    QStringLiteral(" | "),
    QStringLiteral(" \\ "),
    QStringLiteral("\u00e9"),
    QStringLiteral("\U0001F600"),
    QStringLiteral("~"),
    QStringLiteral("-beta"),
    QStringLiteral(".RC"),
    QStringLiteral("v"),
    QStringLiteral("2:"),
    QStringLiteral("("),
    QStringLiteral("+git"),
    QStringLiteral("99999999999999999999"),
    QStringLiteral("0"),
    QStringLiteral("-"),
    QStringLiteral("."),
};
constexpr int TokenCount = sizeof(Tokens) / sizeof(Tokens[0]);

QString Expand(const uint8_t* data, size_t size)
{
    QString text;
    text.reserve(static_cast<qsizetype>(size) * 8);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] < TokenCount)
            text.append(Tokens[data[i]]);
        else
            text.append(QChar(data[i])); // Latin-1, including 0x7f-0xff
    }
    return text;
}

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

/// `a` < `b` in the version order.
bool Before(const QString& a, const QString& b)
{
    return updater::IsNewerVersion(a, b);
}

/// Neither comes before the other.
bool Level(const QString& a, const QString& b)
{
    return !Before(a, b) && !Before(b, a);
}

/// The order is irreflexive, asymmetric and transitive, and being level is
/// transitive too, for `a`, `b`, `c` in every arrangement.
void CheckStrictWeakOrder(const QString& a, const QString& b, const QString& c)
{
    const QString* v[] = {&a, &b, &c};
    const int arrangements[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (const auto& order : arrangements) {
        const QString& x = *v[order[0]];
        const QString& y = *v[order[1]];
        const QString& z = *v[order[2]];
        Check(!Before(x, x));
        Check(!(Before(x, y) && Before(y, x)));
        Check(!(Before(x, y) && Before(y, z)) || Before(x, z));
        Check(!(Level(x, y) && Level(y, z)) || Level(x, z));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // First byte: how much of the text's start is also the filter.
    const QString text = Expand(data + 1, size - 1);
    const QString filter = text.left(data[0] % 8);

    const QStringList lines = updater::TakeAppLines(text);
    Check(lines.size() <= text.count(QStringLiteral("\r\n")) + 1);
    for (const QString& line : lines) {
        const updater::AppRow row = updater::ParseAppLine(line);
        Check(row.name.size() <= updater::NameColumn.width &&
              row.identifier.size() <= updater::IdentifierColumn.width &&
              row.installed.size() <= updater::InstalledColumn.width);
        Check(!row.available.isEmpty() && row.available.size() <= updater::AvailableColumn.width);
        Check(!row.name.endsWith(u' ') && !row.identifier.startsWith(u' ') && !row.installed.endsWith(u' '));
        Check(!(updater::IsNewerVersion(row.installed, row.available) &&
                updater::IsNewerVersion(row.available, row.installed)));
        Check(!updater::IsNewerVersion(row.installed, row.installed));
    }

    const updater::AppsFill fill = updater::FillApps(lines, filter);
    Check(fill.rows.size() == fill.updates.size() && fill.rows.size() <= lines.size());
    qsizetype updates = 0;
    for (qsizetype i = 0; i < fill.rows.size(); ++i) {
        Check(fill.rows[i].count(u'\n') == 4);
        Check(fill.rows[i].endsWith(fill.updates[i] ? QStringLiteral("\n1") : QStringLiteral("\n0")));
        updates += fill.updates[i] ? 1 : 0;
    }
    Check(updates == fill.updateCount);

    const QStringList versions = text.split(u'|');
    CheckStrictWeakOrder(versions.value(0), versions.value(1), versions.value(2));

    const QString log = updater::CleanLogLine(text);
    Check(!log.startsWith(u' ') && !log.endsWith(u' '));
    Check(!log.contains(QStringLiteral("  ")));
    return 0;
}
