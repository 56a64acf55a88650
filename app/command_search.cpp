#include "app/command_line.h"
#include "app/command_options.h"

// Not built yet.
int RunSearchCommand(const TCommandInput&) { return CommandError("search", "このコマンドはまだ使えません"); }
