#include "app/picture_of_the_day.h"

#include "app/colour_scheme.h"
#include "app/open_items.h"
#include "content/picture_page.h"
#include "runtime/app_identity.h"
#include "runtime/app_paths.h"
#include "runtime/display_metrics.h"
#include "runtime/event_queue.h"
#include "runtime/file_ops.h"
#include "runtime/http_transfer.h"
#include "runtime/process_state.h"
#include "runtime/threads.h"
#include "settings/app_settings.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPalette>

#include <mutex>

namespace app {

namespace {

std::mutex pictureLock;
QString pictureTitle;
QString pictureStoryUrl;
QString lastPictureTooltip;
// A picture that was ready before start-up ended, waiting to be shown.
std::atomic<int64_t> picturePending{0};

const QString ForceTooltip = QString(QChar(1));

/// The picture's background and frame, decided on the GUI thread when the
/// worker starts: the worker must not read the settings or the application
/// palette, which only the GUI thread may touch.
struct PictureColours
{
    QColor background;
    QColor frame;
};
PictureColours pictureColours;

PictureColours CurrentPictureColours()
{
    if (settings::Settings.Zorva_Colors == 1)
        return {PictureBackgroundColour, PictureFrameColour};
    const QPalette palette = QApplication::palette();
    return {palette.color(QPalette::Button), palette.color(QPalette::Dark)};
}

void Publish(QString& field, const QString& value)
{
    std::lock_guard lock(pictureLock);
    field = value;
}

QString Read(const QString& field)
{
    std::lock_guard lock(pictureLock);
    return field;
}

} // namespace

QString PictureTitle()
{
    return Read(pictureTitle);
}

QString PictureStoryUrl()
{
    return Read(pictureStoryUrl);
}

void StartPictureWorker()
{
    ui::SetImage(ui::no::PictureImage, ui::ImageId::RefreshingPicture);
    runtime::DrainEvents();
    ui::SetCursor(ui::CursorShape::Wait);
    ui::SetTooltip(ui::no::PictureImage, QString());
    {
        std::lock_guard lock(pictureLock);
        pictureColours = CurrentPictureColours();
    }
    PictureWorkerBusy = 1;
    if (runtime::ThreadStart(PictureWorker) != 0) {
        runtime::DrainEvents();
    } else {
        ui::SetImage(ui::no::PictureImage, ui::ImageId::NoPicture);
        PictureWorkerBusy = 0;
    }
}

void PictureWorker()
{
    PictureReady = 0;
    Publish(pictureTitle, QString());
    Publish(lastPictureTooltip, ForceTooltip);
    runtime::FileDelete(runtime::PictureTempPath, true);

    const QString base = runtime::SiteBaseUrl();
    const QString channel = runtime::FetchPageText(base + content::PictureChannelPath);
    const QString storyUrl = content::FindPictureStoryUrl(channel, base);
    Publish(pictureStoryUrl, storyUrl);
    const QString story = runtime::FetchPageText(storyUrl);
    Publish(pictureTitle, content::FindPictureTitle(story));
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
            picturePending = 1;
            if (runtime::GuiReady.load() == 1 && picturePending.exchange(0) == 1)
                ShowPicture();
        }
    } else {
        ui::SetImage(ui::no::PictureImage, ui::ImageId::NoPicture);
    }
    PictureWorkerBusy = 0;
}

void ShowPicture()
{
    QImageReader reader(runtime::PictureTempPath);
    reader.setAllocationLimit(256); // megabytes; a hostile image must not exhaust memory
    const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
    const int side = static_cast<int>(runtime::Scaled(249, runtime::Display.uiScale));
    const std::optional<content::PictureFit> fit =
        decoded.isNull() ? std::nullopt : content::FitPicture(side, decoded.width(), decoded.height());
    if (!fit || side <= 0) {
        ui::SetImage(ui::no::PictureImage, ui::ImageId::NoPicture);
        return;
    }
    PictureColours colours;
    {
        std::lock_guard lock(pictureLock);
        colours = pictureColours;
    }
    const QColor background = colours.background;
    const QColor frame = colours.frame;

    QImage composed(side, side, QImage::Format_ARGB32);
    composed.fill(background);
    QPainter painter(&composed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(fit->x, fit->y, fit->width, fit->height), decoded);
    painter.setPen(frame);
    painter.drawRect(0, 0, side - 1, side - 1);
    painter.end();
    ui::SetPictureImage(ui::no::PictureImage, composed);
}

void ShowPictureHeldDuringStartup()
{
    {
        std::lock_guard lock(pictureLock);
        pictureColours = CurrentPictureColours();
    }
    if (picturePending.exchange(0) == 1)
        ShowPicture();
}

void ApplyPictureTooltip()
{
    QString title;
    {
        std::lock_guard lock(pictureLock);
        if (pictureTitle == lastPictureTooltip)
            return;
        lastPictureTooltip = pictureTitle;
        title = pictureTitle;
    }
    ui::SetTooltip(ui::no::PictureImage, title);
}

void OpenPictureStory()
{
    if (PictureReady.load() == 1)
        OpenInBrowser(PictureStoryUrl());
}

} // namespace app
