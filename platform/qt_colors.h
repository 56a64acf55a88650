#pragma once
#include "platform/color.h"

#include <QColor>

// Resolves a stored colour for painting: system indices through the palette, "no colour"
// (and any other value outside the two forms) as its low 24 bits.
QColor ToQColor(TColor color);

// An explicit colour value (0x00BBGGRR) for a Qt colour.
TColor FromQColor(const QColor& color);
