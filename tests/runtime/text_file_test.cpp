#include "runtime/text_file.h"

#include "support/test_files.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace runtime;

namespace {

QStringList ReadAllLines(const QString& path)
{
    TextFileHandle file = FileOpenRead(path);
    EXPECT_TRUE(file);
    QStringList lines;
    while (!FileAtEnd(file.get()))
        lines << FileReadLine(file.get());
    EXPECT_TRUE(FileReadLine(file.get()).isEmpty()); // at the end: empty text
    FileClose(file);
    return lines;
}

} // namespace

TEST(TextFile, ReadsLinesByTheLineEndAndEncodingRules)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        QStringList lines;
    } rows[] = {
        {"empty file", QByteArray(), {}},
        {"CR, LF and none at the end", QByteArray("x\ry\nz"), {"x", "y", "z"}},
        {"CR LF is one line end", QByteArray("a\r\nb\r\n"), {"a", "b"}},
        {"LF CR is two line ends", QByteArray("a\n\rb"), {"a", "", "b"}},
        {"blank lines kept", QByteArray("\r\n\r\nx"), {"", "", "x"}},
        {"a zero byte ends a line", QByteArray("ab\0cd", 5), {"ab", "cd"}},
        {"BOM kept as U+FEFF", QByteArray("\xEF\xBB\xBFkey"), {QString(QChar(0xFEFF)) + "key"}},
        {"two-byte character", QByteArray("caf\xC3\xA9"), {QString::fromUtf8("caf\u00e9")}},
        {"four-byte character", QByteArray("\xF0\x9F\x98\x80!"), {QString::fromUtf8("\U0001F600!")}},
        {"stray continuation byte reads as ?",
         QByteArray("a\x80"
                    "b"),
         {"a?b"}},
        {"0xF8 and above read as ?", QByteArray("\xF8\xFF"), {"??"}},
        {"lead byte with a bad follower decodes to U+FFFD",
         QByteArray("\xC3"
                    "A"
                    "b"),
         {QString(QChar(0xFFFD)) + "Ab"}},
        {"character cut by the end of the file", QByteArray("ok\r\nab\xE2\x82"), {"ok", "ab"}},
        {"CR as the last byte", QByteArray("a\r"), {"a"}},
    };
    QTemporaryDir dir;
    for (const auto& r : rows) {
        const QString path = dir.filePath("f.txt");
        testsupport::WriteBytes(path, r.bytes);
        EXPECT_EQ(ReadAllLines(path), r.lines) << r.name;
    }
}

TEST(TextFile, LinesAcrossTheBufferBoundaryStayWhole)
{
    // A CR LF pair and a multi-byte character split across the 4096-byte
    // buffer refill must read as if the buffer were not there.
    QTemporaryDir dir;
    const QString path = dir.filePath("big.txt");
    QByteArray bytes(4095, 'a');
    bytes += "\r\n";
    bytes += QByteArray(4094, 'b');
    bytes += "\xC3\xA9\r\nend";
    testsupport::WriteBytes(path, bytes);
    const QStringList lines = ReadAllLines(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QString(4095, u'a'));
    EXPECT_EQ(lines[1], QString(4094, u'b') + QChar(0xE9));
    EXPECT_EQ(lines[2], "end");
}

TEST(TextFile, ALineIsCutAtTheCapAndItsRestSkipped)
{
    // A character that would cross the cap is left out whole.
    QTemporaryDir dir;
    const QString path = dir.filePath("endless.txt");
    testsupport::WriteBytes(path, QByteArray(MaxLineBytes - 1, 'a') + "\xC3\xA9" + QByteArray(5000, 'b') + "\nnext");
    const QStringList lines = ReadAllLines(path);
    // Compared whole, reported by length: a failure must not print 64 KiB.
    EXPECT_TRUE(lines == (QStringList{QString(MaxLineBytes - 1, u'a'), "next"}))
        << lines.size() << " lines, the first " << lines.value(0).size() << " characters long";
}

TEST(TextFile, WritesUtf8LinesWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    testsupport::WriteBytes(path, "old content that must go away");

    TextFileHandle file = FileCreate(path);
    ASSERT_TRUE(file);
    FileWriteLine(file.get(), "a");
    FileWriteLine(file.get(), QString::fromUtf8("\u00e9"));
    FileWriteLine(file.get(), QString());
    EXPECT_TRUE(FileClose(file));
    EXPECT_FALSE(file);
    EXPECT_EQ(testsupport::ReadBytes(path), QByteArray("a\r\n\xC3\xA9\r\n\r\n"));
}

TEST(TextFile, LongLinesPassThroughTheBufferIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.txt");
    const QString small(3000, u'x');
    const QString large(10000, u'y'); // larger than the buffer: written directly
    TextFileHandle file = FileCreate(path);
    ASSERT_TRUE(file);
    FileWriteLine(file.get(), small);
    FileWriteLine(file.get(), large);
    FileWriteLine(file.get(), small);
    ASSERT_TRUE(FileClose(file));
    EXPECT_EQ(ReadAllLines(path), (QStringList{small, large, small}));
}

TEST(TextFile, MisuseIsHarmless)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("r.txt");
    testsupport::WriteBytes(path, "line\r\n");

    EXPECT_FALSE(FileOpenRead(dir.filePath("missing.txt")));
    EXPECT_FALSE(FileOpenRead(QString()));
    EXPECT_FALSE(FileCreate(dir.filePath("no/such/folder/x.txt")));

    TextFileHandle reader = FileOpenRead(path);
    ASSERT_TRUE(reader);
    FileWriteLine(reader.get(), "ignored"); // writing to a read handle does nothing
    // A second opener is refused while the first holds the file.
    EXPECT_FALSE(FileOpenRead(path));
    EXPECT_EQ(FileReadLine(reader.get()), "line");
    FileClose(reader);
    EXPECT_EQ(testsupport::ReadBytes(path), QByteArray("line\r\n"));

    EXPECT_TRUE(FileAtEnd(nullptr));
    EXPECT_TRUE(FileReadLine(nullptr).isEmpty());
    FileWriteLine(nullptr, "x");
    TextFileHandle none;
    EXPECT_FALSE(FileClose(none));
}

TEST(TextFile, OnlyRegularFilesAreReadAndAHeldFileIsNotEmptied)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct
    {
        const char* what;
        QString path;
    } notFiles[] = {
        {"a FIFO would block the opener for ever", fifo},
        {"a device never reaches its end", QStringLiteral("/dev/zero")},
        {"a folder", dir.path()},
    };
    for (const auto& r : notFiles)
        EXPECT_FALSE(FileOpenRead(r.path)) << r.what;

    const QString path = dir.filePath("held.txt");
    testsupport::WriteBytes(path, "keep me\r\n");
    TextFileHandle reader = FileOpenRead(path);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(FileCreate(path)) << "created while another opener holds it";
    EXPECT_EQ(testsupport::ReadBytes(path), QByteArray("keep me\r\n")) << "emptied by the failed create";
}
