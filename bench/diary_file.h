#pragma once
// The benchmarks' texts, written once per run into files of this process's own (removed at
// exit), so that runs do not share or depend on files outside the build. The diary text
// comes from the project's own deterministic generator.
#include "tools/diary_text.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

// Writes `text` to a temporary file named after this process and `tag`; returns its path.
inline std::string WriteBenchFile(const std::string& tag, const std::string& text) {
    auto path = std::filesystem::temp_directory_path() / ("mekuri-bench-" + std::to_string(::getpid()) + "-" + tag + ".txt");
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    static std::vector<std::string> written;
    written.push_back(path.string());
    if (written.size() == 1) std::atexit([] {
        for (const std::string& p : written) std::remove(p.c_str());
    });
    return path.string();
}

inline std::string WriteDiaryFile(size_t size, size_t lines) {
    return WriteBenchFile(std::to_string(size) + "-" + std::to_string(lines), DiaryText(size, lines));
}
