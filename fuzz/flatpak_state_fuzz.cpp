// Feeds arbitrary text to the package bridge as flatpak's answers: the list
// of installed copies, a remote's offer and the mask patterns, split at the
// first two NUL bytes. Checks that every reader ends, that the table made of
// them is read back by the program whole (each application a row, each note
// a note) and that a pattern matching is never ambiguous about its input.
#include "flatpak_table.h"
#include "support/tool_output.h"
#include "updater/apps_table.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    using namespace packagesbridge;
    FlatpakState state;
    state.apps = ParseInstalledApps(QString::fromUtf8(parts.value(0)), RefKind::App);
    state.runtimes = ParseInstalledApps(QString::fromUtf8(parts.value(0)), RefKind::Runtime);
    const QStringList masks = ParseMasks(QString::fromUtf8(parts.value(2)));
    RemoteAnswer answer;
    answer.outcome = RemoteAnswer::Outcome::Answered;
    answer.refs = ParseRemoteRefs(QString::fromUtf8(parts.value(1)));
    for (const InstalledApp& copy : state.apps + state.runtimes) {
        Check(copy.ref.count(u'/') == 3 && !copy.identifier.isEmpty());
        state.masks.insert(copy.installation, masks);
        answer.installation = copy.installation;
        answer.remote = copy.origin;
        state.answers << answer;
    }

    const Listing listing = ListingOf(state);
    const QString table = updater::WriteAppsTable(listing.rows, updater::ClosingLine::Counted, listing.notes);
    const QString asRead = testsupport::AsReadFromTool(table);
    Check(updater::TakeAppLines(asRead).size() == listing.rows.size());
    Check(updater::TakeToolNotes(asRead).size() == listing.notes.size());
    return 0;
}
