#include "command_line.h"
#include "sample_site_server.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

#include <pthread.h>

// zorvane-sample-site [--port N] [--seed S]: serves the generated site on
// 127.0.0.1, prints its base address as the first line and runs until SIGTERM
// or SIGINT.
int main(int argc, char** argv)
{
    // Block the stop signals before any thread exists, so that every thread
    // inherits the mask and sigwait below is the only one to see them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // The application object sets up the plug-in paths (the JPEG writer).
    QCoreApplication application(argc, argv);
    const auto options = samplesite::ParseCommandLine(QCoreApplication::arguments().mid(1));
    if (!options) {
        std::fputs(samplesite::UsageText(), stderr);
        return 2;
    }
    if (options->help) {
        std::fputs(samplesite::UsageText(), stdout);
        return 0;
    }

    samplesite::Server server;
    if (!server.Start(options->port, options->seed)) {
        std::fprintf(stderr, "zorvane-sample-site: cannot listen on 127.0.0.1:%u\n", unsigned{options->port});
        return 1;
    }
    std::printf("%s\n", server.BaseUrl().toUtf8().constData());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
    return 0;
}
