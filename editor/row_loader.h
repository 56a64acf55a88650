#pragma once
// A line count of the loader's rules, done apart from the loader (on bit masks rather than
// by visiting lines), so that tests can check the rows a load gives against it.
#include <cstddef>
#include <string>

// Lines in the file as LoadRowsFromFile reads them. Raises EFileError.
size_t CountFileLines(const std::string& fileName);

// The whole file's bytes, read with the loader's checks (a regular file only). Raises
// EFileError.
std::string ReadWholeFile(const std::string& fileName);
