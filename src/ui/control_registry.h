#pragma once

#include "ui/control_types.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <optional>

// The table from number to widget. Internal to the toolkit layer; GUI thread.

namespace ui {

struct Entry
{
    QPointer<QWidget> widget;
    std::optional<ControlKind> kind; // none for a window
    int64_t window = -1;             // the window that holds it
    QString border;
    FontKind font = FontKind::Normal;
    QColor back;
    QColor text;
};

/// Adds a widget under `number`; its focus changes then raise ControlFocus.
void Register(int64_t number, Entry entry);

/// The entry for `number`, or null.
Entry* FindEntry(int64_t number);

/// The widget of `number` as a `T`; null when unknown or of another class.
template <typename T> T* WidgetAs(int64_t number)
{
    Entry* entry = FindEntry(number);
    return entry != nullptr ? qobject_cast<T*>(entry->widget.data()) : nullptr;
}

/// The number of `widget` or of the nearest registered widget holding it
/// within the same window; -1 for widgets of windows that have no number.
int64_t NumberOfWidget(const QWidget* widget);

QList<int64_t> RegisteredNumbers();

} // namespace ui
