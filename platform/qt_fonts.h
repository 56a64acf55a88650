#pragma once
#include "platform/font.h"

#include <QFont>
#include <QStringList>

// Maps the Windows Japanese faces that the settings keep by name onto the installed IPA
// faces. Call once after the application object exists.
void InstallFaceSubstitutions();
// The Windows face names that InstallFaceSubstitutions maps, as the settings spell them.
QStringList SubstitutedFaces();

// The Qt font that draws a font description. A leading '@' (vertical-writing variant) is
// drawn as the face without it.
QFont ToQFont(const TFont& font);

// Copies face, size and style of a Qt font into a description (colour and character set
// are left as they are).
void AssignQFont(TFont& target, const QFont& font);

// `font` followed by the faces that hold what the Japanese faces lack: the CJK extension
// planes, other scripts, emoji. With `emoji` the colour emoji face comes first, so that a
// character the Japanese face draws as text (☺) shows as the picture its cluster asks for.
QFont WithFallbackFaces(const QFont& font, bool emoji);
