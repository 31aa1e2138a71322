#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

// zorvane-icon-render SVG FOLDER NAME SIZE...: draws the SVG picture as a
// square PNG with a transparent background for each SIZE in pixels, at
// FOLDER/<SIZE>x<SIZE>/apps/NAME.png, the layout of the hicolor icon theme.
// Runs at build time. Exit status 2 for a wrong command line, 1 when the
// picture cannot be read or a file cannot be written.
int main(int argc, char** argv)
{
    // No GUI application and no display: painting into a QImage needs
    // neither while the picture holds no text.
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5) {
        std::fputs("usage: zorvane-icon-render SVG FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer picture(args[1]);
    if (!picture.isValid()) {
        std::fprintf(stderr, "zorvane-icon-render: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    for (qsizetype i = 4; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "zorvane-icon-render: not a size in pixels: %s\n", qPrintable(args[i]));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        picture.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
        const QString file = folder + u'/' + args[3] + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "zorvane-icon-render: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
