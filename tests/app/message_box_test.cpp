#include "app/message_box.h"

#include "window_fixture.h"

#include "runtime/event_queue.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using app::MessageBoxPosition;

namespace {

const QRect FullHd(0, 0, 1920, 1080);
const QRect RightFullHd(1920, 0, 1920, 1080);

QList<QRect> ScreenRects()
{
    QList<QRect> rects;
    for (const QScreen* screen : QGuiApplication::screens())
        rects.append(screen->geometry());
    return rects;
}

/// Puts the main window where a test needs it and back afterwards.
class MainWindowAt
{
public:
    explicit MainWindowAt(const QRect& inner) : saved_(ui::Geometry(ui::id::MainWindow))
    {
        ui::SetGeometry(ui::id::MainWindow, inner);
    }
    ~MainWindowAt() { ui::SetGeometry(ui::id::MainWindow, saved_); }

private:
    QRect saved_;
};

/// Sends a key press or release of Enter or Escape to a focused window of its
/// own, so that the input filter's bookkeeping sees it.
void SendKey(QWidget& target, Qt::Key key, bool press)
{
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

/// The same, after giving the key window the focus back from a closed box.
void RefocusAndSendKey(QWidget& target, Qt::Key key, bool press)
{
    QApplication::setActiveWindow(&target);
    target.setFocus();
    SendKey(target, key, press);
}

} // namespace

TEST(MessageBoxPosition, CentresOnlyWhenEveryCornerIsOnAScreen)
{
    const struct
    {
        const char* probe;
        QRect owner;
        QSize box;
        QList<QRect> screens;
        std::optional<QPoint> expected;
    } rows[] = {
        {"one monitor, centred", QRect(100, 100, 800, 600), QSize(300, 120), {FullHd}, QPoint(350, 340)},
        {"odd leftover halves truncate", QRect(0, 0, 801, 601), QSize(300, 120), {FullHd}, QPoint(250, 240)},
        {"owner smaller than the box: truncation toward zero, not down",
         QRect(500, 500, 101, 101),
         QSize(300, 120),
         {FullHd},
         QPoint(401, 491)},
        {"owner partly off the right edge", QRect(1700, 100, 800, 600), QSize(300, 120), {FullHd}, std::nullopt},
        {"owner partly above the top", QRect(100, -500, 800, 600), QSize(300, 120), {FullHd}, std::nullopt},
        {"owner hidden far away", QRect(-32000, -32000, 160, 28), QSize(300, 120), {FullHd}, std::nullopt},
        {"two monitors, owner on the seam",
         QRect(1500, 200, 800, 600),
         QSize(300, 120),
         {FullHd, RightFullHd},
         QPoint(1750, 440)},
        {"monitor left of the primary, negative coordinates",
         QRect(-400, 200, 800, 600),
         QSize(300, 120),
         {QRect(-1920, 0, 1920, 1080), FullHd},
         QPoint(-150, 440)},
        {"corner in the gap below a shorter second monitor",
         QRect(1500, 500, 800, 600),
         QSize(300, 200),
         {FullHd, QRect(1920, 0, 1280, 720)},
         std::nullopt},
        {"box larger than the screen",
         QRect(0, 0, 1024, 768),
         QSize(1100, 200),
         {QRect(0, 0, 1024, 768)},
         std::nullopt},
        {"box exactly as large as the screen", FullHd, QSize(1920, 1080), {FullHd}, QPoint(0, 0)},
        {"box flush with the right and bottom edges",
         QRect(1120, 480, 800, 600),
         QSize(800, 600),
         {FullHd},
         QPoint(1120, 480)},
        {"box one pixel past the right edge", QRect(1121, 480, 800, 600), QSize(800, 600), {FullHd}, std::nullopt},
        {"box one pixel past the bottom edge", QRect(1120, 481, 800, 600), QSize(800, 600), {FullHd}, std::nullopt},
        {"no screens at all", QRect(100, 100, 800, 600), QSize(300, 120), {}, std::nullopt},
    };
    for (const auto& r : rows)
        EXPECT_EQ(MessageBoxPosition(r.owner, r.box, r.screens), r.expected) << r.probe;
}

TEST(MessageBoxLook, FlagsGiveButtonsDefaultAndIcon)
{
    using B = QMessageBox;
    const struct
    {
        int64_t flags;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::Icon icon;
    } rows[] = {
        {48, B::Ok, B::Ok, B::Warning},                              // the program's notices
        {64, B::Ok, B::Ok, B::Information},                          // name alerts
        {289, B::Ok | B::Cancel, B::Cancel, B::Question},            // the upgrade question
        {1, B::Ok | B::Cancel, B::Ok, B::NoIcon},                    // first button default
        {16, B::Ok, B::Ok, B::Critical},                             // error icon
        {4, B::Yes | B::No, B::Yes, B::NoIcon},                      // Yes/No
        {4 | 256, B::Yes | B::No, B::No, B::NoIcon},                 // second of Yes/No
        {3 | 32, B::Yes | B::No | B::Cancel, B::Yes, B::Question},   // Yes/No/Cancel
        {3 | 512, B::Yes | B::No | B::Cancel, B::Cancel, B::NoIcon}, // third button default
        {512, B::Ok, B::Ok, B::NoIcon},                              // default beyond the buttons: the first
        {4 | 768, B::Yes | B::No, B::Yes, B::NoIcon},                // fourth button of two: the first
        {2, B::Ok, B::Ok, B::NoIcon},                                // button sets the program never uses: OK
        {80, B::Ok, B::Ok, B::NoIcon},                               // no such icon value
        {0x2000 | 0x10000 | 0x40000 | 48, B::Ok, B::Ok, B::Warning}, // task-modal, foreground, topmost ignored
    };
    for (const auto& r : rows) {
        const app::MessageBoxLook look = app::MessageBoxLookOf(r.flags);
        EXPECT_EQ(look.buttons, r.buttons) << r.flags;
        EXPECT_EQ(look.defaultButton, r.defaultButton) << r.flags;
        EXPECT_EQ(look.icon, r.icon) << r.flags;
    }
}

TEST(MessageBoxLook, ButtonsGiveTheClassicIdentifiers)
{
    EXPECT_EQ(app::ButtonIdentifier(QMessageBox::Ok), 1);
    EXPECT_EQ(app::ButtonIdentifier(QMessageBox::Cancel), 2);
    EXPECT_EQ(app::ButtonIdentifier(QMessageBox::Yes), 6);
    EXPECT_EQ(app::ButtonIdentifier(QMessageBox::No), 7);
    EXPECT_EQ(app::ButtonIdentifier(QMessageBox::Abort), 0); // never shown
    EXPECT_EQ(app::ButtonIdentifier(QMessageBox::NoButton), 0);
}

TEST(ShowMessageBox, RealBoxOverTheMainWindowReturnsTheButtonClicked)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // The main window stays hidden: the box is still owned by it and centred on it.
    const MainWindowAt placed(QRect(screen.x() + 40, screen.y() + 30, 700, 500));
    QWidget* owner = ui::Widget(ui::id::MainWindow);

