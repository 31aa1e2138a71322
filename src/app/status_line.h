#pragma once

#include <QString>

namespace app {

/// Sets the status line to " " + text; with `drainEvents`, pending events are
/// handled first. GUI thread.
void SetStatusText(const QString& text, bool drainEvents);

} // namespace app
