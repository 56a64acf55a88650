#include "calendar/cal_ex_paint.h"

#include "platform/qt_colors.h"
#include "platform/qt_contrast.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPalette>

QString ShortDayName(int weekday) {
    // Qt counts Monday = 1 .. Sunday = 7.
    return QLocale().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
}

QColor OrColor(TColor color, TColor tint) {
    return ToQColor(FromQColor(ToQColor(color)) | FromQColor(ToQColor(tint)));
}

QColor PaintedBackground(TColor color) {
    if (color == clNone && HighContrastScheme()) return QGuiApplication::palette().color(QPalette::Base);
    return ToQColor(color);
}
