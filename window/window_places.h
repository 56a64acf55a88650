#pragma once
// What the window knows of where it runs, for choosing its folders (program_places.h).
#include "app/program_places.h"

// Everything but the diary folders named on the command line or in MEKURI_DIARY; needs
// the application object.
TPlacesInput WindowPlacesInput();
