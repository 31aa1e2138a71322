#include "app/message_box.h"

#include "runtime/app_identity.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/input_events.h"
#include "ui/window_system.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace app {

namespace {

/// Key releases reach the program only through its own windows; one that
/// lands nowhere (the owner hidden, another program in front) would leave a
/// key "held" for ever, so the wait after closing has an end of its own.
constexpr int64_t MaxHeldKeysWaitMs = 2000;

/// The buttons of the low four flag bits, left to right as the flags name them.
std::vector<QMessageBox::StandardButton> ButtonsOf(int64_t flags)
{
    switch (flags & 0xF) {
    case FlagsOkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case FlagsYesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case FlagsYesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    default:
        return {QMessageBox::Ok};
    }
}

bool OnSomeScreen(int64_t x, int64_t y, const QList<QRect>& screens)
{
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& s) {
        return x >= s.left() && x <= s.right() && y >= s.top() && y <= s.bottom();
    });
}

/// A title-bar icon that shows nothing: an empty QIcon would let the box
/// inherit the owner's icon.
QIcon BlankIcon()
{
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

void PlaceOverOwner(QMessageBox& box)
{
    const QWidget* owner = box.parentWidget();
    // Without a known place (Wayland) the compositor centres the box over its
    // parent window itself.
    if (owner == nullptr || !ui::WindowPlacementKnown())
        return;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    if (const auto position = MessageBoxPosition(owner->frameGeometry(), box.frameGeometry().size(), screens))
        box.move(*position);
}

/// The identifier when the box closed without a button being clicked (the
/// owner went away): what Escape would have given.
int ClosedWithoutButton(QMessageBox::StandardButtons buttons)
{
    if (buttons.testFlag(QMessageBox::Cancel))
        return IdCancel;
    if (buttons.testFlag(QMessageBox::No))
        return IdNo;
    return IdOk;
}

} // namespace

MessageBoxLook MessageBoxLookOf(int64_t flags)
{
    MessageBoxLook look;
    const std::vector<QMessageBox::StandardButton> buttons = ButtonsOf(flags);
    look.buttons = QMessageBox::NoButton;
    for (const QMessageBox::StandardButton button : buttons)
        look.buttons |= button;
    const size_t defaultIndex = static_cast<size_t>((flags >> 8) & 0xF);
    look.defaultButton = defaultIndex < buttons.size() ? buttons[defaultIndex] : buttons.front();
    switch (flags & 0xF0) {
    case FlagsErrorIcon:
        look.icon = QMessageBox::Critical;
        break;
    case FlagsQuestionIcon:
        look.icon = QMessageBox::Question;
        break;
    case FlagsWarningIcon:
        look.icon = QMessageBox::Warning;
        break;
    case FlagsInformationIcon:
        look.icon = QMessageBox::Information;
        break;
    default:
        look.icon = QMessageBox::NoIcon;
        break;
    }
    return look;
}

int ButtonIdentifier(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IdOk;
    case QMessageBox::Cancel:
        return IdCancel;
    case QMessageBox::Yes:
        return IdYes;
    case QMessageBox::No:
        return IdNo;
    default:
        return 0;
    }
}

std::optional<QPoint> MessageBoxPosition(const QRect& owner, const QSize& boxSize, const QList<QRect>& screens)
{
    const int64_t w = boxSize.width();
    const int64_t h = boxSize.height();
    // C++ division truncates toward zero, also for an owner smaller than the box.
    const int64_t x = owner.left() + (int64_t{owner.width()} - w) / 2;
    const int64_t y = owner.top() + (int64_t{owner.height()} - h) / 2;
    // The far corners are taken as the box's last column and row of pixels,
    // so a box that exactly fills a screen counts as on it, and a box on two
    // monitors side by side counts as on them when each corner pixel is on one.
    const int64_t right = x + std::max<int64_t>(w - 1, 0);
    const int64_t bottom = y + std::max<int64_t>(h - 1, 0);
    for (const auto& [cx, cy] : {std::pair{x, y}, std::pair{right, y}, std::pair{x, bottom}, std::pair{right, bottom}})
        if (!OnSomeScreen(cx, cy, screens))
            return std::nullopt;
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

int ShowMessageBox(const QString& caption, const QString& text, int64_t flags)
{
    const MessageBoxLook look = MessageBoxLookOf(flags);
    QMessageBox box(look.icon, caption, text, look.buttons, ui::Widget(ui::id::MainWindow));
    box.setTextFormat(Qt::PlainText); // names from the site must not be read as markup
    box.setDefaultButton(look.defaultButton);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setWindowIcon(BlankIcon());
    // The box has its real size only once it is shown; place it then, and
    // bring it to the front as the owner may be hidden or behind others.
    QTimer::singleShot(0, &box, [&box] {
        PlaceOverOwner(box);
        box.raise();
        box.activateWindow();
    });
    box.exec();

    QAbstractButton* clicked = box.clickedButton();
    const int identifier =
        clicked != nullptr ? ButtonIdentifier(box.standardButton(clicked)) : ClosedWithoutButton(look.buttons);

    // Enter and Escape held together would go on to the window below.
    ui::WaitWhileHeld({ui::VkEnter, ui::VkEscape}, MaxHeldKeysWaitMs);
    return identifier;
}

void ShowStartupFailure(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, runtime::AppTitle, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace app
