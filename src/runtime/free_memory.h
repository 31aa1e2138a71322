#pragma once

namespace runtime {

/// Gives the heap's free pages back to the system. The C library keeps
/// freed memory for reuse, in the main heap and in every thread's arena, so
/// after a burst of work (a refresh, a package manager run) the program would
/// otherwise stay as large as at its peak. Takes a few milliseconds at most.
/// Any thread.
void ReturnFreeMemory();

} // namespace runtime
