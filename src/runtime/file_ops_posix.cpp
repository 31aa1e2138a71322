#include "runtime/file_ops.h"

#include "runtime/wildcard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace runtime {

namespace {

bool IsReadOnly(const struct stat& st)
{
    // Permission bits, not access(): the program may run as root, for whom
    // access() reports every file writable.
    return (st.st_mode & S_IWUSR) == 0;
}

} // namespace

bool FileDelete(const QString& path, bool force)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return false;
    struct stat st
    {
    };
    if (::lstat(name.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (!S_ISLNK(st.st_mode) && IsReadOnly(st)) {
        if (!force)
            return false; // a read-only file is kept unless deleting it is forced
        ::chmod(name.constData(), (st.st_mode & 07777) | S_IWUSR);
    }
    return ::unlink(name.constData()) == 0;
}

int64_t FileSize(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && (trimmed.endsWith(u'/') || trimmed.endsWith(u'\\')))
        trimmed.chop(1);
    const QByteArray name = QFile::encodeName(trimmed);
    if (name.isEmpty())
        return -1;
    struct stat st
    {
    };
    if (::stat(name.constData(), &st) != 0)
        return -1;
    if (S_ISDIR(st.st_mode))
        return -2;
    return static_cast<int64_t>(st.st_size);
}

void DeleteMatchingFiles(const QString& directory, const QString& pattern)
{
    const QDir dir(directory);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& fileName : names) {
        if (!WildcardMatches(fileName, pattern))
            continue;
        const QByteArray name = QFile::encodeName(dir.filePath(fileName));
        struct stat st
        {
        };
        if (::lstat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode) || IsReadOnly(st))
            continue;
        ::unlink(name.constData());
    }
}

bool FolderWritable(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (name.isEmpty() || ::stat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(name.constData(), W_OK) == 0;
}

QString TempDirectory()
{
    const QString temp = QDir::tempPath();
    const QString resolved = QFileInfo(temp).canonicalFilePath();
    return WithTrailingSlash(resolved.isEmpty() ? temp : resolved);
}

QString PrivateFolder(const QString& parent, const QString& name)
{
    const QString folder = WithTrailingSlash(parent) + name;
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return IsPrivateFolder(folder) ? folder + u'/' : QString();
}

bool IsPrivateFolder(const QString& folder)
{
    // lstat: a link planted under the name is not a folder of ours.
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

bool IsOwnFile(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid();
}

QString PathPart(const QString& path)
{
    qsizetype begin = path.startsWith(u'"') ? 1 : 0;
    qsizetype lastSeparator = -1;
    for (qsizetype i = begin; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c == u'|')
            break;
        if (c == u'/' || c == u'\\')
            lastSeparator = i;
    }
    if (lastSeparator < 0)
        return QString();
    return path.mid(begin, lastSeparator - begin + 1);
}

QString WithTrailingSlash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

namespace {

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

/// Makes a completed rename survive a power loss. Best effort.
void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool ReplaceFile(const QString& path, const QByteArray& bytes)
{
    // A file that is a link (a dotfiles folder) stays one: the file it points
    // to is the one replaced, so the link keeps getting the updates.
    QString resolved = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        resolved = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    const QString folder = QFileInfo(resolved).absolutePath();
    QDir().mkpath(folder);
    const QByteArray target = QFile::encodeName(resolved);
    // The new file gets the old one's permissions; a read-only one is the
    // user's wish that it not be written, so it stays as it is.
    mode_t mode = 0644;
    struct stat st
    {
    };
    if (::stat(target.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || IsReadOnly(st))
            return false;
        mode = st.st_mode & 07777;
    }
    const QByteArray temporary = target + ".tmp";
    ::unlink(temporary.constData());
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    // Only a complete file may replace the old one.
    if (!written || !closed || std::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    SyncFolder(folder);
    return true;
}

} // namespace runtime
