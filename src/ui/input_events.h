#pragma once

#include <cstdint>
#include <initializer_list>

namespace ui {

// Keyboard and mouse input as the main loop sees it: key presses become
// EvKeyDown notifications carrying the classic virtual-key number, mouse
// moves EvMouseMove, both in order, one per WaitEvent call.

constexpr int VkEnter = 13;
constexpr int VkShift = 16;
constexpr int VkControl = 17;
constexpr int VkEscape = 27;
constexpr int VkA = 65;
constexpr int VkF5 = 116;
constexpr int VkF12 = 122;

/// The virtual-key number of a Qt key code; 0 for keys without one.
int VirtualKeyOf(int qtKey);

/// Installs the application-wide filter. Enter and Escape pressed in the
/// windows listed in `shortcutWindows` are kept from the focused control
/// (no default-button action) and reported only as key presses. GUI thread.
void InstallInputFilter(const int64_t* shortcutWindows, int count);

/// Whether a key is held down now, from the filter's press and release
/// bookkeeping (Enter, Escape, F-keys) or the keyboard modifiers (Shift 16,
/// Control 17). Any thread.
bool KeyHeld(int virtualKey);

/// How long a wait for a key release lasts at most.
constexpr int64_t KeyReleaseWaitMs = 5000;

/// Pumps events (WaitEvent) while every key of `keys` is held, for at most
/// `capMs`: a release lost to a focus change must not hang the program. What
/// arrives meanwhile stays queued. GUI thread.
void WaitWhileHeld(std::initializer_list<int> keys, int64_t capMs);

} // namespace ui
