#include "tools/diary_folder.h"

#include "diary/day_file_name.h"
#include "tools/diary_text.h"

#include <cstdio>
#include <stdexcept>

size_t WriteDiaryFolder(const std::string& folder, const TYMD& first, size_t days, size_t bytesPerDay, uint64_t seed) {
    // Lines average about 60 bytes with their line ends.
    const size_t total = days * bytesPerDay;
    const std::string text = DiaryText(total, total / 60, seed);
    const TJuliusDay start = YMDToJulius(first.Year, first.Month, first.Day);
    size_t at = 0;
    for (size_t i = 0; i < days; ++i) {
        // Cut after the line end nearest to the day's share of the text; the last day takes the rest.
        size_t end = text.size();
        if (i + 1 < days) {
            end = text.find("\r\n", std::min(text.size(), std::max(at, (i + 1) * total / days)));
            end = end == std::string::npos ? text.size() : end + 2;
        }
        const TYMD day = JuliusToYMD(start + static_cast<TJuliusDay>(i));
        const std::string path = folder + "/" + DayFileName(day.Year, day.Month, day.Day);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(text.data() + at, 1, end - at, f) != end - at || std::fclose(f) != 0)
            throw std::runtime_error("cannot write " + path);
        at = end;
    }
    return text.size();
}
