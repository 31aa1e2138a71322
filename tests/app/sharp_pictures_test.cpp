#include "app/picture_of_the_day.h"
#include "app/shell_state.h"
#include "runtime/app_paths.h"
#include "runtime/display_metrics.h"
#include "runtime/process_state.h"
#include "support/test_files.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/pixel_ratio.h"
#include "window_fixture.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// The images and the picture of the day on the screen's own pixels. Built
// into app_test, on a plain screen, and into app_hidpi_test, on a screen
// scaled to 200 % with a second one at 300 % beside it.

namespace {

constexpr qreal ScreenRatio = ZORVANE_SCREEN_RATIO;

/// The image controls of `window` whose picture is not drawn at `ratio`
/// device pixels per logical pixel of the control, each with what it shows.
QStringList NotDrawnAt(int64_t window, qreal ratio)
{
    QStringList wrong;
    for (const int64_t number : ui::Numbers()) {
        const QPixmap shown = ui::Picture(number);
        if (shown.isNull() || ui::WindowOf(number) != window)
            continue;
        const QSize logical = ui::Geometry(number).size();
        if (shown.devicePixelRatio() != ratio || shown.size() != logical * ratio)
            wrong << QStringLiteral("%1: %2 x %3 device pixels at ratio %4 for %5 x %6")
                         .arg(QString::fromLatin1(ui::ControlName(number)))
                         .arg(shown.width())
                         .arg(shown.height())
                         .arg(shown.devicePixelRatio())
                         .arg(logical.width())
                         .arg(logical.height());
    }
    return wrong;
}

/// Writes a 400 x 200 blue photo where the picture worker leaves its download.
void DownloadBluePhoto(const QTemporaryDir& dir)
{
    runtime::PictureTempPath = dir.filePath("Zorvane_POTD");
    QImage photo(400, 200, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    testsupport::WriteBytes(runtime::PictureTempPath, apptest::PngBytes(photo));
}

} // namespace

TEST(SharpPictures, ImagesAreDrawnInTheScreensPixelsAtTheirSizeInTheLayout)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), ScreenRatio);
    for (const int64_t window : {ui::id::MainWindow, ui::id::RefreshingWindow})
        EXPECT_EQ(NotDrawnAt(window, ScreenRatio).join("; ").toStdString(), "") << ui::ControlName(window);
    EXPECT_EQ(ui::Geometry(ui::id::VisitSiteImage).size(), QSize(40, 40)); // the layout is the plain screen's
}

TEST(SharpPictures, ThePictureOfTheDayIsComposedInTheScreensPixels)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    QTemporaryDir dir;
    DownloadBluePhoto(dir);
    app::ShowPicture();
    const int side = static_cast<int>(runtime::Scaled(249, runtime::Display.uiScale));
    EXPECT_EQ(ui::Geometry(ui::id::PictureImage).size(), QSize(side, side));
    const QPixmap shown = ui::Picture(ui::id::PictureImage);
    EXPECT_EQ(shown.devicePixelRatio(), ScreenRatio);
    EXPECT_EQ(shown.size(), QSize(side, side) * ScreenRatio);
    // The frame is one logical pixel wide; the photo starts right after it.
    const QImage pixels = shown.toImage();
    const int middle = pixels.height() / 2;
    const int line = static_cast<int>(ScreenRatio);
    EXPECT_NE(pixels.pixelColor(0, middle), QColor(Qt::blue));
    EXPECT_EQ(pixels.pixelColor(line - 1, middle), pixels.pixelColor(0, middle));
    EXPECT_EQ(pixels.pixelColor(line, middle), QColor(Qt::blue));
}

TEST(SharpPictures, AWindowMovedToAScreenWithAnotherRatioIsDrawnAgain)
{
    if (QGuiApplication::screens().size() < 2)
        GTEST_SKIP() << "app_hidpi_test has the second screen";
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const QScreen* other = QGuiApplication::screens().at(1);
    ASSERT_NE(other->devicePixelRatio(), ScreenRatio);
    QTemporaryDir dir;
    DownloadBluePhoto(dir);
    runtime::GuiReady = 1;
    app::PictureReady = 1; // the picture of the day is loaded and shown
    app::ShowPicture();

    ui::ShowWindow(ui::id::MainWindow);
    ui::Move(ui::id::MainWindow, other->geometry().x() + 10, other->geometry().y() + 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui::PixelRatio(ui::id::MainWindow) == other->devicePixelRatio(); }));
    EXPECT_EQ(NotDrawnAt(ui::id::MainWindow, other->devicePixelRatio()).join("; ").toStdString(), "");

    ui::HideWindow(ui::id::MainWindow);
    app::PictureReady = 0;
    runtime::GuiReady = 0;
}
