// Renders one of the program's SVG icons at the given size: to a PNG for the icon theme
// folders that the desktop menu reads (some desktops show only PNG icons), or, for an
// output named *.argb, to the raw premultiplied 32-bit pixels in this machine's byte order
// that the program builds its pictures from, so that it parses no SVG while it starts.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: render_icon ICON.svg SIZE OUT.png|OUT.argb\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[2]);
    if (!svg.isValid() || size <= 0) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    const QString out = QString::fromLocal8Bit(argv[3]);
    if (out.endsWith(QLatin1String(".argb"))) {
        QFile file(out);
        const auto bytes = static_cast<qint64>(image.sizeInBytes());
        const bool written = file.open(QIODevice::WriteOnly) &&
                             file.write(reinterpret_cast<const char*>(image.constBits()), bytes) == bytes;
        return written && file.flush() ? 0 : 1;
    }
    return image.save(out, "PNG") ? 0 : 1;
}
