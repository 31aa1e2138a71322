#pragma once

#include <QString>

#include <atomic>
#include <cstdint>

namespace app {

// The picture of the day, loaded by a worker beside the refresh. The flags
// are written by one side and read by the other; the texts are handed over
// whole under a lock.

inline std::atomic<int64_t> PictureWorkerBusy{0};
inline std::atomic<int64_t> PictureReady{0};

/// The picture's title and story address as the worker published them.
QString PictureTitle();
QString PictureStoryUrl();

/// Shows the refreshing placeholder and starts the worker. GUI thread.
void StartPictureWorker();

/// The worker: finds the first story of the picture channel, downloads its
/// picture to PictureTempPath and shows it (or NoPicture). Its own thread.
void PictureWorker();

/// Decodes PictureTempPath and shows it fitted and framed in PictureImage;
/// NoPicture when it cannot be decoded. Any thread.
void ShowPicture();

/// Shows a picture that arrived while start-up was still running, once.
/// Called right after GuiReady is set. GUI thread.
void ShowPictureHeldDuringStartup();

/// Draws the loaded picture again in the current scheme's colours; nothing
/// while a worker runs or when no picture is loaded. GUI thread.
void RedrawPicture();

/// Puts the published title on PictureImage's tooltip when it changed.
/// Each pass of the event loop. GUI thread.
void ApplyPictureTooltip();

/// A click on the picture opens its story once a picture is there.
void OpenPictureStory();

} // namespace app
