#pragma once
// Shared helpers of the row store tests.
#include "editor/row_store.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Two-byte characters spelled as bytes, so that the tests read as the store sees them.
inline const std::string kA2 = "\x82\xa0";  // あ
inline const std::string kKa = "\x82\xa9";  // か
inline const std::string kSo = "\x83\x5c";  // ソ: trail byte 0x5C

// "text/kind" per row, e.g. {"abc/0", "d/2"}.
std::vector<std::string> Rows(const TRowStore& store);

// A folder of its own under the temp folder, removed with everything in it.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::string& file, std::string_view bytes);
std::string ReadBytes(const std::string& file);
