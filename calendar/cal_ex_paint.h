#pragma once
// Small drawing aids shared by the two calendar views.
#include "calendar/grid_layout.h"
#include "platform/color.h"

#include <QColor>
#include <QRect>
#include <QString>

// The abbreviated weekday name of the user's locale; 0 = Sunday.
QString ShortDayName(int weekday);

// A colour tinted by another: the bitwise OR of both as explicit colours. System colours
// are resolved first, so the OR never lands on a meaningless system colour index.
QColor OrColor(TColor color, TColor tint);

// The background a calendar of colour `color` is drawn on: under a high-contrast scheme
// "no colour" is the desktop's base colour rather than white, so a dark scheme stays dark.
QColor PaintedBackground(TColor color);

inline QRect ToQRect(const TCellRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
