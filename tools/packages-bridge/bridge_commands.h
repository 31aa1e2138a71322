#pragma once

#include "command_line.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace packagesbridge {

// The bridge's two commands, carried out with flatpak. Both print to the
// bridge's standard output and standard error and return its exit status.

/// The time limit for the next child of a job allowed `limitMs` in all, the
/// time spent so far read once from `elapsedMs`: what is left, at least 1 ms,
/// since RunChild takes 0 or less for no limit at all; none when nothing is
/// left. Pure but for the one call of `elapsedMs`.
std::optional<int64_t> NextChildLimitMs(int64_t limitMs, const std::function<int64_t()>& elapsedMs);

/// Prints the table of the applications installed in every flatpak
/// installation the user can see, with the newer versions the remotes offer.
/// 0 when listed; 1, with flatpak's error, when flatpak cannot list them or
/// the bridge was asked to stop.
int ListApps();

/// Updates every installed copy of the application `command` names, passing
/// flatpak's output through line by line (read as the program reads lines,
/// the words of success defused), and ends with "Successfully installed" when
/// every flatpak run exited 0 and an installed version (or, for an
/// application without versions, its commit) changed; otherwise, a stop
/// request included, with "The update failed: " and the reason. Returns 0 or
/// 1.
int UpgradeApp(const Command& command);

} // namespace packagesbridge
