// The program: the commands run here without Qt; the window and the PDF export come from
// the window library, loaded only when asked for (see window/window_entry.h).
#include "app/program_places.h"
#include "app/window_library.h"
#include "cli/command_export.h"
#include "cli/command_line.h"

int main(int argc, char** argv) {
    SetPdfExporter(ExportPdfFromLibrary);
    if (auto status = RunCommandLine(argc, argv, DefaultDiaryFolder, DefaultSettingsFolder)) return *status;
    return RunWindowFromLibrary(argc, argv);
}
