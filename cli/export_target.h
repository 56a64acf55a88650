#pragma once
// Where `mekuri export -o` may write. The diary it reads must come out of the export as it
// went in: inside the diary folder (or a folder below it) the output may only be a new
// name, and none that the diary or Mekuri uses or would use.
#include <string>

// Why the export of the diary in `folder` may not be written to `output`, in a sentence
// for the user; empty when it may. Symbolic links, "..", and relative names are resolved
// first, as the write would resolve them.
std::string ExportTargetRefusal(const std::string& output, const std::string& folder);
