#pragma once

#include "ui/images.h"

#include <QtGlobal>

#include <cstdint>
#include <functional>

class QLabel;
class QPixmap;

// Pictures drawn for the screen they are on: on a screen scaled to 200 % an
// image control shows a picture of twice its size in device pixels, so it is
// as sharp as the text beside it, while its size in the layout stays the same.
// When its window moves to a screen with another ratio the picture is drawn
// again.

namespace ui {

/// Device pixels per logical pixel where control `number` is shown (2 on a
/// screen scaled to 200 %); 1 for an unknown number. Any thread.
qreal PixelRatio(int64_t number);

/// Calls `handler` on the GUI thread with the number of an image control
/// whose device pixel ratio has changed while it shows a picture set by
/// SetPicture or SetPictureImage, which only its maker can draw again. (An
/// image set by SetImage is drawn again here.) GUI thread.
void SetPixelRatioChangedHandler(std::function<void(int64_t number)> handler);

/// Shows `image` in `label` at the label's ratio, and again at the new ratio
/// when it changes. Toolkit layer only; GUI thread.
void ShowImageSharp(QLabel& label, ImageId image);

/// Shows `picture` in `label`; a change of the label's ratio then goes to
/// the handler above. Toolkit layer only; GUI thread.
void ShowPictureSharp(QLabel& label, const QPixmap& picture);

} // namespace ui
