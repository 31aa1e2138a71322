// Stand-in for the program in the single-instance test.
// Usage: instance_probe <ready|starting> <lifetime-ms> [instance name]
// Prints "first" or "second", then "activated" (and the token that came
// along, if any) for every activation it acts on.
#include "runtime/process_state.h"
#include "runtime/single_instance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const bool ready = QByteArray(argv[1]) == "ready";
    const int lifetimeMs = QByteArray(argv[2]).toInt();

    const QString name = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Probe Instance");
    // A second probe hands the first the token in PROBE_ACTIVATION_TOKEN.
    const bool first = runtime::ClaimSingleInstance(
        name, [] { return qEnvironmentVariable("PROBE_ACTIVATION_TOKEN"); },
        [](const QString& token) {
            std::puts(token.isEmpty() ? "activated" : qPrintable(QStringLiteral("activated ") + token));
            std::fflush(stdout);
        });
    std::puts(first ? "first" : "second");
    std::fflush(stdout);
    if (!first)
        return 0;

    runtime::GuiReady = ready ? 1 : 0;
    QTimer::singleShot(lifetimeMs, &application, &QCoreApplication::quit);
    application.exec();
    runtime::ReleaseSingleInstance();
    return 0;
}
