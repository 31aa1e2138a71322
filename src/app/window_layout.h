#pragma once

#include <QString>

#include <cstdint>

namespace app {

/// Places every control from the main window's current size and records its
/// geometry in the settings. GUI thread.
void LayoutMainWindow(bool force);

/// The header row part of the layout (tab lines, filter, search button,
/// product caption). GUI thread.
void LayoutHeaderRow();

/// Right edge of the last tab of a tab control minus 6 design units, pixels.
int64_t TabStripEnd(int64_t tabs);

} // namespace app
