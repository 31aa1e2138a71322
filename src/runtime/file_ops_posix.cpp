#include "runtime/file_ops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

/// "*" matches any run of characters, "?" exactly one; nothing else is special.
bool WildcardMatches(QStringView name, QStringView pattern)
{
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
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
    if (force && !S_ISLNK(st.st_mode) && IsReadOnly(st))
        ::chmod(name.constData(), (st.st_mode & 07777) | S_IWUSR);
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

} // namespace runtime
