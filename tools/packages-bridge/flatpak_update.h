#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace packagesbridge {

// Updating through libflatpak's transactions, which report what the command
// line does not when its output is a pipe: progress while downloading.

/// Receives each line an update has to say, as it happens.
using SayLine = std::function<void(const QString& line)>;

/// One progress line of a download: "Downloading 45 % (2.2 of 4.9 MB)", in
/// kB below a megabyte; the sizes left out while the whole is unknown (0);
/// "Downloading 2.2 MB" while the percentage is (below 0). Pure.
QString DownloadLine(int percent, uint64_t transferred, uint64_t total);

/// Whether a progress line is due: the first bytes, or more bytes and at
/// least `minIntervalMs` since the last line, so that a fast download adds a
/// few lines a second and no more. Pure.
bool ProgressLineDue(uint64_t bytes, int64_t nowMs, uint64_t lastBytes, int64_t lastMs, int64_t minIntervalMs);

/// Updates `refs` ("app/..." or "runtime/...") of `installation` ("user",
/// "system" or an installation id) in one transaction, without asking
/// anything, saying each step and download progress a few times a second
/// through `say`; an end-of-life reference with a replacement is replaced by
/// it. Stops when the bridge is asked to. Returns why it failed,
/// or an empty text when flatpak did everything it was asked to.
QString UpdateRefs(const QString& installation, const QStringList& refs, const SayLine& say);

} // namespace packagesbridge
