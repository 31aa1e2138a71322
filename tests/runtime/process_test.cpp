#include "runtime/process.h"

#include "support/qstring_print.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace runtime;

namespace {

/// A shell script as the child: the tests' own way to make a program that
/// writes exactly what a case needs.
Process* RunScript(const QString& script)
{
    return ProcessRun({"/bin/sh", "-c", script}, QString(), RunAll);
}

/// Gives the child time to write everything and end, so that only unread
/// output can keep it counted as running.
void LetItEnd(int ms = 300)
{
    QThread::msleep(ms);
}

/// Everything the child prints, line by line, read the way the updater reads.
QStringList ReadAll(Process* process)
{
    QStringList lines;
    while (ProcessIsRunning(process)) {
        if (ProcessOutputAvailable(process) > 0)
            lines << ProcessReadLine(process);
        else
            QThread::msleep(1);
    }
    return lines;
}

/// Whether `pid` is a zombie, ended but never reaped.
bool Zombie(qint64 pid)
{
    return !testsupport::ProcessAlive(pid) && QFileInfo::exists(QString("/proc/%1").arg(pid));
}

} // namespace

TEST(Process, ReadLineDropsCarriageReturnsAndDecodesUtf8)
{
    const struct
    {
        const char* what;
        const char* script;
        QStringList lines;
    } rows[] = {
        {"CR LF line end", "printf 'one\\r\\ntwo\\r\\n'", {"one", "two"}},
        {"CR in the middle joins the parts", "printf '10%%\\r55%%\\n'", {"10%55%"}},
        {"last line without LF", "printf 'a\\nlast'", {"a", "last"}},
        {"UTF-8 names", "printf 'Caf\\303\\251 Cr\\303\\250me \\342\\200\\246\\n'", {"Caf\u00e9 Cr\u00e8me \u2026"}},
        {"a malformed byte", "printf 'x\\377y\\n'", {"x\ufffdy"}},
        {"an empty line", "printf '\\n'", {""}},
        {"other control characters become blanks", "printf 'a\\tb\\033c\\n'", {"a b c"}},
    };
    for (const auto& r : rows) {
        Process* process = RunScript(r.script);
        ASSERT_NE(process, nullptr) << r.what;
        EXPECT_EQ(ReadAll(process), r.lines) << r.what;
        ProcessClose(process);
    }
}

TEST(Process, ALineLongerThanTheLimitComesInPiecesOfWholeCharacters)
{
    const struct
    {
        const char* what;
        const char* script;
        QString text; // the pieces joined
    } rows[] = {
        {"plain bytes", "head -c 2500000 /dev/zero | tr '\\0' x; echo", QString(2500000, u'x')},
        {"two-byte characters across the cuts", R"(perl -e 'print "a", "\xc3\xa9" x 1500000, "\n"')",
         u'a' + QString(1500000, u'\u00e9')},
    };
    for (const auto& r : rows) {
        Process* process = RunScript(r.script);
        ASSERT_NE(process, nullptr) << r.what;
        const QStringList pieces = ReadAll(process);
        ProcessClose(process);
        EXPECT_GT(pieces.size(), 1) << r.what;
        for (const QString& piece : pieces)
            EXPECT_LE(piece.toUtf8().size(), ProcessLineLimit) << r.what;
        EXPECT_EQ(pieces.join(QString()), r.text) << r.what;
    }
}

TEST(Process, EndingAsksFirstThenKillsTheWholeGroupAndKeepsTheStatus)
{
    const struct
    {
        const char* what;
        const char* script;
        int status;
    } rows[] = {
        {"a tool that stops cleanly when asked", "trap 'exit 3' TERM; sleep 60 & echo $!; wait", 3},
        {"a tool that ignores the request", "trap '' TERM; sleep 60 & echo $!; while :; do wait; done", -1},
    };
    for (const auto& r : rows) {
        Process* process = RunScript(r.script);
        ASSERT_NE(process, nullptr) << r.what;
        const qint64 helper = ProcessReadLine(process).toLongLong();
        ASSERT_TRUE(testsupport::ProcessAlive(helper)) << r.what;
        EXPECT_EQ(ProcessExitStatus(process), -1) << r.what << ": still running";
        QElapsedTimer timer;
        timer.start();
        ProcessEnd(process, 2000);
        EXPECT_LT(timer.elapsed(), 10000) << r.what;
        EXPECT_FALSE(ProcessIsRunning(process)) << r.what;
        EXPECT_EQ(ProcessExitStatus(process), r.status) << r.what;
        for (int i = 0; i < 500 && testsupport::ProcessAlive(helper); ++i)
            QThread::msleep(10);
        EXPECT_FALSE(testsupport::ProcessAlive(helper)) << r.what << ": what the tool started outlived it";
        ProcessClose(process);
    }
}

TEST(Process, AClosedChildIsReapedOnceItEnds)
{
    Process* process = RunScript("echo $$; exec sleep 0.2");
    ASSERT_NE(process, nullptr);
    const qint64 pid = ProcessReadLine(process).toLongLong();
    ProcessClose(process);
    QThread::msleep(600);
    // The next child the program starts or closes reaps it.
    Process* next = ProcessRun({"/bin/true"}, QString(), RunAll);
    ASSERT_NE(next, nullptr);
    ProcessClose(next);
    EXPECT_FALSE(Zombie(pid));
    EXPECT_FALSE(testsupport::ProcessAlive(pid));
}

