#pragma once

#include <cstdint>

class QWidget;

namespace ui {

// What a screen reader is told about the program's own widgets beyond their
// names: image controls are push buttons with a press action, the program's
// windows are frames and dialogs (not anonymous fillers), and a control marked
// as the status bar says so. Internal to the toolkit layer, except the mark.

/// Makes Qt ask the toolkit layer for the accessible interfaces of its
/// widgets. Idempotent. GUI thread.
void InstallAccessibility();

/// Tells screen readers that control `number` is the window's status bar, so
/// that they announce what it shows when it changes. GUI thread or any thread
/// (carried to the GUI thread).
void MarkAsStatusBar(int64_t number);

/// Whether the label is marked as the status bar.
bool IsStatusBar(const QWidget* widget);

} // namespace ui
