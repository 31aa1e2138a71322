#pragma once

#include <QString>

#include <functional>

namespace runtime {

/// Makes sure one instance runs per user. Returns true for the first
/// instance: it now holds the lock and listens for activations, which call
/// `onActivate` on the GUI thread while it pumps events, but only once
/// GuiReady is 1 (earlier ones are dropped). Returns false for a second
/// instance: it has sent one activation to the first and waited 500 ms; the
/// caller then ends the process with exit code 0 without touching any file.
/// A lock left behind by a crashed instance is taken over. The lock and the
/// socket live in PrivateRuntimeFolder(); without one, every instance is a
/// first one. GUI thread.
bool ClaimSingleInstance(const QString& name, std::function<void()> onActivate);

/// Releases the lock and stops listening (also done at process exit).
void ReleaseSingleInstance();

} // namespace runtime
