#pragma once

#include "command_line.h"

namespace packagesbridge {

// The bridge's two commands, carried out with flatpak. Both print to the
// bridge's standard output and standard error and return its exit status.

/// Prints the table of the applications installed in every flatpak
/// installation the user can see, with the newer versions the remotes offer.
/// 0 when listed; 1, with flatpak's error, when flatpak cannot list them or
/// the bridge was asked to stop.
int ListApps();

/// Updates every installed copy of the application `command` names (or, for
/// RuntimesIdentifier, every runtime with an update, then removes unused
/// ones), passing flatpak's output through line by line (read as the program
/// reads lines, the words of success defused). Masked copies are left alone
/// and said to be; an end-of-life reason and replacement are said first. Ends
/// with "Successfully installed ID VERSION" when every flatpak run exited 0
/// and afterwards no copy has an update left, whoever updated it; otherwise,
/// a stop request included, with "The update failed: " and the reason.
/// Returns 0 or 1.
int UpgradeApp(const Command& command);

} // namespace packagesbridge
