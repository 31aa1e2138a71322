#pragma once

namespace runtime {

/// Ends the process at once with `exitCode`. Standard output and error are
/// flushed; no exit handler runs and no global object is destroyed, so
/// workers still at work (a download, a control call waiting for the GUI
/// thread) are neither waited for nor left running into a half torn-down
/// process. Write and close files before calling. Any thread.
[[noreturn]] void EndProcess(int exitCode);

} // namespace runtime
