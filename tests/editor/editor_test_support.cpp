#include "editor_test_support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

std::vector<std::string> Rows(const TRowStore& store) {
    std::vector<std::string> rows;
    for (int r = 0; r < store.RowCount(); ++r) rows.push_back(store.RowText(r) + "/" + std::to_string(store.RowKind(r)));
    return rows;
}

TTempDir::TTempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("mekuri-editor-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteBytes(const std::string& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
