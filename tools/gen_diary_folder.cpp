// gen_diary_folder DIR DAYS BYTES [YYYY]: writes a benchmark diary folder (see
// diary_folder.h) with DAYS day files of about BYTES bytes from January 1 of YYYY (2006).
#include "tools/diary_folder.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s DIR DAYS BYTES [YEAR]\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        const int year = argc == 5 ? std::atoi(argv[4]) : 2006;
        const TDiaryFolderPlan plan = MakeDiaryFolder(argv[1], TYMD{year, 1, 1}, std::strtoull(argv[2], nullptr, 10),
                                                      std::strtoull(argv[3], nullptr, 10));
        std::printf("%zu files, %zu bytes\n", plan.files, plan.bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
