#include "runtime/text_file.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

namespace runtime {

namespace {

constexpr qsizetype BufferSize = 4096;

enum class Mode { Read, Write };

} // namespace

struct TextFile
{
    int fd = -1;
    Mode mode = Mode::Read;
    std::array<char, BufferSize> buffer{};
    qsizetype fill = 0;     // bytes held in buffer
    qsizetype position = 0; // next byte to read (read mode)
    int64_t unread = 0;     // bytes the reader may still take from the file
    bool failed = false;    // a write went wrong
};

namespace {

bool WriteAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, static_cast<size_t>(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}

void Flush(TextFile* file)
{
    if (file->fill > 0 && !WriteAll(file->fd, file->buffer.data(), file->fill))
        file->failed = true;
    file->fill = 0;
}

void WritePiece(TextFile* file, const char* data, qsizetype size)
{
    if (file->fill + size > BufferSize)
        Flush(file);
    if (size >= BufferSize) {
        if (!WriteAll(file->fd, data, size))
            file->failed = true;
        return;
    }
    std::copy(data, data + size, file->buffer.data() + file->fill);
    file->fill += size;
}

/// Next byte, or -1 at the end of the file (a read error counts as the end).
int ReadByte(TextFile* file)
{
    if (file->position >= file->fill) {
        const auto want = static_cast<size_t>(std::min<int64_t>(BufferSize, file->unread));
        if (want == 0)
            return -1;
        ssize_t got;
        do {
            got = ::read(file->fd, file->buffer.data(), want);
        } while (got < 0 && errno == EINTR);
        if (got <= 0)
            return -1;
        file->fill = got;
        file->position = 0;
        file->unread -= got;
    }
    return static_cast<unsigned char>(file->buffer[static_cast<size_t>(file->position++)]);
}

/// Gives back the byte just read; always possible because it is still in the buffer.
void UnreadByte(TextFile* file)
{
    --file->position;
}

TextFileHandle OpenFd(int fd, Mode mode, int64_t maxBytes)
{
    if (fd < 0)
        return nullptr;
    // Exclusive use while open: a second opener through this service fails
    // instead of seeing a half-written file.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    TextFileHandle file(new TextFile);
    file->fd = fd;
    file->mode = mode;
    file->unread = maxBytes;
    return file;
}

bool CloseFile(TextFile* file, bool durable)
{
    if (file->fd < 0)
        return !file->failed;
    if (file->mode == Mode::Write) {
        Flush(file);
        if (durable && ::fsync(file->fd) != 0)
            file->failed = true;
    }
    if (::close(file->fd) != 0 && file->mode == Mode::Write)
        file->failed = true;
    file->fd = -1;
    return !file->failed;
}

} // namespace

void TextFileCloser::operator()(TextFile* file) const
{
    CloseFile(file, false);
    delete file;
}

TextFileHandle FileCreate(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return nullptr;
    // Emptied only once the lock is held: a file another opener is using must
    // not lose its contents to a create that then fails.
    int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    TextFileHandle file = OpenFd(fd, Mode::Write, 0);
    if (file && ::ftruncate(file->fd, 0) != 0)
        return nullptr;
    return file;
}

TextFileHandle FileOpenRead(const QString& path, int64_t maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return nullptr;
    // Non-blocking, so that opening a FIFO planted at the path cannot hang;
    // then only a regular file counts (a device such as /dev/zero has no end).
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes)) {
        ::close(fd);
        return nullptr;
    }
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return OpenFd(fd, Mode::Read, maxBytes);
}

void FileWriteLine(TextFile* file, const QString& text)
{
    if (file == nullptr || file->fd < 0 || file->mode != Mode::Write)
        return;
    const QByteArray bytes = text.toUtf8();
    if (!bytes.isEmpty())
        WritePiece(file, bytes.constData(), bytes.size());
    WritePiece(file, "\r\n", 2);
}

QString FileReadLine(TextFile* file)
{
    if (file == nullptr || file->fd < 0 || file->mode != Mode::Read)
        return QString();
    QByteArray bytes;
    // Once a character does not fit, the rest of the line is read past
    // unkept, so the line stays a start of the real one.
    bool full = false;
    for (;;) {
        const int lead = ReadByte(file);
        if (lead < 0 || lead == 0 || lead == '\n')
            break;
        if (lead == '\r') {
            const int next = ReadByte(file);
            if (next >= 0 && next != '\n')
                UnreadByte(file);
            break;
        }
        int more = 0;
        if (lead < 0x80)
            more = 0;
        else if ((lead & 0xE0) == 0xC0)
            more = 1;
        else if ((lead & 0xF0) == 0xE0)
            more = 2;
        else if ((lead & 0xF8) == 0xF0)
            more = 3;
        else {
            full = full || bytes.size() + 1 > MaxLineBytes;
            if (!full)
                bytes.append('?');
            continue;
        }
        char sequence[4] = {static_cast<char>(lead), 0, 0, 0};
        bool cut = false;
        for (int k = 1; k <= more; ++k) {
            const int c = ReadByte(file);
            if (c < 0) {
                cut = true;
                break;
            }
            sequence[k] = static_cast<char>(c);
        }
        if (cut)
            break; // the file ends inside a character: as at the end of the file
        full = full || bytes.size() + more + 1 > MaxLineBytes;
        if (!full)
            bytes.append(sequence, more + 1);
    }
    // Decoded without dropping a byte-order mark: it stays U+FEFF in the line.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool FileAtEnd(TextFile* file)
{
    if (file == nullptr || file->fd < 0 || file->mode != Mode::Read)
        return true;
    if (ReadByte(file) < 0)
        return true;
    UnreadByte(file);
    return false;
}

bool FileClose(TextFileHandle& file)
{
    if (!file)
        return false;
    const bool ok = CloseFile(file.get(), false);
    file.reset();
    return ok;
}

bool FileCloseDurably(TextFileHandle& file)
{
    if (!file)
        return false;
    const bool ok = CloseFile(file.get(), true);
    file.reset();
    return ok;
}

} // namespace runtime
