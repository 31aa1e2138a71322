#include "ui/combo_box.h"

#include "runtime/event_queue.h"
#include "ui/control_registry.h"
#include "ui/gui_thread.h"

#include <QComboBox>

namespace ui {

void AddComboItem(int64_t combo, const QString& text, ImageId icon, const QString& spokenName)
{
    OnGuiThread([&] {
        if (auto* box = WidgetAs<QComboBox>(combo)) {
            runtime::ChangeGuard quiet;
            box->addItem(Icon(icon), text);
            if (!spokenName.isEmpty())
                box->setItemData(box->count() - 1, spokenName, Qt::AccessibleTextRole);
        }
    });
}

int ComboCount(int64_t combo)
{
    return OnGuiThread([&] {
        auto* box = WidgetAs<QComboBox>(combo);
        return box != nullptr ? box->count() : 0;
    });
}

} // namespace ui
