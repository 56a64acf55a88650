#pragma once
// The program's way to the window library (see window/window_entry.h). It is looked for only
// where this build put it: beside the program in the build tree, or in the library
// folder of the installed layout, both found from the program's own file, never through
// the library search path or the current folder, where anyone could leave a library.
#include "cli/command_export.h"

#include <string>
#include <vector>

// The places looked at, in order, for the program file `programFile`.
std::vector<std::string> WindowLibraryPlaces(const std::string& programFile);

// Opens the window through the library and returns its exit status; when the library
// cannot be loaded, says why on standard error and returns 1.
int RunWindowFromLibrary(int argc, char** argv);

// The PDF writer given to `mekuri export`: the library's, or the message of why the
// library could not be loaded.
std::string ExportPdfFromLibrary(const TPdfExportRequest& request, std::vector<TYMD>& brokenDays);
