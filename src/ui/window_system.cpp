#include "ui/window_system.h"

#include "runtime/activation_token.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace ui {

namespace {

constexpr int MapWaitMs = 2000;
constexpr int MapPollMs = 20;
/// When the window was last shown after being hidden (QElapsedTimer ms).
const char* const ShownAtProperty = "zorvaneShownAt";

QElapsedTimer& Clock()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock;
}

/// Whether `window` was shown moments ago and the compositor has not put it
/// on the screen yet. (A window shown long ago may read as not exposed while
/// it is merely out of sight, on another workspace: that one is mapped.)
bool AwaitingMap(const QWidget* window)
{
    const QVariant shownAt = window->property(ShownAtProperty);
    if (!shownAt.isValid() || Clock().elapsed() - shownAt.toLongLong() >= MapWaitMs)
        return false;
    const QWindow* handle = window->windowHandle();
    return window->isVisible() && (handle == nullptr || !handle->isExposed());
}

/// The token for the next activation. GUI thread only.
QString& KeptToken()
{
    static QString token;
    return token;
}

/// Qt's Wayland shell takes the token of an activation request from
/// XDG_ACTIVATION_TOKEN and clears the variable; Qt's own tray item hands a
/// host's token over the same way.
void RequestActivation(QWidget* window, const QString& token)
{
    if (!token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
    window->activateWindow();
    // Qt leaves the variable set when it makes no request (a window that
    // takes no focus); the programs we start must not inherit it.
    if (!token.isEmpty())
        qunsetenv("XDG_ACTIVATION_TOKEN");
}

} // namespace

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WindowPlacementKnown()
{
    return !OnWayland();
}

void OfferActivationToken(const QString& token)
{
    if (runtime::IsActivationToken(token))
        KeptToken() = token;
}

void NoteWindowShown(QWidget* window)
{
    window->setProperty(ShownAtProperty, QVariant::fromValue<qint64>(Clock().elapsed()));
}

void ActivateWindow(QWidget* widget)
{
    if (widget == nullptr)
        return;
    QWidget* window = widget->window();
    const QString token = OnWayland() ? std::exchange(KeptToken(), QString()) : QString();
    if (token.isEmpty() || !AwaitingMap(window)) {
        RequestActivation(window, token);
        return;
    }
    // A compositor ignores a request for a window it has not mapped yet, and
    // the token is spent then: ask once the window is on the screen.
    auto* poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, token, target = QPointer<QWidget>(window)] {
        if (target && AwaitingMap(target))
            return;
        if (target && target->isVisible())
            RequestActivation(target, token);
        poll->stop();
        poll->deleteLater();
    });
    poll->start(MapPollMs);
}

} // namespace ui
