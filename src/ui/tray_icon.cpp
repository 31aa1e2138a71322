#include "ui/tray_icon.h"

#include "runtime/event_queue.h"
#include "ui/gui_thread.h"

#include <QSystemTrayIcon>

#include <map>
#include <memory>

namespace ui {

namespace {

struct TrayEntry
{
    std::unique_ptr<QSystemTrayIcon> icon;
    int64_t owner = 0;
    ImageId image = ImageId::Tray;
    QString tooltip;
};

std::map<int64_t, TrayEntry>& Table()
{
    static std::map<int64_t, TrayEntry> table;
    return table;
}

int64_t TypeOf(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return TrayLeftClick;
    case QSystemTrayIcon::Context:
        return TrayRightClick;
    case QSystemTrayIcon::DoubleClick:
        return TrayLeftDoubleClick;
    default:
        return -1;
    }
}

} // namespace

QString TrayTooltipText(const QString& text)
{
    return text.left(63);
}

bool TrayAdd(int64_t id, int64_t ownerWindow, ImageId image)
{
    return OnGuiThread([&] {
        Table().erase(id); // a stale entry (the host went away) is replaced
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        TrayEntry entry;
        entry.icon = std::make_unique<QSystemTrayIcon>(Icon(image));
        entry.owner = ownerWindow;
        entry.image = image;
        QObject::connect(entry.icon.get(), &QSystemTrayIcon::activated,
                         [id, ownerWindow](QSystemTrayIcon::ActivationReason reason) {
                             const int64_t type = TypeOf(reason);
                             if (type >= 0)
                                 runtime::InsertEvent({runtime::EvTray, ownerWindow, id, type, 0});
                         });
        entry.icon->show();
        Table()[id] = std::move(entry);
        return true;
    });
}

bool TraySetImage(int64_t id, ImageId image)
{
    return OnGuiThread([&] {
        const auto it = Table().find(id);
        if (it == Table().end())
            return false;
        if (it->second.image != image) {
            it->second.image = image;
            it->second.icon->setIcon(Icon(image));
        }
        return true;
    });
}

bool TraySetTooltip(int64_t id, const QString& text)
{
    return OnGuiThread([&] {
        const auto it = Table().find(id);
        if (it == Table().end() || text.isNull())
            return false;
        const QString tooltip = TrayTooltipText(text);
        if (tooltip != it->second.tooltip) { // the same text again would only wake the tray host
            it->second.tooltip = tooltip;
            it->second.icon->setToolTip(tooltip);
        }
        return true;
    });
}

QString TrayTooltip(int64_t id)
{
    return OnGuiThread([&] {
        const auto it = Table().find(id);
        return it != Table().end() ? it->second.tooltip : QString();
    });
}

bool TrayHasImage(int64_t id, ImageId image)
{
    return OnGuiThread([&] {
        const auto it = Table().find(id);
        return it != Table().end() && it->second.image == image;
    });
}

void TrayRemoveAll()
{
    OnGuiThread([] { Table().clear(); });
}

bool TrayAvailable()
{
    return OnGuiThread([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
}

} // namespace ui
