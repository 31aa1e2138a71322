// The least a Qt Widgets program in the tray costs: one plain window of the
// main window's default size and a tray icon, nothing else. bench/idle_cost.sh
// runs it beside the program and divides by its figures. With --tray the
// window is never shown, as when the program starts in the tray.

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // The main window's default inner size: 1200 x 700 design units at the
    // screen's scale (1152 x 672 at 96 DPI).
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double scale = screen != nullptr ? screen->logicalDotsPerInchX() / 100.0 : 0.96;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Qt floor"));
    window.resize(qRound(1200 * scale), qRound(700 * scale));

    QPixmap picture(16, 16);
    picture.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.show();

    if (argc < 2 || std::strcmp(argv[1], "--tray") != 0)
        window.show();
    return QApplication::exec();
}
