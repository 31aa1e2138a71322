#include "app/startup.h"

#include "app/colour_scheme.h"
#include "app/content_refresh.h"
#include "app/event_loop.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/picture_of_the_day.h"
#include "app/quit.h"
#include "app/settings_window.h"
#include "app/startup_shortcut.h"
#include "app/status_line.h"
#include "app/tray.h"
#include "app/window_layout.h"
#include "app/wink.h"
#include "runtime/activation_token.h"
#include "runtime/clock.h"
#include "runtime/event_queue.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/display_metrics.h"
#include "runtime/file_ops.h"
#include "runtime/free_memory.h"
#include "runtime/http_transfer.h"
#include "runtime/process_state.h"
#include "runtime/quit_signals.h"
#include "runtime/single_instance.h"
#include "runtime/threads.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "ui/control_numbers.h"
#include "ui/control_widgets.h"
#include "ui/controls.h"
#include "ui/images.h"
#include "ui/input_events.h"
#include "ui/list_control.h"
#include "ui/window_system.h"
#include "updater/package_manager.h"

#include <QApplication>
#include <QScreen>
#include <QSessionManager>
#include <QThread>

namespace app {

namespace {

void ReadDisplayMetrics()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return; // keep the 96-DPI, 1920 x 1080 assumptions
    runtime::Display.uiScale = screen->logicalDotsPerInchX() / 100.0;
    runtime::Display.screenWidth = screen->geometry().width();
    runtime::Display.screenHeight = screen->geometry().height();
}

/// Whether the installed-apps tab can work: the package manager must be
/// there and runnable, on a system recent enough for it.
void DecideUpdaterAvailability()
{
    if (runtime::OsVersionCode >= 110) {
        const bool bridge = runtime::WingetPath == runtime::ProgramDir + runtime::PackageBridgeName;
        runtime::UpdaterAvailable = updater::PackageManagerUsable(runtime::WingetPath, bridge) ? 1 : 0;
    } else {
        runtime::UpdaterUnsupported = 1;
    }
}

/// What making the first windows would otherwise spend its time on, done
/// while start-up has to wait anyway: loading the fonts and drawing the
/// pictures the main window, its tabs, the platform list, the refreshing
/// window and the tray with its menu show first. Only the toolkit's caches
/// change; nothing is shown, so a second copy that is about to give way to
/// the first touches nothing either.
void PrepareFirstWindows()
{
    ui::PreloadFonts();
    using enum ui::ImageId;
    for (const ui::ImageId image : {Tray,
                                    SiteLogo,
                                    Donate,
                                    Settings,
                                    Refresh,
                                    WinkA,
                                    Search,
                                    TabToday,
                                    TabYesterday,
                                    TabInstalledApps,
                                    TabNews,
                                    TabArticles,
                                    HeaderLogo,
                                    ControlPanel,
                                    PlatformAll,
                                    PlatformWindows,
                                    PlatformLinux,
                                    PlatformMacOS,
                                    PlatformAndroid,
                                    RefreshingPicture,
                                    RefreshWindowIcon,
                                    MenuShowWindow,
                                    MenuRefreshContent,
                                    MenuFacebook,
                                    MenuX,
                                    MenuYouTube,
                                    MenuGoTo,
                                    MenuQuit})
        ui::PreloadImage(image);
}

/// A start-up failure: a plain box without owner, then the end.
[[noreturn]] void FailStartup(const QString& text)
{
    ShowStartupFailure(text);
    std::exit(1);
}

/// Creates every window, control and the tray, and brings them in line with
/// the settings; a failure ends the program with its message.
void CreateProgramWindows()
{
    if (!app::CreateMainWindow())
        FailStartup(QStringLiteral("Couldn't create app window (try again)."));
    if (!app::CreateRefreshingWindow())
        FailStartup(QStringLiteral("Couldn't create refreshing window (try again)."));
    if (!CreateTray())
        FailStartup(QStringLiteral("Couldn't create systray icon (try again)."));
    ui::SetWindowIcon(ui::id::MainWindow, ui::ImageId::Tray);
    ui::SetMinimumInnerSize(ui::id::MainWindow, static_cast<int>(runtime::MinWindowWidth(runtime::Display)),
                            static_cast<int>(runtime::MinWindowHeight(runtime::Display)));
    if (!CreateSettingsWindow())
        FailStartup(QStringLiteral("Couldn't create settings window (try again)."));
    DecideUpdaterAvailability();
    UpdateTrayMenu();
    if (!app::CreateMainWindowControls())
        FailStartup(QStringLiteral("Couldn't create app window (try again)."));
    runtime::ThreadStart(WinkThread, "wink");
    ApplyColourScheme(settings::Settings.Zorva_Colors);
    ui::SetState(ui::id::ContentTabs, ui::tab::Today);
    ApplyStartupShortcut();
    runtime::FileDelete(runtime::PictureTempPath, true);
    SetSettingsControls();
    ui::SetImage(ui::id::PictureImage, ui::ImageId::RefreshingPicture);
}

/// How long start-up waits at most for the compositor to give the new main
/// window the keyboard, the moment a Wayland client learns which modifier
/// keys are held.
constexpr int64_t KeyboardFocusWaitMs = 1000;

/// The token a second copy hands to the first so that the first may come to
/// the front on Wayland: the one this copy was launched with, else one the
/// compositor gives it now. Empty elsewhere.
QString TokenForFirstCopy(const QString& launchToken)
{
    if (!ui::OnWayland())
        return QString();
    if (runtime::IsActivationToken(launchToken))
        return launchToken;
    return runtime::RequestActivationToken(runtime::DesktopId, 300);
}

/// Lays the main window out and shows it, unless it starts in the tray.
/// `launchToken` (Wayland) brings the window to the front when it shows.
void ShowAtStart(const QString& launchToken)
{
    const int64_t shortcutWindows[] = {ui::id::MainWindow, ui::id::SettingsWindow};
    ui::InstallInputFilter(shortcutWindows, 2);
    if (settings::Settings.App_Maxed == 1)
        ui::ShowMaximized(ui::id::MainWindow);
    LayoutMainWindow(false);
    // From now on every move or resize of a program window lays out again.
    ui::SetGeometryChangedHandler([](int64_t) { LayoutMainWindow(false); });
    // Without a notification area a window started hidden could never be
    // brought back, so it shows anyway.
    if (settings::Settings.App_Run_Minimized == 0 || !TrayShown())
        ui::ShowWindow(ui::id::MainWindow);
    if (ui::IsVisible(ui::id::MainWindow) && !launchToken.isEmpty()) {
        ui::OfferActivationToken(launchToken);
        ui::BringToFront(ui::id::MainWindow);
    }
}

/// Lets the windows settle for 100 ms; what arrives meanwhile is not
/// dispatched. On Wayland the settling goes on, for at most
/// KeyboardFocusWaitMs in all, until the shown main window has the keyboard:
/// only then does the compositor say whether Control is held.
void SettleWindows()
{
    const int64_t started = runtime::ElapsedMs();
    const auto awaitingKeyboard = [started] {
        return ui::OnWayland() && ui::IsVisible(ui::id::MainWindow) && ui::ForegroundWindow() != ui::id::MainWindow &&
               runtime::ElapsedMs() - started < KeyboardFocusWaitMs;
    };
    while (runtime::ElapsedMs() - started <= 100 || awaitingKeyboard())
        runtime::WaitEvent(1);
}

} // namespace

