#pragma once
// The editor's drawing surface as its hooks see it while a row is drawn: the font and
// brush that the next word will be output with (OnBeforeDrawWord may change them) and the
// painter itself for drawing over a row (OnDrawLine).
#include "platform/color.h"
#include "platform/font.h"

class QPainter;

struct TEditorCanvas {
    TFont Font;
    TColor BrushColor = clWindow;
    // Valid only while the editor paints; nullptr otherwise.
    QPainter* Painter = nullptr;
};
