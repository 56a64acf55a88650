#pragma once
// `mekuri export`: the hand-over of PDF writing. Drawing pages needs Qt's painter, which
// the command line's library does not link, so the program hands its writer in before it
// runs a command.
#include "calendar/julius.h"

#include <string>
#include <vector>

struct TPdfExportRequest {
    std::string folder;
    std::vector<TYMD> days;  // days with a file, oldest first; empty files are left out
    std::string output;
};

// Returns an empty string, or the message of the failure (nothing is left at `output`);
// `brokenDays` receives the days whose text held bytes that are not CP932.
using TPdfExporter = std::string (*)(const TPdfExportRequest& request, std::vector<TYMD>& brokenDays);
void SetPdfExporter(TPdfExporter exporter);

// The program's writer: works without an X server.
std::string ExportPdfForCommand(const TPdfExportRequest& request, std::vector<TYMD>& brokenDays);
