#pragma once
// The desktop's high-contrast colour schemes, as the self-drawn widgets follow them.
#include <QColor>
#include <QPalette>

// Whether the application palette is a high-contrast scheme: its text on window, base,
// button, selection and tool tip all at 7:1 or more. MEKURI_HIGH_CONTRAST settles it
// instead: "on" or "off", or "dark" / "light" (see UseHighContrastSetting).
bool HighContrastScheme();

// The colour drawn for text or a mark of `color` on `background`: the user's colour as it
// is, except under a high-contrast scheme where it falls short of 4.5:1; then the nearest
// colour of the same hue that reaches it (see Readable), or for a grey (black included)
// the scheme's text colour.
QColor ReadableColor(const QColor& color, const QColor& background);

// A dark (white on black, yellow selection) or light (black on white, navy selection)
// high-contrast palette.
QPalette HighContrastPalette(bool dark);

// MEKURI_HIGH_CONTRAST=dark or light makes the application use HighContrastPalette, for a
// desktop that does not hand its scheme to the program (and for looking at the window).
void UseHighContrastSetting();
