#pragma once

#include <QString>

#include <cstdint>

namespace app {

// The picture of the day, loaded by a worker beside the refresh. What the
// worker and the GUI thread share is in app/shell_state.h.

/// The picture's title and story address as the worker published them.
QString PictureTitle();
QString PictureStoryUrl();

/// Shows the refreshing placeholder and starts the worker. GUI thread.
void StartPictureWorker();

/// The worker: finds the first story of the picture channel, downloads its
/// picture to PictureTempPath and shows it (or NoPicture). Its own thread.
void PictureWorker();

/// Decodes PictureTempPath and shows it fitted and framed in PictureImage,
/// drawn in the device pixels of PictureImage's screen; NoPicture when it
/// cannot be decoded. Any thread.
void ShowPicture();

/// Shows a picture that arrived while start-up was still running, once.
/// Called right after GuiReady is set. GUI thread.
void ShowPictureHeldDuringStartup();

/// Draws the loaded picture again in the current scheme's colours and for
/// the current screen; nothing while a worker runs or when no picture is
/// loaded. GUI thread.
void RedrawPicture();

/// Puts the published title on PictureImage's tooltip when it changed.
/// Each pass of the event loop. GUI thread.
void ApplyPictureTooltip();

/// A click on the picture opens its story once a picture is there.
void OpenPictureStory();

} // namespace app
