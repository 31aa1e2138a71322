#include "ui/control_registry.h"

#include "ui/control_widgets.h"

#include <QEvent>

#include <map>

namespace ui {

namespace {

const char* const NumberProperty = "zorvaneNumber";

std::map<int64_t, Entry>& Registry()
{
    static std::map<int64_t, Entry> registry;
    return registry;
}

/// Turns a control gaining the keyboard focus into its focus event.
class FocusWatcher : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            const int64_t number = NumberOfWidget(qobject_cast<QWidget*>(watched));
            if (Entry* entry = FindEntry(number); entry != nullptr && entry->kind)
                RaiseControlEvent(entry->window, number, ControlFocus);
        }
        return false;
    }
};

FocusWatcher& Watcher()
{
    static FocusWatcher watcher;
    return watcher;
}

} // namespace

void Register(int64_t number, Entry entry)
{
    entry.widget->setProperty(NumberProperty, QVariant::fromValue<qlonglong>(number));
    if (entry.kind)
        entry.widget->installEventFilter(&Watcher());
    Registry()[number] = std::move(entry);
}

Entry* FindEntry(int64_t number)
{
    auto& registry = Registry();
    const auto it = registry.find(number);
    if (it == registry.end() || it->second.widget.isNull())
        return nullptr;
    return &it->second;
}

int64_t NumberOfWidget(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QVariant value = w->property(NumberProperty);
        if (value.isValid())
            return value.toLongLong();
        // A window of its own (a message box, a menu) is not part of the
        // window that owns it, even though Qt makes the owner its parent.
        if (w->isWindow())
            return -1;
    }
    return -1;
}

QList<int64_t> RegisteredNumbers()
{
    QList<int64_t> numbers;
    for (const auto& [number, entry] : Registry())
        if (!entry.widget.isNull())
            numbers << number;
    return numbers;
}

} // namespace ui
