// gen_diary_text SIZE LINES FILE: writes the benchmark diary text (see diary_text.h).
#include "tools/diary_text.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SIZE LINES FILE\n", argv[0]);
        return 2;
    }
    try {
        std::string text = DiaryText(std::strtoull(argv[1], nullptr, 10), std::strtoull(argv[2], nullptr, 10));
        FILE* f = std::fopen(argv[3], "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
            std::perror(argv[3]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
