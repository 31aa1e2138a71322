// libflatpak and GLib come first: their headers use names that Qt's keyword
// macros would otherwise rewrite.
#include <flatpak.h>

#include "flatpak_update.h"

#include "child_process.h"
#include "glib_handles.h"

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <chrono>
#include <thread>

namespace packagesbridge {

namespace {

/// How often a download may add a progress line to the log.
constexpr int64_t ProgressIntervalMs = 300;

QString FromUtf8(const char* text)
{
    return text == nullptr ? QString() : QString::fromUtf8(text);
}

/// What the transaction's handlers share.
struct Run
{
    const SayLine* say = nullptr;
    QElapsedTimer clock;
    QString failure; ///< flatpak's error for the operation that failed
};

/// The state of one operation's progress lines.
struct Progress
{
    Run* run = nullptr;
    uint64_t total = 0;
    uint64_t lastBytes = 0;
    int64_t lastMs = 0;
};

void OnProgressChanged(FlatpakTransactionProgress* progress, gpointer data)
{
    auto* state = static_cast<Progress*>(data);
    const uint64_t transferred = flatpak_transaction_progress_get_bytes_transferred(progress);
    // Only a download is news worth a line; deploying is quick and says
    // nothing a user could act on.
    if (transferred == 0)
        return;
    // flatpak's own percentage stays put while it is still counting what to
    // fetch, which for one large file is the whole download; the bytes
    // against the size its remote gave tell more.
    int percent = -1;
    if (state->total > 0)
        percent = int(std::min<uint64_t>(transferred * 100 / state->total, 100));
    else if (!flatpak_transaction_progress_get_is_estimating(progress))
        percent = flatpak_transaction_progress_get_progress(progress);
    const int64_t now = state->run->clock.elapsed();
    if (!ProgressLineDue(transferred, now, state->lastBytes, state->lastMs, ProgressIntervalMs))
        return;
    state->lastBytes = transferred;
    state->lastMs = now;
    (*state->run->say)(DownloadLine(percent, transferred, state->total));
}

void OnNewOperation(FlatpakTransaction*, FlatpakTransactionOperation* operation, FlatpakTransactionProgress* progress,
                    gpointer data)
{
    auto* run = static_cast<Run*>(data);
    const QString ref = FromUtf8(flatpak_transaction_operation_get_ref(operation));
    QString verb;
    switch (flatpak_transaction_operation_get_operation_type(operation)) {
    case FLATPAK_TRANSACTION_OPERATION_INSTALL:
    case FLATPAK_TRANSACTION_OPERATION_INSTALL_BUNDLE:
        verb = QStringLiteral("Installing ");
        break;
    case FLATPAK_TRANSACTION_OPERATION_UNINSTALL:
        verb = QStringLiteral("Uninstalling ");
        break;
    default:
        verb = QStringLiteral("Updating ");
        break;
    }
    (*run->say)(verb + ref);
    auto* state = new Progress{run, flatpak_transaction_operation_get_download_size(operation)};
    flatpak_transaction_progress_set_update_frequency(progress, 100);
    g_signal_connect_data(
        progress, "changed", G_CALLBACK(OnProgressChanged), state,
        [](gpointer owned, GClosure*) { delete static_cast<Progress*>(owned); }, GConnectFlags(0));
}

gboolean OnOperationError(FlatpakTransaction*, FlatpakTransactionOperation* operation, const GError* error,
                          FlatpakTransactionErrorDetails details, gpointer data)
{
    auto* run = static_cast<Run*>(data);
    const QString ref = FromUtf8(flatpak_transaction_operation_get_ref(operation));
    const QString message = FromUtf8(error->message);
    if ((details & FLATPAK_TRANSACTION_ERROR_DETAILS_NON_FATAL) != 0) {
        (*run->say)(QStringLiteral("Warning: %1: %2").arg(ref, message));
        return TRUE;
    }
    (*run->say)(QStringLiteral("Error: %1: %2").arg(ref, message));
    run->failure = QStringLiteral("flatpak could not update %1: %2").arg(ref, message);
    // Nothing more: the rest may need what just failed.
    return FALSE;
}

/// Replaces an end-of-life reference by the one its remote names, as the
/// command line does when it may not ask.
gboolean OnEndOfLifedWithRebase(FlatpakTransaction* transaction, const char* remote, const char* ref, const char*,
                                const char* rebasedTo, const char** previousIds, gpointer data)
{
    auto* run = static_cast<Run*>(data);
    GError* raw = nullptr;
    if (!flatpak_transaction_add_rebase(transaction, remote, rebasedTo, nullptr, previousIds, &raw) ||
        !flatpak_transaction_add_uninstall(transaction, ref, &raw)) {
        const ErrorPtr error(raw);
        (*run->say)(QStringLiteral("Warning: %1 could not be replaced by %2: %3")
                        .arg(FromUtf8(ref), FromUtf8(rebasedTo), FromUtf8(error ? error->message : nullptr)));
        return FALSE;
    }
    (*run->say)(QStringLiteral("Replacing %1 by %2").arg(FromUtf8(ref), FromUtf8(rebasedTo)));
    return TRUE;
}

FlatpakInstallation* OpenInstallation(const QString& installation, GError** error)
{
    if (installation == QLatin1String("user"))
        return flatpak_installation_new_user(nullptr, error);
    if (installation == QLatin1String("system"))
        return flatpak_installation_new_system(nullptr, error);
    return flatpak_installation_new_system_with_id(installation.toUtf8().constData(), nullptr, error);
}

} // namespace

QString DownloadLine(int percent, uint64_t transferred, uint64_t total)
{
    // In the unit of the whole, so that both numbers read alike.
    const bool megabytes = std::max(transferred, total) >= 1000000;
    const auto size = [megabytes](uint64_t bytes) {
        return QString::number(double(bytes) / (megabytes ? 1e6 : 1e3), 'f', 1);
    };
    const QString unit = megabytes ? QStringLiteral("MB") : QStringLiteral("kB");
    if (percent < 0)
        return QStringLiteral("Downloading %1 %2").arg(size(transferred), unit);
    const QString line = QStringLiteral("Downloading %1 %").arg(percent);
    if (total == 0)
        return line;
    return line + QStringLiteral(" (%1 of %2 %3)").arg(size(transferred), size(total), unit);
}

bool ProgressLineDue(uint64_t bytes, int64_t nowMs, uint64_t lastBytes, int64_t lastMs, int64_t minIntervalMs)
{
    if (lastBytes == 0)
        return bytes > 0;
    return bytes != lastBytes && nowMs - lastMs >= minIntervalMs;
}

QString UpdateRefs(const QString& installation, const QStringList& refs, const SayLine& say)
{
    if (StopRequested())
        return QStringLiteral("it was asked to stop before flatpak was done");
    GError* raw = nullptr;
    const GObjectPtr<FlatpakInstallation> opened(OpenInstallation(installation, &raw));
    if (!opened) {
        const ErrorPtr error(raw);
        return QStringLiteral("flatpak could not open the %1 installation: %2")
            .arg(installation, FromUtf8(error ? error->message : nullptr));
    }
    const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    const GObjectPtr<FlatpakTransaction> transaction(
        flatpak_transaction_new_for_installation(opened.get(), cancellable.get(), &raw));
    if (!transaction) {
        const ErrorPtr error(raw);
        return QStringLiteral("flatpak could not start an update: ") + FromUtf8(error ? error->message : nullptr);
    }
    flatpak_transaction_set_no_interaction(transaction.get(), TRUE);
    for (const QString& ref : refs) {
        if (!flatpak_transaction_add_update(transaction.get(), ref.toUtf8().constData(), nullptr, nullptr, &raw)) {
            const ErrorPtr error(raw);
            return QStringLiteral("flatpak cannot update %1: %2").arg(ref, FromUtf8(error ? error->message : nullptr));
        }
    }

    Run run;
    run.say = &say;
    run.clock.start();
    g_signal_connect(transaction.get(), "new-operation", G_CALLBACK(OnNewOperation), &run);
    g_signal_connect(transaction.get(), "operation-error", G_CALLBACK(OnOperationError), &run);
    g_signal_connect(transaction.get(), "end-of-lifed-with-rebase", G_CALLBACK(OnEndOfLifedWithRebase), &run);

    // A stop request cancels the transaction; flatpak then ends it where it
    // is safe to, a deployment whole or not at all. While it waits on a
    // remote that sends nothing it does not look at the cancel, so after the
    // grace a child gets the bridge ends anyway: a download waited for has
    // deployed nothing, and a deployment cut short leaves the old one active.
    std::atomic<bool> finished = false;
    std::thread watcher([&] {
        int64_t stoppedAt = -1;
        while (!finished.load()) {
            if (StopRequested()) {
                if (stoppedAt < 0) {
                    stoppedAt = run.clock.elapsed();
                    g_cancellable_cancel(cancellable.get());
                }
                if (run.clock.elapsed() - stoppedAt > ChildStopGraceMs) {
                    say(QStringLiteral("The update failed: it was asked to stop before flatpak was done."));
                    std::_Exit(1);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const gboolean ran = flatpak_transaction_run(transaction.get(), cancellable.get(), &raw);
    finished = true;
    watcher.join();
    const ErrorPtr error(raw);
    if (StopRequested())
        return QStringLiteral("it was asked to stop before flatpak was done");
    if (ran)
        return QString();
    if (!run.failure.isEmpty())
        return run.failure;
    return QStringLiteral("flatpak could not update: ") + FromUtf8(error ? error->message : nullptr);
}

} // namespace packagesbridge
