#include "app/startup.h"

#include "app/quit.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/display_metrics.h"
#include "runtime/file_ops.h"
#include "runtime/process_state.h"
#include "runtime/single_instance.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace app {

namespace {

int signalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

/// A session ending (SIGTERM) or Ctrl+C quits the way the menu does, so the
/// settings are saved and the clean-up runs.
void QuitOnTerminationSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] { QuitApplication(); });
    struct sigaction action{};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void ReadDisplayMetrics()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return; // keep the 96-DPI, 1920 x 1080 assumptions
    runtime::Display.uiScale = screen->logicalDotsPerInchX() / 100.0;
    runtime::Display.screenWidth = screen->geometry().width();
    runtime::Display.screenHeight = screen->geometry().height();
}

void ShowMainWindow()
{
    // The main window arrives with the window layer; until then an
    // activation has nothing to show.
}

} // namespace

int RunProgram(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(runtime::AppTitle);
    QApplication::setApplicationVersion(runtime::AppVersion);
    QApplication::setQuitOnLastWindowClosed(false);

    QThread::msleep(100);

    if (!runtime::ClaimSingleInstance(runtime::AppTitle, ShowMainWindow))
        return 0;

    // A Linux desktop is always recent enough (runtime::OsVersionCode), so the
    // old-system refusal never triggers here.

    runtime::InitAppPaths();
    ReadDisplayMetrics();
    settings::Settings = settings::DefaultSettings(runtime::Display);
    settings::LoadSettings();

    // The windows, the tray, the colour scheme, the start-up shortcut and the
    // first content refresh are built here, in that order, by the window layer.
    runtime::FileDelete(runtime::PictureTempPath, true);

    QuitOnTerminationSignals();
    runtime::GuiReady = 1;
    application.exec();
    QuitApplication();
}

} // namespace app
