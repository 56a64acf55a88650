#include "app/command_line.h"
#include "app/command_options.h"

// Not built yet.
int RunDaysCommand(const TCommandInput&) { return CommandError("days", "このコマンドはまだ使えません"); }
