#pragma once

#include "app/main_layout.h"

#include <QString>

#include <atomic>
#include <cstdint>

namespace app {

/// The layout's memory of the main window; starts with the maximised state
/// unknown so that the first layout always runs. GUI thread.
inline LayoutState MainLayoutState;

/// The x of WinkImage chosen by the last layout; read by the wink animation.
inline std::atomic<int64_t> WinkX{0};

/// Places every control from the main window's current size and records its
/// geometry in the settings. GUI thread.
void LayoutMainWindow(bool force);

/// The header row part of the layout (tab lines, filter, search button,
/// product caption). GUI thread.
void LayoutHeaderRow();

/// Right edge of the last tab of a tab control minus 6 design units, pixels.
int64_t TabStripEnd(int64_t tabs);

/// Sets the status line to " " + text; with `drainEvents`, pending events are
/// handled first. GUI thread.
void SetStatusText(const QString& text, bool drainEvents);

/// The wink animation: every 30 to 60 s the wink image blinks for 2 s. Runs
/// on its own thread until QuitRequested.
void WinkThread();

} // namespace app