int RunProgram(int argc, char** argv)
{
    // The HTTP service gets its 100 ms to settle while the toolkit starts up
    // and readies the fonts and pictures of the first windows, not after it:
    // the wait then costs the user next to nothing.
    runtime::HttpServiceStart();
    const int64_t httpStarted = runtime::ElapsedMs();
    QApplication application(argc, argv);
    // The application name is the class in the windows' WM_CLASS and the
    // desktop file name the Wayland app id: the installed desktop entry's
    // StartupWMClass and file name match them, so docks group the windows
    // under the entry and show its icon.
    QApplication::setApplicationName(runtime::AppTitle);
    QApplication::setApplicationVersion(runtime::AppVersion);
    QApplication::setDesktopFileName(runtime::DesktopId);
    QApplication::setQuitOnLastWindowClosed(false);

    const int64_t settled = httpStarted + 100;
    PrepareFirstWindows();
    if (runtime::ElapsedMs() < settled)
        QThread::msleep(static_cast<unsigned long>(settled - runtime::ElapsedMs()));

    // A launcher on Wayland hands the token for our first window over in the
    // environment: it is spent on that window (or passed to the copy already
    // running), never handed on to the programs this one starts.
    QString launchToken;
    if (ui::OnWayland()) {
        launchToken = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
        qunsetenv("XDG_ACTIVATION_TOKEN");
    }

    const auto activated = [](const QString& token) {
        ui::OfferActivationToken(token);
        ShowMainWindow();
    };
    if (!runtime::ClaimSingleInstance(
            runtime::AppTitle, [&launchToken] { return TokenForFirstCopy(launchToken); }, activated))
        return 0;

    // A Linux desktop is always recent enough (runtime::OsVersionCode), so the
    // old-system refusal never triggers here.

    runtime::InitAppPaths();
    ReadDisplayMetrics();
    settings::Settings = settings::DefaultSettings(runtime::Display);
    settings::LoadSettings();
    // From here on a session end or Ctrl+C quits the way the menu does, so
    // the settings are saved and the clean-up runs.
    runtime::IgnoreBrokenPipes();
    runtime::WatchQuitSignals([] { QuitApplication(); });
    // When the desktop asks whether the session may end, the settings are
    // saved; the desktop's own answer stands.
    QObject::connect(&application, &QGuiApplication::commitDataRequest,
                     [](QSessionManager&) { settings::SaveSettings(); });

    runtime::SetEventThread();
    // While a page loads, the windows keep painting, and a quit request ends
    // the transfer instead of waiting for a slow server.
    runtime::SetTransferWatchForThisThread({runtime::DrainEvents, [] { return runtime::QuitRequested.load() != 0; }});

    CreateProgramWindows();
    ShowAtStart(launchToken);
    SettleWindows();

    // Control held at start-up skips the first download.
    if (ui::KeyHeld(ui::VkControl))
        ui::SetImage(ui::id::PictureImage, ui::ImageId::SkippedPicture);
    else
        RefreshContent(true);
    if (ui::RowCount(ui::id::TodayList) > 0)
        SetStatusText(QStringLiteral("Welcome!  ") + runtime::HintText, true);
    else
        SetStatusText(runtime::NoContentText, false);
    ui::SetFocus(ui::id::TodayList);
    runtime::GuiReady = 1;
    ShowPictureHeldDuringStartup();
    runtime::ReturnFreeMemory();
    RunEventLoop();
}

} // namespace app
