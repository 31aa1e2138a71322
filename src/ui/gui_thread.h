#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <type_traits>
#include <utility>

namespace ui {

/// Runs `f` on the GUI thread and returns its result. From the GUI thread it
/// runs at once; from a worker it is queued, applied in call order when the
/// GUI thread next pumps events, and the worker waits for it. Without an
/// application object it runs on the calling thread.
template <typename F> auto OnGuiThread(F&& f) -> std::invoke_result_t<F>
{
    using Result = std::invoke_result_t<F>;
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        return f();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(app, std::forward<F>(f), Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            app, [&result, &f] { result = f(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

} // namespace ui
