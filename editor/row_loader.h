#pragma once
// The loader's counting pass on its own, so that it can be checked against the lines the
// reading pass finds: both must agree for the row list to be sized exactly.
#include <cstddef>
#include <string>

// Lines in the file as LoadRowsFromFile reads them. Raises EFileError.
size_t CountFileLines(const std::string& fileName);
