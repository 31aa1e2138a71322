#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace runtime {

/// Deletes one file. With `force`, a read-only file is made writable first
/// (the Linux form of clearing the read-only, hidden and system attributes).
/// False when nothing was deleted.
bool FileDelete(const QString& path, bool force);

/// Replaces the file at `path` whole or not at all: writes `bytes` to a
/// ".tmp" file beside it (a stale one, or a link planted under that name, is
/// removed first, never written through), forces them to the disk, renames
/// the result over the old file and syncs the folder, which is created when
/// missing. A link at `path` stays a link: the file it points to is
/// replaced. The new file keeps the old one's permissions. False on any
/// failure, and for a read-only file, which is left as it was.
bool ReplaceFile(const QString& path, const QByteArray& bytes);

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

/// The folder `name` in `parent`, made for the user alone (mode 0700) when
/// missing, ending with "/"; empty when what is there is not such a folder
/// of the user's own (IsPrivateFolder).
QString PrivateFolder(const QString& parent, const QString& name);

/// Whether `folder` itself (a link is not followed) is a folder owned by the
/// user that no one else may enter, read or write.
bool IsPrivateFolder(const QString& folder);

/// Whether `path` itself (a link is not followed) is a regular file owned by
/// the user.
bool IsOwnFile(const QString& path);

/// The text up to and including the last "/" or "\"; a leading double quote is
/// skipped and scanning stops at the first "|". Empty without a separator.
/// A rule for a program's command-line text, not for a path on disk: "|" and
/// "\" are ordinary characters in a Linux name (QFileInfo gives a folder).
QString PathPart(const QString& path);

/// `path` with "/" appended when it does not already end with one.
QString WithTrailingSlash(const QString& path);

} // namespace runtime
