#pragma once

#include <QString>

namespace runtime {

// Wayland's xdg-activation tokens: a compositor lets a window come to the
// front only with a token it issued, which a launcher, a panel or another
// program hands to us.

/// Whether `token` can be passed on and used as an activation token: 1 to
/// 256 printable ASCII characters without blanks. Tokens reach the program
/// from other processes (the tray host, a second copy), so anything else is
/// dropped rather than forwarded. Pure.
bool IsActivationToken(const QString& token);

/// Asks the compositor named by WAYLAND_DISPLAY for a token for the
/// application `appId`, on a connection of its own; waits at most
/// `timeoutMs`. Empty when there is no compositor, it has no xdg-activation,
/// or it does not answer in time. Any thread.
QString RequestActivationToken(const QString& appId, int timeoutMs);

} // namespace runtime
