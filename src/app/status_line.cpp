#include "app/status_line.h"

#include "runtime/event_queue.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"

namespace app {

void SetStatusText(const QString& text, bool drainEvents)
{
    if (drainEvents)
        runtime::DrainEvents();
    ui::SetText(ui::id::StatusLine, u' ' + text);
}

} // namespace app
