#pragma once

#include "ui/images.h"

#include <QRect>
#include <QString>

#include <cstdint>

namespace ui {

// Tab controls (kind Tabs): each tab has a page that controls can be placed
// on (Parent{tabs, index}). Any thread.

/// Appends a tab with a caption and a 16 x 16 icon; returns its index or -1.
int AddTab(int64_t tabs, const QString& caption, ImageId icon);
void SetTabCaption(int64_t tabs, int index, const QString& caption);
QString TabCaption(int64_t tabs, int index);
int TabCount(int64_t tabs);

/// Top-left corner of the page area in the tab control's coordinates, as the
/// style places it; right also while the control has never been shown.
QPoint TabPageOrigin(int64_t tabs);

/// The rectangle of the last tab, in the tab control's coordinates.
QRect LastTabRect(int64_t tabs);

} // namespace ui
