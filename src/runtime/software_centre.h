#pragma once

namespace runtime {

/// Whether the desktop has a software centre OpenSoftwareCentre can start.
/// Looks on PATH, so it costs a few file lookups. Any thread.
bool SoftwareCentreInstalled();

/// Starts the desktop's software centre, which stands in for the system's
/// list of installed programs: GNOME Software, or KDE Discover when GNOME
/// Software is not installed; looked up on PATH. Does not wait for it. False
/// when neither is installed or it could not be started.
bool OpenSoftwareCentre();

} // namespace runtime
