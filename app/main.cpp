// The program: the commands run here without Qt; the window and the PDF export come from
// the window library, loaded only when asked for (see window_entry.h).
#include "app/command_export.h"
#include "app/command_line.h"
#include "app/window_library.h"

int main(int argc, char** argv) {
    SetPdfExporter(ExportPdfFromLibrary);
    if (auto status = RunCommandLine(argc, argv)) return *status;
    return RunWindowFromLibrary(argc, argv);
}
