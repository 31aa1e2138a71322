#pragma once

#include <QByteArray>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QAbstractButton;
class QImage;

namespace apptest {

/// Creates the program's real windows once per process, as start-up does:
/// 96-DPI display metrics, default settings, then the main window, the
/// refreshing window, the settings window and the main window's controls, all
/// hidden. Later calls only report the first outcome, since every number can
/// be taken only once. Needs a QApplication. GUI thread.
bool CreateProgramWindows();

/// The caption and text of a message box, once it has been seen.
struct BoxSeen
{
    QString title;
    QString text;
};

/// Runs `inspect` on the next message box once it shows, then closes the box
/// through the button `inspect` returns (null: the box's default button),
/// unless `inspect` closed it already. For code that shows a box while a test
/// drives it. GUI thread.
void WhenBoxOpens(std::function<QAbstractButton*(QMessageBox&)> inspect);

/// Answers the next message box with `button` (the default button when the
/// box has no such button) as soon as it shows, keeping its texts. GUI thread.
std::shared_ptr<BoxSeen> AnswerNextBox(QMessageBox::StandardButton button = QMessageBox::Ok);

/// `image` as the bytes of a PNG file, as the site serves a picture; empty
/// when it cannot be encoded.
QByteArray PngBytes(const QImage& image);

} // namespace apptest
