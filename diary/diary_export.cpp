#include "diary/diary_export.h"

#include "diary/day_file.h"
#include "diary/day_file_form.h"
#include "diary/day_file_name.h"
#include "platform/file_error.h"
#include "platform/exceptions.h"
#include "platform/unicode_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

const char* WeekdayKanji(const TYMD& day) {
    static const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    return kWeekdays[JuliusDayOfWeek(YMDToJulius(day.Year, day.Month, day.Day)) - 1];
}

std::string ExportDayHeading(const TYMD& day) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u(%s)", static_cast<int>(day.Year), static_cast<unsigned>(day.Month),
                  static_cast<unsigned>(day.Day), WeekdayKanji(day));
    return text;
}

bool AppendExportedDay(std::string& out, const TYMD& day, std::string_view text, TExportFormat format,
                       const TExtraChars& extra) {
    if (format == TExportFormat::Markdown) out += "## ";
    out += ExportDayHeading(day);
    out += format == TExportFormat::Markdown ? "\n\n" : "\n";
    const std::string utf8 = UnicodeFromText(text, extra);
    const bool broken = extra.Empty() ? utf8.find(kReplacement) != std::string::npos : HoldsBrokenSjis(text, extra);
    const size_t start = out.size();
    out.reserve(out.size() + utf8.size() + 2);
    for (size_t at = 0; at < utf8.size();) {
        const size_t cr = utf8.find("\r\n", at);
        if (cr == std::string::npos) {
            out.append(utf8, at, std::string::npos);
            break;
        }
        out.append(utf8, at, cr - at);
        out += '\n';
        at = cr + 2;
    }
    if (out.size() == start || out.back() != '\n') out += '\n';
    out += '\n';
    return broken;
}

bool HoldsBrokenSjis(std::string_view text, const TExtraChars& extra) {
    // CP932 has no U+FFFD of its own, so every one in its reading stands for broken bytes;
    // a code may stand for a real U+FFFD, so there the bytes kept as they were tell.
    if (extra.Empty()) return UnicodeFromText(text, extra).find(kReplacement) != std::string::npos;
    return UnicodeFromText(text, extra) != UnicodeFromText(text, extra, TBrokenBytes::Keep);
}

std::string ForEachEntry(const std::string& folder, const std::vector<TYMD>& days, const TEntryVisitor& each) {
    std::string bytes;
    const std::string prefix = folder.empty() ? std::string() : folder + "/";
    for (const TYMD& day : days) {
        const std::string name = DayFileName(day.Year, day.Month, day.Day);
        const int err = ReadDayFileBytes(prefix + name, bytes);
        if (err == ENOENT) continue;  // removed since the folder was listed
        if (err != 0) return FileErrorMessage(name, "読めません", err);
        if (bytes.empty()) continue;
        if (GuessDayFileForm(bytes) == TDayFileForm::Cp932) {
            // No trail byte is as low as ^Z, so the first one found is a character of its own.
            static const TExtraChars none;
            if (!each(day, std::string_view(bytes).substr(0, bytes.find('\x1A')), none)) break;
            continue;
        }
        try {
            const TDayText text = DayTextFromBytes(bytes);
            if (!each(day, text.text, text.extra)) break;
        } catch (const EFileError& e) {
            return "ファイル " + name + " を読めません。" + e.what();
        }
    }
    return {};
}

TExportResult ExportEntries(const std::string& folder, const std::vector<TYMD>& days, TExportFormat format,
                            const std::function<bool(size_t done, size_t total)>& progress) {
    TExportResult result;
    size_t done = 0;
    std::vector<TYMD> one(1);
    for (const TYMD& day : days) {
        if (progress && !progress(done, days.size())) {
            result.cancelled = true;
            return result;
        }
        one[0] = day;
        result.error = ForEachEntry(folder, one, [&](const TYMD& d, std::string_view text, const TExtraChars& extra) {
            if (AppendExportedDay(result.output, d, text, format, extra)) result.brokenDays.push_back(d);
            return true;
        });
        if (!result.error.empty()) return result;
        ++done;
    }
    if (progress) progress(done, days.size());
    return result;
}
