#pragma once

#include <QList>
#include <QMessageBox>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace app {

// Questions and notices while the program runs, in the classic message-box
// terms: the caller passes the classic flags and gets the classic button
// identifier back.

/// Button identifiers returned by ShowMessageBox.
constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int IdYes = 6;
constexpr int IdNo = 7;

/// Flag values the program passes.
constexpr int64_t FlagsOkCancel = 1;
constexpr int64_t FlagsYesNoCancel = 3;
constexpr int64_t FlagsYesNo = 4;
constexpr int64_t FlagsErrorIcon = 16;
constexpr int64_t FlagsQuestionIcon = 32;
constexpr int64_t FlagsWarningIcon = 48;
constexpr int64_t FlagsInformationIcon = 64;
constexpr int64_t FlagsSecondDefault = 256;
constexpr int64_t FlagsThirdDefault = 512;

/// Buttons, default button and icon of a box.
struct MessageBoxLook
{
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

/// The look the flags ask for. Low 4 bits: 0 OK, 1 OK/Cancel, 3 Yes/No/Cancel,
/// 4 Yes/No (any other value: OK). Bits 4-7: 16 error, 32 question, 48 warning,
/// 64 information (any other value: no icon). Bits 8-11: 256 second, 512 third
/// button default (a button the box does not have: the first). Pure.
MessageBoxLook MessageBoxLookOf(int64_t flags);

/// 1 OK, 2 Cancel, 6 Yes, 7 No; 0 for any other button. Pure.
int ButtonIdentifier(QMessageBox::StandardButton button);

/// Where a box of `boxSize` goes over an owner whose outer rectangle is
/// `owner`: centred (halves truncated toward zero) when the whole box lies on
/// the screens, none when any corner would be off them (the caller then keeps
/// the system's position). Pixels, screen coordinates. Pure.
std::optional<QPoint> MessageBoxPosition(const QRect& owner, const QSize& boxSize, const QList<QRect>& screens);

/// Shows a modal box owned by MainWindow (also while that is hidden), always
/// on top, without a title-bar icon, centred over its owner where that fits
/// on the screens; returns the identifier of the button that closed it. After
/// closing, waits while Enter and Escape are both held. GUI thread only.
int ShowMessageBox(const QString& caption, const QString& text, int64_t flags);

/// A start-up failure notice: a plain box without owner, caption AppTitle,
/// the error icon and OK. Returns when the user has closed it. GUI thread.
void ShowStartupFailure(const QString& text);

} // namespace app
