#include "runtime/activation_token.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QElapsedTimer>

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

namespace runtime {

namespace {

struct Request
{
    xdg_activation_v1* activation = nullptr;
    QString token;
    bool done = false;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* request = static_cast<Request*>(data);
    if (request->activation == nullptr && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        request->activation =
            static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void OnGlobalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemoved};

void OnTokenDone(void* data, xdg_activation_token_v1*, const char* token)
{
    auto* request = static_cast<Request*>(data);
    request->token = QString::fromUtf8(token);
    request->done = true;
}

const xdg_activation_token_v1_listener TokenListener = {OnTokenDone};

/// Reads and dispatches what the compositor sends until `finished` or the
/// deadline; false on a broken connection or when time ran out.
template <typename F> bool DispatchUntil(wl_display* display, const QElapsedTimer& clock, int timeoutMs, F finished)
{
    while (!finished()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return false;
        }
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        pollfd fd{wl_display_get_fd(display), POLLIN, 0};
        const int ready = poll(&fd, 1, static_cast<int>(left));
        if (ready <= 0) {
            wl_display_cancel_read(display);
            if (ready < 0 && errno == EINTR)
                continue;
            return false;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            return false;
    }
    return true;
}

} // namespace

bool IsActivationToken(const QString& token)
{
    if (token.isEmpty() || token.size() > 256)
        return false;
    for (const QChar c : token) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return false;
    }
    return true;
}

QString RequestActivationToken(const QString& appId, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    // A connection of our own: the token is not tied to a window, so it
    // needs none of the toolkit's, and this works before any window exists.
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return QString();
    Request request;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &request);
    bool listed = false;
    wl_callback* sync = wl_display_sync(display);
    static const wl_callback_listener SyncListener = {
        [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
    wl_callback_add_listener(sync, &SyncListener, &listed);
    DispatchUntil(display, clock, timeoutMs, [&] { return listed; });
    wl_callback_destroy(sync);
    if (request.activation != nullptr) {
        xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(request.activation);
        xdg_activation_token_v1_add_listener(token, &TokenListener, &request);
        const QByteArray id = appId.toUtf8();
        if (!id.isEmpty())
            xdg_activation_token_v1_set_app_id(token, id.constData());
        xdg_activation_token_v1_commit(token);
        DispatchUntil(display, clock, timeoutMs, [&] { return request.done; });
        xdg_activation_token_v1_destroy(token);
        xdg_activation_v1_destroy(request.activation);
    }
    wl_registry_destroy(registry);
    wl_display_flush(display);
    wl_display_disconnect(display);
    return IsActivationToken(request.token) ? request.token : QString();
}

} // namespace runtime
