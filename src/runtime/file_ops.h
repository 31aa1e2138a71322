#pragma once

#include <QString>

#include <cstdint>

namespace runtime {

/// Deletes one file. With `force`, a read-only file is made writable first
/// (the Linux form of clearing the read-only, hidden and system attributes).
/// False when nothing was deleted.
bool FileDelete(const QString& path, bool force);

/// Size in bytes; -1 when nothing exists at the path or the path is empty;
/// -2 for a folder. Trailing separators are ignored.
int64_t FileSize(const QString& path);

/// Deletes the files directly in `directory` whose names match the wildcard
/// `pattern` ("*" any run, "?" one character). Sub-folders and read-only files
/// (no owner write permission) are left alone.
void DeleteMatchingFiles(const QString& directory, const QString& pattern);

/// Whether files can be created in the folder `path`: access() allows it and
/// its permission bits let someone write (root passes access() even for a
/// folder that nobody may write). False for a missing folder or a file.
bool FolderWritable(const QString& path);

/// The user's temporary folder, resolved, ending with "/".
QString TempDirectory();

/// The text up to and including the last "/" or "\"; a leading double quote is
/// skipped and scanning stops at the first "|". Empty without a separator.
QString PathPart(const QString& path);

/// `path` with "/" appended when it does not already end with one.
QString WithTrailingSlash(const QString& path);

} // namespace runtime
