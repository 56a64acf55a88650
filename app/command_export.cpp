#include "app/command_line.h"
#include "app/command_options.h"

// Not built yet.
int RunExportCommand(const TCommandInput&) { return CommandError("export", "このコマンドはまだ使えません"); }
