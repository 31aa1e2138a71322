#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/pixel_ratio.h"
#include "window_fixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

// The images on the screen's own pixels. Built into app_test, on a plain
// screen, and into app_hidpi_test, on a screen scaled to 200 % with a second
// one at 300 % beside it.

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

} // namespace

TEST(SharpPictures, ImagesAreDrawnInTheScreensPixelsAtTheirSizeInTheLayout)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), ScreenRatio);
    for (const int64_t window : {ui::id::MainWindow, ui::id::RefreshingWindow})
        EXPECT_EQ(NotDrawnAt(window, ScreenRatio).join("; ").toStdString(), "") << ui::ControlName(window);
    EXPECT_EQ(ui::Geometry(ui::id::VisitSiteImage).size(), QSize(40, 40)); // the layout is the plain screen's
}

TEST(SharpPictures, AWindowMovedToAScreenWithAnotherRatioIsDrawnAgain)
{
    if (QGuiApplication::screens().size() < 2)
        GTEST_SKIP() << "app_hidpi_test has the second screen";
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const QScreen* other = QGuiApplication::screens().at(1);
    ASSERT_NE(other->devicePixelRatio(), ScreenRatio);

    ui::ShowWindow(ui::id::MainWindow);
    ui::Move(ui::id::MainWindow, other->geometry().x() + 10, other->geometry().y() + 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui::PixelRatio(ui::id::MainWindow) == other->devicePixelRatio(); }));
    EXPECT_EQ(NotDrawnAt(ui::id::MainWindow, other->devicePixelRatio()).join("; ").toStdString(), "");

    ui::HideWindow(ui::id::MainWindow);
}
