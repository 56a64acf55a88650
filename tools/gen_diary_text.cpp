// gen_diary_text SIZE LINES FILE: writes the benchmark diary text (see diary_text.h).
// gen_diary_text --days DAYS BYTES-PER-DAY FOLDER [YYYY-MM-DD]: writes a diary folder of
// consecutive days from the given one (2006-01-01 by default; see diary_folder.h).
#include "tools/diary_folder.h"
#include "tools/diary_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    try {
        if (argc >= 5 && std::strcmp(argv[1], "--days") == 0) {
            TYMD first{2006, 1, 1};
            int y = 0, m = 0, d = 0;
            if (argc == 6 && std::sscanf(argv[5], "%d-%d-%d", &y, &m, &d) == 3)
                first = {y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d)};
            WriteDiaryFolder(argv[4], first, std::strtoull(argv[2], nullptr, 10), std::strtoull(argv[3], nullptr, 10));
            return 0;
        }
        if (argc != 4) {
            std::fprintf(stderr, "usage: %s SIZE LINES FILE\n       %s --days DAYS BYTES-PER-DAY FOLDER [YYYY-MM-DD]\n",
                         argv[0], argv[0]);
            return 2;
        }
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
