#pragma once

#include <QString>

#include <cstdint>
#include <limits>
#include <memory>

namespace runtime {

/// One open text file: UTF-8 without a byte-order mark, lines written with
/// CR LF, read with CR LF, LF or a lone CR. Owned by the caller until
/// FileClose; the destructor closes it too, so an early return leaks nothing.
struct TextFile;
struct TextFileCloser
{
    void operator()(TextFile* file) const;
};
using TextFileHandle = std::unique_ptr<TextFile, TextFileCloser>;

/// Longest line FileReadLine returns, in UTF-8 bytes: a file without line
/// ends must not become one string as large as itself.
inline constexpr qsizetype MaxLineBytes = 64 * 1024;

/// Creates the file for writing, or empties an existing one. Null on failure.
TextFileHandle FileCreate(const QString& path);

/// Opens an existing regular file for reading. Null when it is missing, not a
/// regular file, larger than `maxBytes`, or locked by another opener of this
/// service. Reading ends after `maxBytes` even if the file grows meanwhile.
TextFileHandle FileOpenRead(const QString& path, int64_t maxBytes = std::numeric_limits<int64_t>::max());

/// Writes `text` as UTF-8 followed by CR LF. Does nothing on a read handle or
/// a null handle. Write errors are not reported (see FileClose).
void FileWriteLine(TextFile* file, const QString& text);

/// The next line without its line end; invalid UTF-8 decodes to U+FFFD, a
/// stray lead byte to "?". A longer line than MaxLineBytes is cut before the
/// first character that would cross it and the rest of it skipped. Empty at
/// the end of the file or on a null handle.
QString FileReadLine(TextFile* file);

/// True when no byte is left to read (or the handle is null or for writing).
bool FileAtEnd(TextFile* file);

/// Writes out what is buffered and closes the file; resets the handle.
/// Returns false when any write since FileCreate failed (callers that must
/// not lose data check it; others ignore it).
bool FileClose(TextFileHandle& file);

/// Like FileClose, but also forces the data to the disk first, for a file that
/// is about to replace another one.
bool FileCloseDurably(TextFileHandle& file);

} // namespace runtime
