#pragma once

#include "ui/images.h"

#include <QString>

#include <optional>

namespace app {

/// Shows the small refreshing window centred over a visible main window
/// (which it disables) with `text` and `icon` (the refresh icon when none);
/// an empty text hides it and enables the main window again. GUI thread.
void ShowRefreshingWindow(const QString& text, std::optional<ui::ImageId> icon = std::nullopt);

} // namespace app
