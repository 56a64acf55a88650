// Feeds arbitrary bytes to the holiday rule lines and classifies and names every day of a
// few years with them.
//
// Input: a flag byte (bit 0 turns the equinox days off, bit 1 the substitute holiday, bits 2
// and 3 add up to two following years), two bytes of the first year (big-endian, taken
// modulo 9999, plus 1), then the holiday lines, a NUL, and the special-day lines, each
// list split at LF and cut to its first 64 lines. A field that is not an integer raises
// EConvertError; that is the one error the rules may give, so it is caught and its message
// checked.
#include "calendar/equinox.h"
#include "calendar/holiday_rules.h"
#include "calendar/julius.h"
#include "platform/convert.h"
#include "platform/exceptions.h"
#include "platform/string_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// As many lines as a long personal list holds; more only slow each run down.
constexpr int kMaxLines = 64;

void Check(bool condition) {
    if (!condition) std::abort();
}

// The message names the field in quotes. It is a C string, so a field holding a NUL byte
// cuts it short there.
void CheckConvertError(const EConvertError& e, std::optional<std::string_view> field = std::nullopt) {
    const std::string_view message = e.what();
    Check(!message.empty() && message.front() == '\'');
    if (field) {
        const std::string full = NotAnIntegerMessage(*field);
        Check(message == std::string_view(full).substr(0, full.find('\0')));
    }
}

