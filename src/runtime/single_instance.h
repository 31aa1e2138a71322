#pragma once

#include <QString>

#include <functional>

namespace runtime {

/// Makes sure one instance runs per user. Returns true for the first
/// instance: it now holds the lock and listens for activations, which call
/// `onActivate` with the activation token that came along (empty when none
/// did) on the GUI thread while it pumps events, but only once GuiReady is 1
/// (earlier ones are dropped). Returns false for a second instance: it has
/// sent one activation to the first, carrying the token `activationToken`
/// gives (asked only on this path), and waited 500 ms; the caller then ends
/// the process with exit code 0 without touching any file. A lock left
/// behind by a crashed instance is taken over. The lock and the socket live
/// in PrivateRuntimeFolder(); without one, every instance is a first one.
/// GUI thread.
bool ClaimSingleInstance(const QString& name, const std::function<QString()>& activationToken,
                         std::function<void(const QString& token)> onActivate);

/// The activation message a second instance sends: "activate", then a blank
/// and the token when it has a usable one, then a line feed. Pure.
QByteArray ActivationMessage(const QString& token);

/// The token an activation message carries; empty when it carries none or
/// one that is not usable (see IsActivationToken). Any message activates,
/// whatever it carries. Pure.
QString ActivationTokenOf(const QByteArray& message);

/// Releases the lock and stops listening (also done at process exit).
void ReleaseSingleInstance();

} // namespace runtime
