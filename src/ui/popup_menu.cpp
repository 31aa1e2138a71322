#include "ui/popup_menu.h"

#include "runtime/event_queue.h"
#include "ui/controls.h"
#include "ui/gui_thread.h"
#include "ui/window_system.h"

#include <QAction>
#include <QMenu>

#include <map>
#include <memory>

namespace ui {

namespace {

const char* const ImageProperty = "zorvaneImage";

std::map<int64_t, std::unique_ptr<QMenu>>& Menus()
{
    static std::map<int64_t, std::unique_ptr<QMenu>> menus;
    return menus;
}

QAction* FindItem(int64_t menu, int64_t item)
{
    const auto it = Menus().find(menu);
    if (it == Menus().end())
        return nullptr;
    for (QAction* action : it->second->actions())
        if (!action->isSeparator() && action->data().toLongLong() == item)
            return action;
    return nullptr;
}

} // namespace

void CreatePopupMenu(int64_t menu, const std::vector<MenuItem>& items)
{
    OnGuiThread([&] {
        auto popup = std::make_unique<QMenu>();
        for (const MenuItem& item : items) {
            if (item.id < 0) {
                popup->addSeparator();
                continue;
            }
            QAction* action =
                item.icon ? popup->addAction(Icon(*item.icon), item.caption) : popup->addAction(item.caption);
            action->setData(QVariant::fromValue<qlonglong>(item.id));
            action->setEnabled(item.enabled);
            if (item.icon)
                action->setProperty(ImageProperty, static_cast<int>(*item.icon));
        }
        Menus()[menu] = std::move(popup);
    });
}

std::vector<MenuItem> PopupMenuItems(int64_t menu)
{
    return OnGuiThread([&] {
        std::vector<MenuItem> items;
        const auto it = Menus().find(menu);
        if (it == Menus().end())
            return items;
        for (QAction* action : it->second->actions()) {
            MenuItem item;
            if (!action->isSeparator()) {
                item.id = action->data().toLongLong();
                item.caption = action->text();
                item.enabled = action->isEnabled();
                const QVariant image = action->property(ImageProperty);
                if (image.isValid())
                    item.icon = static_cast<ImageId>(image.toInt());
            }
            items.push_back(item);
        }
        return items;
    });
}

void SetMenuItemEnabled(int64_t menu, int64_t item, bool enabled)
{
    OnGuiThread([&] {
        if (QAction* action = FindItem(menu, item))
            action->setEnabled(enabled);
    });
}

bool MenuItemEnabled(int64_t menu, int64_t item)
{
    return OnGuiThread([&] {
        QAction* action = FindItem(menu, item);
        return action != nullptr && action->isEnabled();
    });
}

void ShowPopupMenu(int64_t menu, int64_t ownerWindow, QPoint position)
{
    const auto it = Menus().find(menu);
    if (it == Menus().end())
        return;
    QMenu* popup = it->second.get();
    if (OnWayland()) {
        // A Wayland menu is a pop-up of one of the program's windows; one
        // without a window to hang on would open as a window of its own. The
        // tray host shows the same rows itself.
        QWidget* owner = Widget(ownerWindow);
        if (owner == nullptr || !owner->isVisible())
            return;
        popup->setParent(owner, popup->windowFlags());
    }
    QAction* chosen = popup->exec(position);
    if (chosen != nullptr)
        runtime::InsertEvent({runtime::EvMenu, ownerWindow, chosen->data().toLongLong(), 0, 0});
}

} // namespace ui
