#pragma once
// Carries a window's placement between a Qt window and the settings file: the normal
// (restored) geometry, the maximised and minimised states and the screen the window
// maximises on, in the eight keys TIniStore::ReadPosition and WritePosition keep.
#include "settings/ini_store.h"
#include "settings/window_placement.h"

#include <string>

class QWidget;

// Right and bottom are the edges just past the client area, as the placement stores them.
TWindowPlacement GetWindowPlacement(const QWidget& window);

// Applies position, size and state at once. A rectangle that lies off every screen is
// moved onto the primary one and an empty one keeps the window's size, so a stale or
// damaged file can never leave the window out of reach; a hidden show state counts as
// normal for the same reason. Whether the window is shown stays the owner's business.
void SetWindowPlacement(QWidget& window, const TWindowPlacement& placement);

// The window's current placement gives the defaults for the keys the file lacks.
void ReadWindowPosition(const TIniStore& store, const std::string& section, const std::string& name, QWidget& window);
void WriteWindowPosition(TIniStore& store, const std::string& section, const std::string& name, const QWidget& window);
