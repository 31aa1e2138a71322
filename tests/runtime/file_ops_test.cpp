#include "runtime/file_ops.h"

#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace runtime;

TEST(FileOps, FileSizeTellsFilesFoldersAndNothing)
{
    QTemporaryDir dir;
    testsupport::WriteBytes(dir.filePath("five"), "12345");
    testsupport::WriteBytes(dir.filePath("zero"), "");
    const struct
    {
        QString path;
        int64_t size;
    } rows[] = {
        {dir.filePath("five"), 5},
        {dir.filePath("zero"), 0},
        {dir.filePath("missing"), -1},
        {QString(), -1},
        {dir.path(), -2},
        {dir.path() + "/", -2}, // trailing separators ignored
        {dir.path() + "//", -2},
        {"/", -2},
        {dir.filePath("five") + "/", 5},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FileSize(r.path), r.size) << r.path.toStdString();
}

TEST(FileOps, FileDeleteForcesOnlyWhenAsked)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain");
    const QString locked = dir.filePath("locked");
    testsupport::WriteBytes(plain, "x");
    testsupport::WriteBytes(locked, "x");
    QFile::setPermissions(locked, QFileDevice::ReadOwner);

    EXPECT_TRUE(FileDelete(plain, false));
    EXPECT_FALSE(QFileInfo::exists(plain));
    EXPECT_FALSE(FileDelete(plain, true)); // already gone
    EXPECT_FALSE(FileDelete(locked, false)) << "a read-only file deleted without force";
    EXPECT_TRUE(QFileInfo::exists(locked));
    EXPECT_TRUE(FileDelete(locked, true));
    EXPECT_FALSE(QFileInfo::exists(locked));
    EXPECT_FALSE(FileDelete(dir.path(), true)); // never a folder
    EXPECT_FALSE(FileDelete(QString(), true));
}