    const QString question = QStringLiteral("Update all selected apps? <b>not markup</b>");
    bool inspected = false;
    apptest::WhenBoxOpens([&](QMessageBox& box) -> QAbstractButton* {
        inspected = true;
        EXPECT_EQ(box.parentWidget(), owner);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Confirm"));
        EXPECT_EQ(box.text(), question);
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
        // No title-bar icon: the one it has is fully transparent, not the owner's.
        const QImage icon = box.windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_FALSE(icon.isNull());
        bool blank = true;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                blank = blank && qAlpha(icon.pixel(x, y)) == 0;
        EXPECT_TRUE(blank);
        // Centred on the owner's outer rectangle, each leftover half truncated.
        // Qt's own centring halves the two widths separately, which is a pixel
        // off for an odd box on an even owner, so equality shows the rule ran.
        const QRect b = box.frameGeometry();
        const QRect o = owner->frameGeometry();
        EXPECT_EQ(b.topLeft(), QPoint(o.x() + (o.width() - b.width()) / 2, o.y() + (o.height() - b.height()) / 2))
            << "box " << b.width() << " x " << b.height() << ", owner " << o.width() << " x " << o.height();
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Cancel));
        return nullptr; // the default button: the second one
    });
    EXPECT_EQ(app::ShowMessageBox(QStringLiteral("Confirm"), question, 289), app::IdCancel);
    EXPECT_TRUE(inspected);

    apptest::WhenBoxOpens([](QMessageBox& box) { return box.button(QMessageBox::Ok); });
    EXPECT_EQ(app::ShowMessageBox(QStringLiteral("Confirm"), question, 289), app::IdOk);

    const struct
    {
        int64_t flags;
        QMessageBox::StandardButton click;
        int expected;
    } rows[] = {
        {48, QMessageBox::NoButton, app::IdOk}, // a notice's only button
        {4 | 256, QMessageBox::NoButton, app::IdNo},
        {4, QMessageBox::Yes, app::IdYes},
        {3, QMessageBox::Cancel, app::IdCancel},
    };
    for (const auto& r : rows) {
        apptest::WhenBoxOpens(
            [&r](QMessageBox& box) { return r.click != QMessageBox::NoButton ? box.button(r.click) : nullptr; });
        EXPECT_EQ(app::ShowMessageBox(QStringLiteral("Failure"), QStringLiteral("text"), r.flags), r.expected)
            << r.flags;
    }
}

TEST(ShowMessageBox, OwnerOffTheScreensKeepsTheSystemPosition)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const MainWindowAt placed(QRect(-32000, -32000, 700, 500));
    const QList<QRect> screens = ScreenRects();
    bool inspected = false;
    apptest::WhenBoxOpens([&](QMessageBox& box) -> QAbstractButton* {
        inspected = true;
        const QRect where = box.frameGeometry();
        const QRect owner = ui::OuterGeometry(ui::id::MainWindow);
        const QPoint candidate(owner.x() + (owner.width() - where.width()) / 2,
                               owner.y() + (owner.height() - where.height()) / 2);
        EXPECT_NE(where.topLeft(), candidate);
        EXPECT_FALSE(MessageBoxPosition(owner, where.size(), screens).has_value());
        return nullptr;
    });
    EXPECT_EQ(app::ShowMessageBox(QStringLiteral("Failure"), QStringLiteral("far away"), 48), app::IdOk);
    EXPECT_TRUE(inspected);
}

