#include "window/toolbar_images.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace {

QImage FromSvg(const QString& name, int size) {
    QSvgRenderer svg(QStringLiteral(MEKURI_SOURCE_DIR "/resources/icons/%1.svg").arg(name));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    return image;
}

QImage FromIcon(const QIcon& icon, int size) {
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

// The pictures are rendered when the program is built; what it shows must be exactly the
// drawings, at each size it carries (colours in the right byte order included).
TEST(ToolbarImages, ShownPixelsAreTheDrawingsRenderedAtEachSize) {
    const char* names[] = {"edit-copy", "document-save", "edit-cut", "edit-paste", "document-print",
                           "preferences-desktop-font", "preferences-desktop-color"};
    for (int i = 0; i < 7; ++i)
        for (int size : {16, 32}) EXPECT_EQ(FromIcon(ToolbarImage(i), size), FromSvg(names[i], size)) << names[i] << size;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        EXPECT_EQ(FromIcon(MekuriIcon(), size), FromSvg("mekuri", size)) << size;
        EXPECT_EQ(MekuriPicture(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  FromSvg("mekuri", size)) << size;
    }
}
