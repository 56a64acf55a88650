#include "tools/diary_folder.h"

#include "diary/day_file_name.h"
#include "tools/diary_text.h"

#include <cstdio>
#include <stdexcept>

std::size_t WriteDiaryFolder(const std::string& folder, int firstYear, int years) {
    std::size_t written = 0;
    // Each entry is the next few whole lines of one long generated diary, 200 to 1,200
    // bytes of it; the diary starts over when it runs out.
    const std::string diary = DiaryText(8 << 20, 130000);
    std::size_t at = 0;
    const TJuliusDay first = YMDToJulius(firstYear, 1, 1), end = YMDToJulius(firstYear + years, 1, 1);
    for (TJuliusDay j = first; j < end; ++j) {
        const TYMD d = JuliusToYMD(j);
        const std::size_t want = 200 + static_cast<std::size_t>(j % 1001);
        std::size_t cut = diary.find("\r\n", at + want);
        if (cut == std::string::npos) {
            at = 0;
            cut = diary.find("\r\n", want);
        }
        const std::string text = diary.substr(at, cut + 2 - at);
        at = cut + 2;
        const std::string path = folder + "/" + DayFileName(d.Year, d.Month, d.Day);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0)
            throw std::runtime_error("cannot write " + path);
        ++written;
    }
    return written;
}
