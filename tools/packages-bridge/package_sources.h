#pragma once

namespace packagesbridge {

// Which package sources the bridge uses: each one present on the machine,
// unless ZORVANE_PACKAGES_SOURCES names the ones to use ("flatpak",
// "packagekit", comma-separated), as a user who keeps one source to
// another tool, and the tests, may.

/// flatpak is on PATH and not left out.
bool UseFlatpak();

/// PackageKit's service is known to the system bus and not left out.
bool UsePackageKit();

} // namespace packagesbridge