TEST(ShowMessageBox, WaitsWhileEnterAndEscapeAreBothHeld)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    ui::InstallInputFilter(nullptr, 0); // bookkeeping only, no shortcut windows
    QWidget keyTarget;
    keyTarget.setFocusPolicy(Qt::StrongFocus);
    keyTarget.show();
    QApplication::setActiveWindow(&keyTarget);
    keyTarget.setFocus();

    SendKey(keyTarget, Qt::Key_Return, true);
    SendKey(keyTarget, Qt::Key_Escape, true);
    ASSERT_TRUE(ui::KeyHeld(ui::VkEnter) && ui::KeyHeld(ui::VkEscape));

    // Closed while both are held: the call returns only after Escape is let go.
    bool released = false;
    apptest::WhenBoxOpens([&](QMessageBox&) -> QAbstractButton* {
        QTimer::singleShot(50, [&] {
            released = true;
            RefocusAndSendKey(keyTarget, Qt::Key_Escape, false);
        });
        return nullptr;
    });
    EXPECT_EQ(app::ShowMessageBox(QStringLiteral("Failure"), QStringLiteral("held"), 48), app::IdOk);
    EXPECT_TRUE(released);
    EXPECT_FALSE(ui::KeyHeld(ui::VkEscape));

    // Only one of them held: no wait at all (the release above never comes).
    released = false;
    ASSERT_TRUE(ui::KeyHeld(ui::VkEnter));
    apptest::WhenBoxOpens([&](QMessageBox&) -> QAbstractButton* {
        QTimer::singleShot(50, [&] { released = true; });
        return nullptr;
    });
    EXPECT_EQ(app::ShowMessageBox(QStringLiteral("Failure"), QStringLiteral("one held"), 48), app::IdOk);
    EXPECT_FALSE(released);

    // Both "held" for ever (their releases went to no window of ours): the
    // wait ends by itself instead of hanging the program.
    RefocusAndSendKey(keyTarget, Qt::Key_Escape, true);
    ASSERT_TRUE(ui::KeyHeld(ui::VkEnter) && ui::KeyHeld(ui::VkEscape));
    apptest::WhenBoxOpens([](QMessageBox&) -> QAbstractButton* { return nullptr; });
    EXPECT_EQ(app::ShowMessageBox(QStringLiteral("Failure"), QStringLiteral("stuck"), 48), app::IdOk);

    RefocusAndSendKey(keyTarget, Qt::Key_Return, false);
    RefocusAndSendKey(keyTarget, Qt::Key_Escape, false);
    EXPECT_FALSE(ui::KeyHeld(ui::VkEnter) || ui::KeyHeld(ui::VkEscape));
}

TEST(ShowMessageBox, EnterAndEscapeAnswerTheBoxAndAreNotReplayedAfterwards)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    // Bound as start-up binds them: in these windows the keys are the program's.
    const int64_t bound[] = {ui::id::MainWindow, ui::id::SettingsWindow};
    ui::InstallInputFilter(bound, 2);
    ui::ShowWindow(ui::id::MainWindow);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ui::Widget(ui::id::MainWindow)));

    const struct
    {
        const char* probe;
        int64_t flags;
        Qt::Key key;
        int expected;
    } rows[] = {
        {"Enter takes the default button", app::FlagsOkCancel, Qt::Key_Return, app::IdOk},
        {"Enter takes the second button when it is the default", 289, Qt::Key_Return, app::IdCancel},
        {"Escape takes Cancel", app::FlagsOkCancel, Qt::Key_Escape, app::IdCancel},
        {"Escape closes a notice", app::FlagsWarningIcon, Qt::Key_Escape, app::IdOk},
    };
    for (const auto& r : rows) {
        runtime::DrainEvents();
        bool answeredByKey = false;
        apptest::WhenBoxOpens([&](QMessageBox& box) -> QAbstractButton* {
            box.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&box)) << r.probe;
            QTest::keyClick(QApplication::focusWidget(), r.key);
            answeredByKey = !box.isVisible();
            if (!answeredByKey)
                box.done(0); // the key did nothing; end the box so the test goes on
            return nullptr;
        });
        const int answer = app::ShowMessageBox(QStringLiteral("Confirm"), QStringLiteral("keys"), r.flags);
        EXPECT_TRUE(answeredByKey) << r.probe;
        if (answeredByKey) {
            EXPECT_EQ(answer, r.expected) << r.probe;
        }
        // The key belonged to the box: the main loop must not see it afterwards.
        for (int32_t kind; (kind = runtime::PollEvent()) != 0;)
            EXPECT_NE(kind, runtime::EvKeyDown) << r.probe << ": key " << runtime::EventParam() << " replayed";
    }
}
