#include "tools/diary_folder.h"

#include "diary/day_file_name.h"
#include "tools/diary_text.h"

#include <cstdio>
#include <algorithm>
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

namespace {

// CP932: 今日はキョウトへ行った。 / 今日はｷｮｳﾄへ行った。 / 今日はきょうとへ行った。
const char* const kKyotoLines[] = {
    "\x8d\xa1\x93\xfa\x82\xcd\x83\x4c\x83\x87\x83\x45\x83\x67\x82\xd6\x8d\x73\x82\xc1\x82\xbd\x81\x42\r\n",
    "\x8d\xa1\x93\xfa\x82\xcd\xb7\xae\xb3\xc4\x82\xd6\x8d\x73\x82\xc1\x82\xbd\x81\x42\r\n",
    "\x8d\xa1\x93\xfa\x82\xcd\x82\xab\x82\xe5\x82\xa4\x82\xc6\x82\xd6\x8d\x73\x82\xc1\x82\xbd\x81\x42\r\n",
};
// CP932: メモ: Ｍｅｋｕｒｉ－Ｐｌａｎｔ
const char* const kPlantLine =
    "\x83\x81\x83\x82: \x82\x6c\x82\x85\x82\x8b\x82\x95\x82\x92\x82\x89\x81\x7c\x82\x6f\x82\x8c\x82\x81\x82\x8e\x82\x94\r\n";

}  // namespace

TDiaryFolderPlan MakeDiaryFolder(const std::string& folder, const TYMD& first, size_t days, size_t bytesPerDay,
                                 uint64_t seed) {
    TDiaryFolderPlan plan;
    plan.planted = {{"きょうと", {}}, {"mekuri-plant", {}}};
    const TJuliusDay start = YMDToJulius(first.Year, first.Month, first.Day);
    // One long diary text, cut into days at line ends, so that a day now and then holds
    // one of its pasted paragraphs as a real diary would.
    std::string stream;
    size_t at = 0;
    uint64_t piece = seed;
    for (size_t k = 0; k < days; ++k) {
        const TYMD day = JuliusToYMD(start + static_cast<TJuliusDay>(k));
        std::string text;
        if (k % 365 == 100) {
            text += kKyotoLines[(k / 365) % 3];
            plan.planted[0].days.push_back(day);
        }
        if (k % 1000 == 7) {
            text += kPlantLine;
            plan.planted[1].days.push_back(day);
        }
        if (stream.size() - at < bytesPerDay + 20000) {
            stream.erase(0, at);
            at = 0;
            constexpr size_t kPiece = size_t{8} << 20;
            stream += DiaryText(kPiece, kPiece / 48, piece++);
        }
        size_t end = stream.find("\r\n", at + bytesPerDay);
        end = end == std::string::npos ? stream.size() : end + 2;
        text.append(stream, at, end - at);
        at = end;
        const std::string path = folder + "/" + DayFileName(day.Year, day.Month, day.Day);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0)
            throw std::runtime_error("cannot write " + path);
        ++plan.files;
        plan.bytes += text.size();
    }
    return plan;
}
