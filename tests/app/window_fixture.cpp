#include "window_fixture.h"

#include "app/main_window.h"
#include "app/settings_window.h"
#include "runtime/display_metrics.h"
#include "settings/app_settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace apptest {

bool CreateProgramWindows()
{
    static const bool created = [] {
        runtime::Display = runtime::DisplayMetrics{};
        settings::Settings = settings::DefaultSettings(runtime::Display);
        return app::CreateMainWindow() && app::CreateRefreshingWindow() && app::CreateSettingsWindow() &&
               app::CreateMainWindowControls();
    }();
    return created;
}

void WhenBoxOpens(std::function<QAbstractButton*(QMessageBox&)> inspect)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect = std::move(inspect)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        QAbstractButton* button = inspect(*box);
        if (box->isVisible())
            (button != nullptr ? button : box->defaultButton())->click();
    });
    timer->start();
}

std::shared_ptr<BoxSeen> AnswerNextBox(QMessageBox::StandardButton button)
{
    auto seen = std::make_shared<BoxSeen>();
    WhenBoxOpens([seen, button](QMessageBox& box) {
        seen->title = box.windowTitle();
        seen->text = box.text();
        return box.button(button);
    });
    return seen;
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return QByteArray();
    return png;
}

} // namespace apptest
