#pragma once
// A line count of the loader's rules, done apart from the loader (on bit masks rather than
// by visiting lines), so that tests can check the rows a load gives against it.
#include <cstddef>
#include <memory>
#include <string>

// Lines in the file as LoadRowsFromFile reads them. Raises EFileError.
size_t CountFileLines(const std::string& fileName);

// The whole file's bytes, read with the loader's checks (a regular file only), into a block
// of the rows' kind (AllocateBytes, one byte more than `size`). Raises EFileError.
std::shared_ptr<char> ReadFileBlock(const std::string& fileName, size_t& size);