TEST(Process, RunsWhileOutputWaitsAfterTheExit)
{
    Process* process = RunScript("for i in 1 2 3 4 5 6 7 8 9 10; do echo line$i; done");
    ASSERT_NE(process, nullptr);
    LetItEnd();
    for (int i = 1; i <= 10; ++i) {
        ASSERT_TRUE(ProcessIsRunning(process)) << "with line " << i << " unread";
        EXPECT_EQ(ProcessReadLine(process), QString("line%1").arg(i));
    }
    EXPECT_FALSE(ProcessIsRunning(process));
    EXPECT_EQ(ProcessOutputAvailable(process), 0u);
    ProcessClose(process);
}

TEST(Process, ErrorLinesComeOnePerCallFromWhatWaits)
{
    Process* process = RunScript("printf 'e1\\ne2\\n' >&2; sleep 0.5");
    ASSERT_NE(process, nullptr);
    LetItEnd(200);
    EXPECT_EQ(ProcessReadErrorLine(process), "e1");
    EXPECT_EQ(ProcessReadErrorLine(process), "e2");
    EXPECT_EQ(ProcessReadErrorLine(process), "") << "nothing waits: empty at once";
    ProcessClose(process);
}

TEST(Process, StartsFromAnArgumentVectorQuotedOrNot)
{
    EXPECT_EQ(ProcessCommandLine("/opt/z/pm", "list"), "\"/opt/z/pm\" list");
    EXPECT_EQ(ProcessCommandLine("\"/opt/z/pm\"", "list"), "\"/opt/z/pm\" list") << "not quoted again";
    EXPECT_EQ(ProcessCommandLine("/opt/z/pm", ""), "\"/opt/z/pm\"");

    for (const QString& program : {QString("/bin/echo"), QString("\"/bin/echo\""), QString("echo")}) {
        Process* process = ProcessRun({program, "a b", "$(id) `id` ;&|"}, QString(), RunAll);
        ASSERT_NE(process, nullptr) << program.toStdString();
        EXPECT_EQ(ReadAll(process), QStringList{"a b $(id) `id` ;&|"}) << program.toStdString();
        ProcessClose(process);
    }
    EXPECT_EQ(ProcessRun({"/nonexistent/program"}, QString(), RunAll), nullptr);
    EXPECT_EQ(ProcessRun({}, QString(), RunAll), nullptr);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Process* process = ProcessRun({"/bin/pwd"}, dir.path(), RunAll);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(ReadAll(process), QStringList{QFileInfo(dir.path()).canonicalFilePath()}) << "working directory";
    ProcessClose(process);
}

TEST(Process, WritesReachTheChildAndAClosedInputIsHarmless)
{
    Process* echo = RunScript("head -n 1");
    ASSERT_NE(echo, nullptr);
    ProcessWrite(echo, "y\r\n");
    EXPECT_EQ(ReadAll(echo), QStringList{"y"}) << "written as is, CR included";
    ProcessClose(echo);

    // The child closes its input; writing to it then must neither end this
    // program with SIGPIPE nor leave the signal pending.
    Process* deaf = RunScript("exec 0<&-; echo closed; sleep 0.3");
    ASSERT_NE(deaf, nullptr);
    EXPECT_EQ(ProcessReadLine(deaf), "closed");
    ProcessWrite(deaf, QString(100000, u'y'));
    ProcessWrite(deaf, "y\r\n");
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
    ReadAll(deaf);
    ProcessClose(deaf);

    // The child stops reading in the middle of a write bigger than the pipe:
    // the write gets part of its bytes through, and SIGPIPE comes all the same.
    Process* brief = RunScript("head -c 10 >/dev/null; echo read");
    ASSERT_NE(brief, nullptr);
    ProcessWrite(brief, QString(1 << 20, u'y'));
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
    EXPECT_EQ(ReadAll(brief), QStringList{"read"});
    ProcessClose(brief);
}

TEST(Process, CloseLeavesTheChildRunningAndKillEndsIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString mark = dir.filePath("still-ran");
    Process* process = RunScript("sleep 0.3; : > '" + mark + "'");
    ASSERT_NE(process, nullptr);
    ProcessClose(process);
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(mark) && timer.elapsed() < 10000)
        QThread::msleep(10);
    EXPECT_TRUE(QFileInfo::exists(mark));

    Process* sleeper = ProcessRun({"/bin/sleep", "60"}, QString(), RunAll);
    ASSERT_NE(sleeper, nullptr);
    EXPECT_TRUE(ProcessIsRunning(sleeper));
    ProcessKill(sleeper);
    EXPECT_FALSE(ProcessIsRunning(sleeper));
    ProcessClose(sleeper);
}

TEST(Process, EnvironmentValuesAsTheyAre)
{
    qputenv("ZORVANE_TEST_VALUE", "Caf\xc3\xa9 1");
    EXPECT_EQ(GetEnvironmentValue("ZORVANE_TEST_VALUE"), "Caf\u00e9 1");
    EXPECT_EQ(GetEnvironmentValue("zorvane_test_value"), "") << "names are case-sensitive";
    qunsetenv("ZORVANE_TEST_VALUE");
    EXPECT_EQ(GetEnvironmentValue("ZORVANE_TEST_VALUE"), "");
}
