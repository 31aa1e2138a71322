#include "ui/combo_box.h"

#include "runtime/event_queue.h"
#include "ui/control_registry.h"
#include "ui/gui_thread.h"

#include <QComboBox>

namespace ui {

void AddComboItem(int64_t combo, const QString& text, ImageId icon)
{
    OnGuiThread([&] {
        Entry* entry = FindEntry(combo);
        if (auto* box = entry != nullptr ? qobject_cast<QComboBox*>(entry->widget.data()) : nullptr) {
            runtime::ChangeGuard quiet;
            box->addItem(Icon(icon), text);
        }
    });
}

int ComboCount(int64_t combo)
{
    return OnGuiThread([&] {
        Entry* entry = FindEntry(combo);
        auto* box = entry != nullptr ? qobject_cast<QComboBox*>(entry->widget.data()) : nullptr;
        return box != nullptr ? box->count() : 0;
    });
}

} // namespace ui
