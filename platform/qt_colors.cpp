#include "platform/qt_colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor SystemQColor(int index) {
    QPalette pal = QGuiApplication::palette();
    switch (index) {
        case 2: return pal.color(QPalette::Active, QPalette::Highlight);  // active caption
        case 5: return pal.color(QPalette::Base);
        case 8: return pal.color(QPalette::Text);
        case 13: return pal.color(QPalette::Highlight);
        case 14: return pal.color(QPalette::HighlightedText);
        case 15: return pal.color(QPalette::Button);
        case 16: return pal.color(QPalette::Mid);
        case 21: return pal.color(QPalette::Shadow);
        case 23: return pal.color(QPalette::ToolTipText);
        case 24: return pal.color(QPalette::ToolTipBase);
        default: return pal.color(QPalette::Window);
    }
}

}  // namespace

QColor ToQColor(TColor color) {
    if (IsSystemColor(color)) return SystemQColor(SystemColorIndex(color));
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

TColor FromQColor(const QColor& color) { return RGBColor(color.red(), color.green(), color.blue()); }
