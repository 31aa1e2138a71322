#include "app/wink.h"

#include "app/shell_state.h"
#include "runtime/clock.h"
#include "runtime/process_state.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"

#include <random>

namespace app {

void WinkThread()
{
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int64_t> pause(30000, 60000);
    while (runtime::QuitRequested.load() == 0) {
        runtime::SleepMs(pause(random), &runtime::QuitRequested);
        if (runtime::QuitRequested.load() != 0)
            break;
        if (!ui::IsVisible(ui::id::MainWindow))
            continue; // nobody would see it in the tray
        const int y = ui::Geometry(ui::id::WinkImage).y();
        ui::SetImage(ui::id::WinkImage, ui::ImageId::WinkB);
        ui::Move(ui::id::WinkImage, static_cast<int>(WinkX.load() - 7), y);
        runtime::SleepMs(2000, &runtime::QuitRequested);
        ui::SetImage(ui::id::WinkImage, ui::ImageId::WinkA);
        ui::Move(ui::id::WinkImage, static_cast<int>(WinkX.load()), y);
    }
}

} // namespace app
