#include "ui/input_events.h"

#include "runtime/clock.h"
#include "runtime/event_queue.h"
#include "ui/control_registry.h"

#include <QApplication>
#include <QKeyEvent>

#include <atomic>
#include <set>

namespace ui {

namespace {

constexpr int KeyShortcutEvent = 51;

std::atomic<uint64_t> heldKeys[4]; // one bit per virtual key 0..255
std::set<int64_t> shortcutWindowSet;

void SetHeld(int vk, bool held)
{
    if (vk <= 0 || vk > 255)
        return;
    const uint64_t bit = uint64_t{1} << (vk % 64);
    if (held)
        heldKeys[vk / 64] |= bit;
    else
        heldKeys[vk / 64] &= ~bit;
}

class InputFilter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            return OnKey(watched, static_cast<QKeyEvent*>(event), true);
        case QEvent::KeyRelease:
            return OnKey(watched, static_cast<QKeyEvent*>(event), false);
        case QEvent::MouseMove:
            if (watched->isWidgetType())
                runtime::InsertInputNotification(runtime::EvMouseMove, 0);
            return false;
        default:
            return false;
        }
    }

private:
    bool OnKey(QObject* watched, QKeyEvent* key, bool pressed)
    {
        const int vk = VirtualKeyOf(key->key());
        if (!pressed) {
            // A release counts wherever it lands: the press may have closed
            // the window (a message box) whose control had the focus.
            if (!key->isAutoRepeat())
                SetHeld(vk, false);
            return false;
        }
        // Qt delivers a key event to each widget up the chain; count it once,
        // at the window-level object that receives it first.
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget();
        if (widget == nullptr || (focus != nullptr ? widget != focus : widget != QApplication::activeWindow()))
            return false;
        SetHeld(vk, true);
        if (vk == 0)
            return false;
        // Keys typed in a window that is not one of ours (a message box, a
        // menu) belong to it: Enter and Escape must answer the box, and
        // nothing may be acted on again once it has closed.
        const Entry* windowEntry = FindEntry(NumberOfWidget(widget->window()));
        if (windowEntry == nullptr || windowEntry->kind)
            return false;
        runtime::InsertInputNotification(runtime::EvKeyDown, vk);
        if ((vk != VkEnter && vk != VkEscape) || shortcutWindowSet.count(windowEntry->window) == 0)
            return false;
        runtime::InsertEvent({runtime::EvMenu, windowEntry->window, KeyShortcutEvent, 0, 0});
        return true; // the shortcut binding keeps the key from the focused control
    }
};

} // namespace

int VirtualKeyOf(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 65 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 48 + (qtKey - Qt::Key_0);
    // The program's key table numbers F12 as 122 (classically F11's number), so
    // F12 takes 122 and F11 gets no number rather than a clashing one.
    if (qtKey == Qt::Key_F12)
        return VkF12;
    if (qtKey == Qt::Key_F11)
        return 0;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VkEnter;
    case Qt::Key_Escape:
        return VkEscape;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Shift:
        return VkShift;
    case Qt::Key_Control:
        return VkControl;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

void InstallInputFilter(const int64_t* shortcutWindows, int count)
{
    static InputFilter filter;
    shortcutWindowSet.clear();
    for (int i = 0; i < count; ++i)
        shortcutWindowSet.insert(shortcutWindows[i]);
    qApp->removeEventFilter(&filter);
    qApp->installEventFilter(&filter);
}

bool KeyHeld(int virtualKey)
{
    if (virtualKey == VkShift)
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    if (virtualKey == VkControl)
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    if (virtualKey <= 0 || virtualKey > 255)
        return false;
    return (heldKeys[virtualKey / 64].load() >> (virtualKey % 64)) & 1U;
}

void WaitWhileHeld(std::initializer_list<int> keys, int64_t capMs)
{
    const auto allHeld = [keys] {
        for (const int key : keys) {
            if (!KeyHeld(key))
                return false;
        }
        return true;
    };
    const int64_t giveUp = runtime::ElapsedMs() + capMs;
    while (allHeld() && runtime::ElapsedMs() < giveUp)
        runtime::WaitEvent(1);
}

} // namespace ui
