#include "flatpak_table.h"

#include "updater/apps_table_layout.h"

namespace packagesbridge {

namespace {

const RemoteAnswer* AnswerFor(const FlatpakState& state, const InstalledApp& copy)
{
    for (const RemoteAnswer& answer : state.answers) {
        if (answer.installation == copy.installation && answer.remote == copy.origin)
            return &answer;
    }
    return nullptr;
}

/// The Available column of an application's row.
QString AvailableText(const FlatpakState& state, const InstalledApp& copy)
{
    switch (StandingOf(state, copy)) {
    case Standing::Masked:
        return QStringLiteral("(masked)");
    case Standing::EndOfLife:
        return QStringLiteral("(end of life)");
    case Standing::Unreachable:
        return QStringLiteral("(remote unreachable)");
    case Standing::TimedOut:
        return QStringLiteral("(remote timed out)");
    case Standing::Current:
    case Standing::Unknown:
        return QString();
    case Standing::Update:
        break;
    }
    // A new commit is an update whatever its version says: a rebuild at the
    // same version, or one whose version the remote's data does not give.
    const QString offered = OfferFor(state, copy)->version;
    if (!offered.isEmpty() && offered != copy.version)
        return offered;
    return copy.version.isEmpty() ? QStringLiteral("new build") : copy.version + QStringLiteral(" (new build)");
}

QString NoteFor(const RemoteAnswer& answer)
{
    const QString where =
        QStringLiteral("the remote \"%1\" of the %2 installation").arg(answer.remote, answer.installation);
    switch (answer.outcome) {
    case RemoteAnswer::Outcome::Unreachable:
        return QStringLiteral("T%1 could not be reached; its applications show \"(remote unreachable)\".")
            .arg(where.sliced(1));
    case RemoteAnswer::Outcome::TimedOut:
        return QStringLiteral("T%1 did not answer in time; its applications show \"(remote timed out)\".")
            .arg(where.sliced(1));
    case RemoteAnswer::Outcome::Answered:
        break;
    }
    if (answer.versionsStale)
        return QStringLiteral("The application data of %1 could not be refreshed; versions may be out of date.")
            .arg(where);
    return QString();
}

} // namespace

const RemoteRef* OfferFor(const FlatpakState& state, const InstalledApp& copy)
{
    const RemoteAnswer* answer = AnswerFor(state, copy);
    if (answer == nullptr)
        return nullptr;
    const auto found = answer->refs.constFind(copy.ref);
    return found == answer->refs.constEnd() ? nullptr : &*found;
}

Standing StandingOf(const FlatpakState& state, const InstalledApp& copy)
{
    if (IsMasked(state.masks.value(copy.installation), copy.ref))
        return Standing::Masked;
    const RemoteAnswer* answer = AnswerFor(state, copy);
    if (answer == nullptr)
        return Standing::Unknown;
    if (answer->outcome == RemoteAnswer::Outcome::Unreachable)
        return Standing::Unreachable;
    if (answer->outcome == RemoteAnswer::Outcome::TimedOut)
        return Standing::TimedOut;
    const RemoteRef* offer = OfferFor(state, copy);
    if (offer == nullptr)
        return Standing::Unknown;
    if (!offer->endOfLife.isEmpty())
        return Standing::EndOfLife;
    return SameCommit(copy.commit, offer->commit) ? Standing::Current : Standing::Update;
}

Listing ListingOf(const FlatpakState& state)
{
    Listing listing;
    for (const InstalledApp& app : state.apps)
        listing.rows.append({app.name, app.identifier, app.version, AvailableText(state, app), app.installation});

    qsizetype runtimeUpdates = 0;
    for (const InstalledApp& runtime : state.runtimes) {
        const Standing standing = StandingOf(state, runtime);
        if (standing == Standing::Update || standing == Standing::EndOfLife)
            ++runtimeUpdates;
    }
    if (runtimeUpdates > 0) {
        const QString count =
            runtimeUpdates == 1 ? QStringLiteral("1 update") : QStringLiteral("%1 updates").arg(runtimeUpdates);
        listing.rows.append({RuntimesName, RuntimesIdentifier, QString(), count, QStringLiteral("flatpak")});
    }

    for (const RemoteAnswer& answer : state.answers) {
        const QString note = NoteFor(answer);
        if (!note.isEmpty())
            listing.notes << note;
    }
    return listing;
}

} // namespace packagesbridge
