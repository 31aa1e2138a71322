#pragma once

#include "ui/images.h"

#include <QString>

#include <cstdint>

namespace ui {

/// Appends an item with a 16 x 16 icon to an image combo box. Any thread.
void AddComboItem(int64_t combo, const QString& text, ImageId icon, const QString& spokenName = QString());

/// Number of items of a combo box. Any thread.
int ComboCount(int64_t combo);

} // namespace ui
