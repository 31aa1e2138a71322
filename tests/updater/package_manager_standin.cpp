// A stand-in package manager for the tests, run where the real one would be.
// It speaks the updater's contract and nothing more:
//
//   list      prints the table with the updater's own writer: a header, the
//             separator and one row per application at the columns of
//             updater/apps_table_layout.h. No closing remark: the last
//             application is the last line, which the reader must keep.
//   upgrade   [--id ID | NAME] OPTIONS...: spinner and progress lines with
//             carriage returns, two lines on standard error, then the result.
//
// Chosen by the environment:
//   STANDIN_ARGS     file to which every run appends its arguments (each
//                    followed by a NUL byte, the run by a line feed)
//   STANDIN_ROWS     file of "name|identifier|installed|available" lines for
//                    `list`; a built-in table when unset
//   STANDIN_NOTE     a note `list` prints above its table
//   STANDIN_ASK      1: `list` first asks the agreement question and lists
//                    only after the answer "y"
//   STANDIN_UPGRADE  ok (default): "Successfully installed"; cancel: the
//                    cancel code and "You cancelled"; fail: an error text;
//                    lie: "Successfully installed", then exit status 1
//   STANDIN_FAIL_TARGET  the name or identifier whose upgrade fails whatever
//                    STANDIN_UPGRADE says
//   STANDIN_UPGRADE_LINES  upgrade first prints this many numbered log lines
//   STANDIN_DELAY_MS silent for this long before it does anything, as a slow
//                    remote makes a package manager
//   STANDIN_PID      file to which it writes its process id first
#include "updater/apps_table_writer.h"

#include <QList>
#include <QString>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

const char* const BuiltInRows[] = {
    "Kelvara Studio|Kelvara.Studio|121.0|122.0",
    "caf\xc3\xa9 cr\xc3\xa8me Notes|Cafe.CremeNotes|2.1.0|2.1",
    "Zip Packer Professional Edition\xe2\x80\xa6|ZipPacker.Pro|1.2.3|1.3",
    "Audio Tool|Audio.Tool|10.0|9.1",
    "Mail Sync|Mail.Sync|3.0|",
};

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> parts(1);
    for (const char c : line) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

void RecordArguments(int argc, char** argv)
{
    const char* path = std::getenv("STANDIN_ARGS");
    if (path == nullptr)
        return;
    std::ofstream out(path, std::ios::app | std::ios::binary);
    for (int i = 1; i < argc; ++i)
        out << argv[i] << '\0';
    out << '\n';
}

bool Is(const char* variable, const char* value)
{
    const char* set = std::getenv(variable);
    return set != nullptr && std::strcmp(set, value) == 0;
}

int List()
{
    if (Is("STANDIN_ASK", "1")) {
        std::cout << "Do you agree to all the source agreements terms?\n" << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        if (answer != "y\r" && answer != "y") {
            std::cout << "The agreements were not accepted.\n";
            return 1;
        }
    }
    std::vector<std::string> rows;
    if (const char* path = std::getenv("STANDIN_ROWS")) {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);)
            rows.push_back(line);
    } else {
        rows.assign(std::begin(BuiltInRows), std::end(BuiltInRows));
    }
    QList<updater::TableApp> apps;
    for (const std::string& row : rows) {
        std::vector<std::string> f = Split(row, '|');
        f.resize(4);
        apps.append({QString::fromStdString(f[0]), QString::fromStdString(f[1]), QString::fromStdString(f[2]),
                     QString::fromStdString(f[3]), QStringLiteral("standin")});
    }
    QStringList notes;
    if (const char* note = std::getenv("STANDIN_NOTE"))
        notes << QString::fromUtf8(note);
    std::cout << updater::WriteAppsTable(apps, updater::ClosingLine::Omitted, notes).toStdString();
    return 0;
}

int Upgrade(const std::string& target)
{
    if (const char* count = std::getenv("STANDIN_UPGRADE_LINES")) {
        for (long i = 1, n = std::atol(count); i <= n; ++i)
            std::cout << "Unpacking file " << i << " of the application\n";
    }
    std::cout << "Found the application; downloading.\n";
    std::cout << "   -    \r   \\    \r   |    \r   /    \r" << std::flush;
    std::cout << "  ####            1.0 MB / 4.0 MB\r  ################  4.0 MB / 4.0 MB\n" << std::flush;
    std::cerr << "stand-in: progress note one\nstand-in: progress note two\n" << std::flush;
    if (Is("STANDIN_UPGRADE", "cancel")) {
        std::cout << "Installer failed with exit code: 0x800704c7 : You cancelled the operation.\n";
        return 1;
    }
    if (Is("STANDIN_UPGRADE", "fail") || Is("STANDIN_FAIL_TARGET", target.c_str())) {
        std::cout << "No applicable upgrade found.\n";
        return 1;
    }
    std::cout << "Starting package install...\nSuccessfully installed\n";
    return Is("STANDIN_UPGRADE", "lie") ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (const char* path = std::getenv("STANDIN_PID"))
        std::ofstream(path) << ::getpid() << '\n';
    RecordArguments(argc, argv);
    if (const char* delay = std::getenv("STANDIN_DELAY_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(delay)));
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "list")
        return List();
    if (command == "upgrade") {
        const int at = argc > 2 && std::strcmp(argv[2], "--id") == 0 ? 3 : 2;
        return Upgrade(argc > at ? argv[at] : "");
    }
    std::cerr << "stand-in: unknown command\n";
    return 2;
}
