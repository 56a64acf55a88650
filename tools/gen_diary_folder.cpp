// gen_diary_folder FOLDER FIRST_YEAR YEARS: fills FOLDER with a day file for every day
// (see diary_folder.h).
#include "tools/diary_folder.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FOLDER FIRST_YEAR YEARS\n", argv[0]);
        return 2;
    }
    try {
        const std::size_t n = WriteDiaryFolder(argv[1], std::atoi(argv[2]), std::atoi(argv[3]));
        std::printf("%zu day files\n", n);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
