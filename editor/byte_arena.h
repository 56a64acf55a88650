#pragma once
// Memory for the bytes of loaded text. A loaded file is read into one block that its rows
// then point into; the block lives as long as a row does.
#include <cstddef>
#include <memory>

// `size` bytes (at least one), freed when the last owner lets go. Blocks of a few
// megabytes and more are asked for in huge pages where the system offers them: filling
// 100 MB then costs a few dozen page faults instead of tens of thousands.
std::shared_ptr<char> AllocateBytes(size_t size);