TEST(FileOps, DeleteMatchingFilesKeepsFoldersReadOnlyFilesAndOtherNames)
{
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    for (const char* name : {"a.log", "b.LOG", "c.log.txt", "x.log", "keep.txt", ".hidden.log", "log"})
        testsupport::WriteBytes(d + name, "x");
    QFile::setPermissions(d + "x.log", QFileDevice::ReadOwner | QFileDevice::ReadUser);
    QDir(d).mkdir("sub.log");
    QDir(d).mkdir("sub");
    testsupport::WriteBytes(d + "sub/inner.log", "x");

    DeleteMatchingFiles(d, "*.log");

    const struct
    {
        const char* name;
        bool remains;
    } rows[] = {
        {"a.log", false},        {".hidden.log", false},
        {"b.LOG", true},     // names compare exactly, as on a case-sensitive file system
        {"c.log.txt", true}, // the pattern covers the whole name
        {"x.log", true},     // read-only: left alone
        {"keep.txt", true},      {"log", true},
        {"sub.log", true}, // folders are never deleted
        {"sub/inner.log", true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(QFileInfo::exists(d + r.name), r.remains) << r.name;
}

TEST(FileOps, WildcardsMatchRunsAndSingleCharacters)
{
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    for (const char* name : {"ab", "abc", "abcd", "xbc", "a*c"})
        testsupport::WriteBytes(d + name, "x");
    DeleteMatchingFiles(d, "a?c");
    EXPECT_FALSE(QFileInfo::exists(d + "abc"));
    EXPECT_FALSE(QFileInfo::exists(d + "a*c"));
    EXPECT_TRUE(QFileInfo::exists(d + "ab"));
    EXPECT_TRUE(QFileInfo::exists(d + "abcd"));
    DeleteMatchingFiles(d, "*b*");
    EXPECT_FALSE(QFileInfo::exists(d + "ab"));
    EXPECT_FALSE(QFileInfo::exists(d + "abcd"));
    EXPECT_FALSE(QFileInfo::exists(d + "xbc"));
}

TEST(FileOps, PathPartCutsAtTheLastSeparator)
{
    const struct
    {
        const char* path;
        const char* part;
    } rows[] = {
        {"/opt/zorvane/zorvane", "/opt/zorvane/"},
        {"C:\\Apps\\z.exe", "C:\\Apps\\"},
        {"\"/opt/z/app\" --flag", "/opt/z/"}, // leading quote skipped
        {"/a/b|/c/d", "/a/"},                 // scanning stops at "|"
        {"name-only", ""},
        {"", ""},
        {"/", "/"},
        {"mixed/dir\\file", "mixed/dir\\"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PathPart(r.path), r.part) << r.path;
}

TEST(FileOps, FolderWritableHonoursThePermissionBitsEvenForRoot)
{
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    ASSERT_TRUE(QDir(d).mkdir("open"));
    ASSERT_TRUE(QDir(d).mkdir("locked"));
    ASSERT_TRUE(QFile::setPermissions(d + "locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                        QFileDevice::ReadOther | QFileDevice::ExeOther));
    testsupport::WriteBytes(d + "file", "x");
    const struct
    {
        QString path;
        bool writable;
    } rows[] = {
        {d + "open", true},     // a fresh folder of the user's
        {d + "open/", true},    // with the trailing separator of runtime::ProgramDir
        {d + "locked", false},  // r-x for everyone: root's access() would say yes
        {d + "file", false},    // not a folder
        {d + "missing", false}, // nothing there
        {QString(), false},     // no path
    };
    for (const auto& r : rows)
        EXPECT_EQ(FolderWritable(r.path), r.writable) << r.path.toStdString();
}

TEST(FileOps, TempDirectoryEndsWithASeparatorAndExists)
{
    const QString temp = TempDirectory();
    EXPECT_TRUE(temp.endsWith('/'));
    EXPECT_EQ(FileSize(temp), -2);
}

TEST(FileOps, ReplaceFileIsWholeAndNeverWritesThroughAPlantedLink)
{
    QTemporaryDir dir;
    // "|" is an ordinary character in a Linux name, not where a path ends.
    const QString inPipeFolder = dir.filePath("a|b/settings.ini");
    EXPECT_TRUE(ReplaceFile(inPipeFolder, "first")) << "the missing folder named with a | is made";
    const QString path = dir.filePath("sub/settings.ini");
    ASSERT_TRUE(ReplaceFile(path, "first")) << "the missing folder is made";
    ASSERT_TRUE(ReplaceFile(path, "second"));
    EXPECT_EQ(testsupport::ReadBytes(path), "second");

    // Another user's file behind a link planted under the temporary name.
    const QString victim = dir.filePath("victim");
    testsupport::WriteBytes(victim, "keep");
    ASSERT_TRUE(QFile::link(victim, path + ".tmp"));
    EXPECT_TRUE(ReplaceFile(path, "third"));
    EXPECT_EQ(testsupport::ReadBytes(victim), "keep") << "written through the link";
    EXPECT_EQ(testsupport::ReadBytes(path), "third");
    EXPECT_FALSE(QFileInfo::exists(path + ".tmp"));
}

TEST(FileOps, ReplaceFileKeepsWhatTheUserSetUp)
{
    QTemporaryDir dir;
    // A settings file linked from a dotfiles folder stays linked.
    const QString real = dir.filePath("dotfiles/settings.ini");
    const QString link = dir.filePath("settings.ini");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("dotfiles")));
    testsupport::WriteBytes(real, "old");
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(ReplaceFile(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link became a plain file";
    EXPECT_EQ(testsupport::ReadBytes(real), "new");

    // A private file stays private.
    QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(ReplaceFile(real, "newer"));
    EXPECT_FALSE(QFile::permissions(real) & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
        << "others can read the new file";

    // A read-only file is not written: the save fails and changes nothing.
    QFile::setPermissions(real, QFileDevice::ReadOwner);
    EXPECT_FALSE(ReplaceFile(real, "lost"));
    EXPECT_EQ(testsupport::ReadBytes(real), "newer");
}

TEST(FileOps, PrivateFolderIsTheUsersAlone)
{
    QTemporaryDir dir;
    const QString made = PrivateFolder(dir.path(), "mine");
    ASSERT_EQ(made, dir.path() + "/mine/");
    EXPECT_EQ(QFile::permissions(made) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    EXPECT_EQ(PrivateFolder(dir.path(), "mine"), made) << "found again";

    ASSERT_TRUE(QFile::link(made, dir.filePath("planted")));
    EXPECT_TRUE(PrivateFolder(dir.path(), "planted").isEmpty()) << "a link is followed";
    ASSERT_TRUE(QDir().mkpath(dir.filePath("open")));
    QFile::setPermissions(dir.filePath("open"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                    QFileDevice::ExeOther);
    EXPECT_TRUE(PrivateFolder(dir.path(), "open").isEmpty()) << "others can enter it";
}