void FillList(std::string_view text, TStringList& list) {
    TStringList all;
    SplitLine(text, all, '\n');
    for (int i = 0; i < all.Count() && i < kMaxLines; ++i) list.Add(all.Strings(i));
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

// The documented reading of a line whose numeric fields all are integers, worked out from a
// plain split, for the month asked about (0 for any).
TDayLine Expected(const std::vector<std::string_view>& fields, const std::vector<int>& n, std::int32_t year,
                  int requested) {
    const size_t count = fields.size();
    TDayLine none;
    if (count < 3 || count > 6) return none;
    const int month = count <= 4 ? n[0] : n[2];
    if (requested != 0 && month != requested) return none;
    if (count >= 5) {
        const int condition = n[1];
        const bool applies = condition == 0   ? year == n[0]
                             : condition == 1 ? year <= n[0]
                             : condition == 2 ? year >= n[0]
                                              : true;
        if (!applies) return none;
    }
    TDayLine line;
    line.Month = month;
    line.Name = fields.back();
    if (count == 3 || count == 5) {
        line.Day = n[count - 2];
    } else {
        // The n-th weekday: from the weekday of the month's first day.
        const std::int64_t weekday = n[count - 2], nth = n[count - 3];
        const std::int64_t first = JuliusDayOfWeek(YMDToJulius(year, month, 1));
        const std::int64_t day = (weekday + 7 - first) % 7 + 1 + 7 * (nth - 1);
        line.Day = day < INT32_MIN || day > INT32_MAX ? 32 : static_cast<int>(day);
    }
    return line;
}

// A line read for any month and for each month: field counts outside 3..6 name no day and
// convert nothing; a line whose numbers all read gives the documented day; the
// "month,day,name" form raises exactly when one of its two numbers does not read.
void CheckParse(THolidayRules& rules, const std::string& line, std::int32_t year) {
    const std::vector<std::string_view> fields = Fields(line);
    const size_t count = fields.size();
    std::vector<int> numbers;
    bool allRead = true;
    for (size_t i = 0; i + 1 < count && allRead; ++i) {
        std::optional<int> v = TryStrToInt(fields[i]);
        allRead = v.has_value();
        if (v) numbers.push_back(*v);
    }
    for (int m = 0; m <= 12; ++m) {
        try {
            TDayLine parsed = rules.ParseDayLine(line, year, m);
            if (count < 3 || count > 6) Check(parsed.Month == 13 && parsed.Day == 32 && parsed.Name.empty());
            if (m != 0) Check(parsed.Month == 13 || parsed.Month == m);
            if (m == 0 && count == 3) Check(allRead);
            if (allRead) {
                TDayLine expected = Expected(fields, numbers, year, m);
                Check(parsed.Month == expected.Month && parsed.Day == expected.Day && parsed.Name == expected.Name);
            }
        } catch (const EConvertError& e) {
            Check(count >= 3 && count <= 6 && !allRead);
            if (m == 0 && count == 3)
                CheckConvertError(e, TryStrToInt(fields[0]) ? fields[1] : fields[0]);
            else
                CheckConvertError(e);
        }
    }
}

struct DayResult {
    bool ok = false;
    TDayAttrs attrs = 0;
};

// Classifies and names one day; returns its classes, or ok = false after a conversion error.
DayResult CheckDay(THolidayRules& rules, TJuliusDay j, std::int32_t year) {
    const TYMD date = JuliusToYMD(j);
    // Not checked against DaysInMonth: 29 February of a year divisible by 4000 exists for the
    // day numbers although the leap-year rule has none.
    Check(date.Year == year && date.Month >= 1 && date.Month <= 12 && date.Day >= 1 && date.Day <= 31);
    Check(YMDToJulius(date.Year, date.Month, date.Day) == j);
    const std::uint8_t weekday = JuliusDayOfWeek(j);
    DayResult result;
    try {
        const TDayAttrs attrs = rules.GetDayAttrs(date.Year, date.Month, date.Day);
        const std::string names = rules.GetHolidayNames(date.Year, date.Month, date.Day);
        const int font = rules.GetDayFontIndex(date.Year, date.Month, date.Day);

        Check((attrs & ~(daSunday | daSaturday | daHoliday | daFurikae | daSpecialDay)) == 0);
        Check(((attrs & daSunday) != 0) == (weekday == 1));
        Check(((attrs & daSaturday) != 0) == (weekday == 7));
        Check(font == DayFontIndex(attrs));
        if (attrs & daSpecialDay)
            Check(font == TCalExFonts::SpecialDay);
        else if (attrs & (daHoliday | daFurikae))
            Check(font == TCalExFonts::Holiday);
        else if (attrs & daSaturday)
            Check(font == TCalExFonts::Saturday);
        else if (attrs & daSunday)
            Check(font == TCalExFonts::Sunday);
        else
            Check(font == TCalExFonts::Weekday);

        if (rules.AutoEquinox() && (IsVernalEquinoxDay(date.Year, date.Month, date.Day) ||
                                    IsAutumnalEquinoxDay(date.Year, date.Month, date.Day)))
            Check(attrs & daHoliday);
        if (attrs & daFurikae) {
            // A substitute holiday is a Monday that is no holiday itself, after a holiday.
            Check(rules.AutoFurikae());
            Check(weekday == 2);
            Check(!(attrs & daHoliday));
            const TYMD sunday = JuliusToYMD(j - 1);
            Check(rules.GetDayAttrs(sunday.Year, sunday.Month, sunday.Day) & daHoliday);
        }
        // A day has names exactly when a line, an equinox or the substitute rule names it.
        Check(names.empty() == !(attrs & (daHoliday | daFurikae | daSpecialDay)));
        result.ok = true;
        result.attrs = attrs;
    } catch (const EConvertError& e) {
        CheckConvertError(e);
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t flags = bytes[0];
    const std::int32_t firstYear = 1 + (bytes[1] << 8 | bytes[2]) % 9999;
    const int years = 1 + ((flags >> 2) & 3) % 3;
    std::string_view text(reinterpret_cast<const char*>(bytes) + 3, size - 3);
    const size_t nul = text.find('\0');
    std::string_view holidayText = text.substr(0, nul);
    std::string_view specialText = nul == std::string_view::npos ? std::string_view() : text.substr(nul + 1);

    TStringList holidays, specialDays;
    FillList(holidayText, holidays);
    if (nul != std::string_view::npos) FillList(specialText, specialDays);

    THolidayRules rules(holidays, specialDays);
    rules.SetAutoEquinox(!(flags & 1));
    rules.SetAutoFurikae(!(flags & 2));

    for (const std::string& line : holidays.Lines()) CheckParse(rules, line, firstYear);
    for (const std::string& line : specialDays.Lines()) CheckParse(rules, line, firstYear);

    std::vector<DayResult> first;
    const TJuliusDay firstDay = YMDToJulius(firstYear, 1, 1);
    for (int k = 0; k < years; ++k) {
        const std::int32_t year = firstYear + k;
        const TJuliusDay end = YMDToJulius(year + 1, 1, 1);
        for (TJuliusDay j = YMDToJulius(year, 1, 1); j < end; ++j) {
            DayResult r = CheckDay(rules, j, year);
            if (k == 0) first.push_back(r);
        }
    }
    // Later years (and the look-back of a Monday, 1 January) may have pushed the first year's
    // equinoxes out of the cache; the first year still classifies as before.
    for (size_t i = 0; i < first.size(); ++i) {
        if (!first[i].ok) continue;
        const TYMD date = JuliusToYMD(firstDay + static_cast<TJuliusDay>(i));
        Check(rules.GetDayAttrs(date.Year, date.Month, date.Day) == first[i].attrs);
    }
    return 0;
}
