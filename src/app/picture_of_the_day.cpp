#include "app/picture_of_the_day.h"

#include "app/site_colours.h"
#include "app/shell_state.h"
#include "app/open_items.h"
#include "content/picture_page.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/display_metrics.h"
#include "runtime/event_queue.h"
#include "runtime/file_ops.h"
#include "runtime/free_memory.h"
#include "runtime/http_transfer.h"
#include "runtime/process_state.h"
#include "runtime/threads.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/pixel_ratio.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace app {

namespace {

const QString ForceTooltip = QString(QChar(1));

PictureColours CurrentPictureColours()
{
    if (settings::Settings.Zorva_Colors == 1)
        return {PictureBackgroundColour, PictureFrameColour};
    const QPalette palette = QApplication::palette();
    return {palette.color(QPalette::Button), palette.color(QPalette::Dark)};
}

/// Hands a text to the GUI thread and wakes its loop, which applies the
/// picture's tooltip from it.
void Publish(QString& field, const QString& value)
{
    {
        std::lock_guard lock(PictureLock);
        field = value;
    }
    runtime::WakeEventThread();
}

QString Read(const QString& field)
{
    std::lock_guard lock(PictureLock);
    return field;
}

} // namespace

QString PictureTitle()
{
    return Read(PublishedPictureTitle);
}

QString PictureStoryUrl()
{
    return Read(PublishedPictureStoryUrl);
}

void StartPictureWorker()
{
    ui::SetImage(ui::id::PictureImage, ui::ImageId::RefreshingPicture);
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Wait);
    ui::SetTooltip(ui::id::PictureImage, QString());
    {
        std::lock_guard lock(PictureLock);
        ChosenPictureColours = CurrentPictureColours();
    }
    PictureWorkerBusy = 1;
    if (runtime::ThreadStart(PictureWorker, "picture") != 0) {
        runtime::DrainEvents();
    } else {
        ui::SetImage(ui::id::PictureImage, ui::ImageId::NoPicture);
        PictureWorkerBusy = 0;
    }
}

void PictureWorker()
{
    runtime::SetTransferWatchForThisThread({{}, [] { return runtime::QuitRequested.load() != 0; }});
    PictureReady = 0;
    Publish(PublishedPictureTitle, QString());
    Publish(LastPictureTooltip, ForceTooltip);
    runtime::FileDelete(runtime::PictureTempPath, true);

    const QString base = runtime::SiteBaseUrl();
    const QString channel = runtime::FetchPageText(base + content::PictureChannelPath);
    const QString storyUrl = content::FindPictureStoryUrl(channel, base);
    Publish(PublishedPictureStoryUrl, storyUrl);
    const QString story = runtime::FetchPageText(storyUrl);
    Publish(PublishedPictureTitle, content::FindPictureTitle(story));
    if (const std::optional<QString> image = content::FindPictureImageUrl(story)) {
        runtime::FileDelete(runtime::PictureTempPath, true);
        PictureReady = runtime::HttpDownloadToFile(*image, runtime::PictureTempPath) ? 1 : 0;
    }

    if (PictureReady.load() == 1) {
        if (runtime::GuiReady.load() == 1) {
            ShowPicture();
        } else {
            // Start-up shows it once it is done; whichever side comes second
            // takes the picture, so it is shown exactly once.
            runtime::PicturePending = 1;
            if (runtime::GuiReady.load() == 1 && runtime::PicturePending.exchange(0) == 1)
                ShowPicture();
        }
    } else {
        ui::SetImage(ui::id::PictureImage, ui::ImageId::NoPicture);
    }
    // The page texts, the transfers and the decoding leave free memory in
    // this thread's arena, which outlives the thread.
    runtime::ReturnFreeMemory();
    PictureWorkerBusy = 0;
}

void ShowPicture()
{
    // The site's picture formats only, told by the content, not the name: the
    // address comes from a page, and other decoders (SVG, ICO, ...) need not
    // face what it serves. Told here rather than by asking every decoder, so
    // that only the one the picture needs is loaded.
    QByteArray format;
    if (QFile file(runtime::PictureTempPath); file.open(QIODevice::ReadOnly))
        format = content::PictureFormat(file.read(8));
    QImageReader reader(runtime::PictureTempPath, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(256); // megabytes; a hostile image must not exhaust memory
    const QImage decoded = !format.isEmpty() ? reader.read().convertToFormat(QImage::Format_ARGB32) : QImage();
    // Composed in the screen's own pixels, so that a scaled screen shows the
    // photo sharp; the square keeps its size in the layout.
    const int side = static_cast<int>(runtime::Scaled(249, runtime::Display.uiScale));
    const qreal ratio = ui::PixelRatio(ui::id::PictureImage);
    const int deviceSide = static_cast<int>(std::lround(side * ratio));
    const std::optional<content::PictureFit> fit =
        decoded.isNull() ? std::nullopt : content::FitPicture(deviceSide, decoded.width(), decoded.height());
    if (!fit || deviceSide <= 0) {
        ui::SetImage(ui::id::PictureImage, ui::ImageId::NoPicture);
        return;
    }
    PictureColours colours;
    {
        std::lock_guard lock(PictureLock);
        colours = ChosenPictureColours;
    }
    const QColor background = colours.background;
    const QColor frame = colours.frame;

    QImage composed(deviceSide, deviceSide, QImage::Format_ARGB32);
    composed.fill(background);
    QPainter painter(&composed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(fit->x, fit->y, fit->width, fit->height), decoded);
    // One logical pixel wide, on every side.
    const int line = std::max(1, static_cast<int>(std::lround(ratio)));
    for (const QRect& edge : {QRect(0, 0, deviceSide, line), QRect(0, deviceSide - line, deviceSide, line),
                              QRect(0, 0, line, deviceSide), QRect(deviceSide - line, 0, line, deviceSide)})
        painter.fillRect(edge, frame);
    painter.end();
    composed.setDevicePixelRatio(ratio);
    ui::SetPictureImage(ui::id::PictureImage, composed);
}

void RedrawPicture()
{
    // While a worker runs it may be rewriting the file, and it draws the
    // picture itself when it is done; without a loaded picture (none yet, or
    // skipped at start-up) there is nothing to redraw.
    if (runtime::GuiReady.load() != 1 || PictureReady.load() != 1 || PictureWorkerBusy.load() != 0)
        return;
    {
        std::lock_guard lock(PictureLock);
        ChosenPictureColours = CurrentPictureColours();
    }
    ShowPicture();
}

void ShowPictureHeldDuringStartup()
{
    {
        std::lock_guard lock(PictureLock);
        ChosenPictureColours = CurrentPictureColours();
    }
    if (runtime::PicturePending.exchange(0) == 1)
        ShowPicture();
}

void ApplyPictureTooltip()
{
    QString title;
    {
        std::lock_guard lock(PictureLock);
        if (PublishedPictureTitle == LastPictureTooltip)
            return;
        LastPictureTooltip = PublishedPictureTitle;
        title = PublishedPictureTitle;
    }
    ui::SetTooltip(ui::id::PictureImage, title);
}

void OpenPictureStory()
{
    if (PictureReady.load() == 1)
        OpenInBrowser(PictureStoryUrl());
}

} // namespace app
