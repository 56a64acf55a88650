#include "window/toolbar_images.h"

#include <QImage>
#include <QPixmap>
#include <QResource>

#include <initializer_list>

namespace {

// Icon names of the freedesktop icon themes; the shipped pictures carry the
// same names.
constexpr const char* kNames[] = {
    "edit-copy", "document-save", "edit-cut", "edit-paste", "document-print", "preferences-desktop-font",
    "preferences-desktop-color", "go-previous", "go-next",
};

// The pictures are rendered from their SVG drawings when the program is built, to raw
// premultiplied pixels of each size listed in the build (window/CMakeLists.txt).
QIcon RenderedIcon(const QString& name, std::initializer_list<int> sizes) {
    QIcon icon;
    for (int size : sizes) {
        const QByteArray pixels = QResource(QStringLiteral(":/mekuri/%1-%2.argb").arg(name).arg(size)).uncompressedData();
        if (pixels.size() != qsizetype(size) * size * 4) continue;
        // The picture may share the pixels it is made from, which go with `pixels`: copy them.
        const QImage view(reinterpret_cast<const uchar*>(pixels.constData()), size, size, size * 4,
                          QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(view.copy()));
    }
    return icon;
}

}  // namespace

QIcon ToolbarImage(int index) {
    const QString name = QString::fromLatin1(kNames[index]);
    return QIcon::fromTheme(name, RenderedIcon(name, {16, 32}));
}

QIcon MekuriIcon() { return RenderedIcon(QStringLiteral("mekuri"), {16, 24, 32, 48, 64, 128}); }

QPixmap MekuriPicture(int size) { return RenderedIcon(QStringLiteral("mekuri"), {size}).pixmap(size, size); }
