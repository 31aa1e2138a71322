#pragma once

#include <QString>

namespace packagesbridge {

/// The name menus show for the desktop entry `text` (a .desktop file): the
/// untranslated Name of its [Desktop Entry] group; empty when it has none or
/// menus hide it (NoDisplay or Hidden true). Pure.
QString ShownDesktopName(const QString& text);

} // namespace packagesbridge
