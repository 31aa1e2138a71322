#include "ui/tray_icon.h"

#include "runtime/event_queue.h"
#include "runtime/status_notifier.h"
#include "runtime/tray_host.h"
#include "ui/gui_thread.h"
#include "ui/popup_menu.h"
#include "ui/window_system.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QSystemTrayIcon>
#include <QtEndian>

#include <cstring>
#include <map>
#include <memory>

namespace ui {

namespace {

struct TrayEntry
{
    /// The XEmbed icon; none while the icon is a StatusNotifier item.
    std::unique_ptr<QSystemTrayIcon> icon;
    int64_t owner = 0;
    ImageId image = ImageId::Tray;
    QString tooltip;
    int64_t menu = -1;
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

/// The image in the sizes panels ask for, drawn from its vector form.
QList<runtime::StatusNotifierPixmap> NotifierIcon(ImageId image)
{
    QList<runtime::StatusNotifierPixmap> sizes;
    for (const int side : {16, 22, 24, 32, 48}) {
        const QImage drawn = Image(image, QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
        runtime::StatusNotifierPixmap pixmap{drawn.width(), drawn.height(), QByteArray()};
        pixmap.argb.resize(static_cast<qsizetype>(drawn.width()) * drawn.height() * 4);
        char* out = pixmap.argb.data();
        for (int y = 0; y < drawn.height(); ++y) {
            const auto* row = reinterpret_cast<const quint32*>(drawn.constScanLine(y));
            for (int x = 0; x < drawn.width(); ++x, out += 4) {
                const quint32 bigEndian = qToBigEndian(row[x]);
                std::memcpy(out, &bigEndian, 4);
            }
        }
        sizes.append(pixmap);
    }
    return sizes;
}

QByteArray Png(ImageId image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Image(image).save(&buffer, "PNG");
    return png;
}

std::vector<runtime::StatusNotifierMenuItem> NotifierMenu(int64_t menu)
{
    std::vector<runtime::StatusNotifierMenuItem> rows;
    for (const MenuItem& item : PopupMenuItems(menu))
        rows.push_back({item.id, item.caption, item.enabled, item.icon ? Png(*item.icon) : QByteArray()});
    return rows;
}

bool OnNotifier(const TrayEntry& entry)
{
    return entry.icon == nullptr;
}

/// Removes an entry and takes its icon out of the notification area.
void Remove(int64_t id)
{
    const auto it = Table().find(id);
    if (it == Table().end())
        return;
    if (OnNotifier(it->second))
        runtime::HideStatusNotifier();
    Table().erase(it);
}

} // namespace

QString TrayTooltipText(const QString& text)
{
    return text.left(63);
}

bool TrayAdd(int64_t id, int64_t ownerWindow, ImageId image)
{
    return OnGuiThread([&] {
        const auto old = Table().find(id);
        const int64_t menu = old != Table().end() ? old->second.menu : -1;
        // An item already on the bus keeps its name: a host that comes (back)
        // only needs it registered again, and hosts forget an item whose
        // name is dropped, even when it is taken again at once.
        const bool onBus = old != Table().end() && OnNotifier(old->second);
        if (!onBus)
            Remove(id); // a stale XEmbed icon is replaced
        TrayEntry entry;
        entry.owner = ownerWindow;
        entry.image = image;
        entry.menu = menu;
        if (onBus || runtime::TrayHostPresent()) {
            runtime::StatusNotifierHandlers handlers;
            handlers.activate = [id, ownerWindow] {
                runtime::InsertEvent({runtime::EvTray, ownerWindow, id, TrayLeftClick, 0});
            };
            handlers.contextMenu = [id, ownerWindow] {
                runtime::InsertEvent({runtime::EvTray, ownerWindow, id, TrayRightClick, 0});
            };
            handlers.menuItemChosen = [ownerWindow](int64_t item) {
                runtime::InsertEvent({runtime::EvMenu, ownerWindow, item, 0, 0});
            };
            handlers.activationToken = [](const QString& token) { OfferActivationToken(token); };
            if (runtime::ShowStatusNotifier(QCoreApplication::applicationName(), NotifierIcon(image), handlers)) {
                if (menu >= 0)
                    runtime::SetStatusNotifierMenu(NotifierMenu(menu));
                Table()[id] = std::move(entry);
                return true;
            }
            Remove(id); // the bus is gone: the XEmbed icon below takes over
        }
        // Wayland has no XEmbed: without a host there is no notification
        // area until one appears (RecreateTrayIcon then offers the item).
        if (OnWayland())
            return false;
        // Qt decides once per process whether to use a StatusNotifier host,
        // and only a host seen at that moment counts; so the bus item above
        // is the program's own, and Qt's icon is only ever the XEmbed one.
        // It is made even without a tray: Qt embeds it when one appears.
        entry.icon = std::make_unique<QSystemTrayIcon>(Icon(image));
        QObject::connect(entry.icon.get(), &QSystemTrayIcon::activated,
                         [id, ownerWindow](QSystemTrayIcon::ActivationReason reason) {
                             const int64_t type = TypeOf(reason);
                             if (type >= 0)
                                 runtime::InsertEvent({runtime::EvTray, ownerWindow, id, type, 0});
                         });
        entry.icon->show();
        Table()[id] = std::move(entry);
        return QSystemTrayIcon::isSystemTrayAvailable();
    });
}

bool TrayShown(int64_t id)
{
    return OnGuiThread([&] {
        const auto it = Table().find(id);
        if (it == Table().end())
            return false;
        return OnNotifier(it->second) ? runtime::TrayHostPresent() : QSystemTrayIcon::isSystemTrayAvailable();
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
            if (OnNotifier(it->second))
                runtime::SetStatusNotifierIcon(NotifierIcon(image));
            else
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
        if (tooltip == it->second.tooltip) // the same text again would only wake the tray host
            return true;
        it->second.tooltip = tooltip;
        if (OnNotifier(it->second))
            runtime::SetStatusNotifierToolTip(it->second.tooltip);
        else
            it->second.icon->setToolTip(it->second.tooltip);
        return true;
    });
}

bool TraySetMenu(int64_t id, int64_t menu)
{
    return OnGuiThread([&] {
        const auto it = Table().find(id);
        if (it == Table().end())
            return false;
        it->second.menu = menu;
        // The XEmbed icon reports a right click; the program opens the menu.
        if (OnNotifier(it->second))
            runtime::SetStatusNotifierMenu(NotifierMenu(menu));
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
    OnGuiThread([] {
        while (!Table().empty())
            Remove(Table().begin()->first);
    });
}

void WatchTrayHosts(std::function<void()> onAppeared)
{
    OnGuiThread([&] { runtime::WatchTrayHost(std::move(onAppeared)); });
}

} // namespace ui
