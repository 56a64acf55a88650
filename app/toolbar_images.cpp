#include "app/toolbar_images.h"

#include <QPainter>
#include <QPixmap>

namespace {

struct Picture {
    const char* glyph;  // one character that says what the button does
    QRgb color;
};

constexpr Picture kPictures[] = {
    {"写", 0xFF205080}, {"保", 0xFF206020}, {"切", 0xFF902020}, {"貼", 0xFF805020},
    {"印", 0xFF404040}, {"字", 0xFF203090}, {"色", 0xFFA03070},
};

}  // namespace

QIcon ToolbarImage(int index) {
    const Picture& p = kPictures[index];
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor::fromRgb(p.color));
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont f(QStringLiteral("IPAGothic"));
    f.setPixelSize(12);
    f.setBold(true);
    painter.setFont(f);
    painter.drawText(pm.rect(), Qt::AlignCenter, QString::fromUtf8(p.glyph));
    return QIcon(pm);
}
