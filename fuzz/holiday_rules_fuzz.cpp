// Feeds arbitrary bytes to the holiday rule lines and classifies and names every day of a
// few years with them.
//
// Input: a flag byte (bit 0 turns the equinox days off, bit 1 the substitute holiday, bits 2
// and 3 add up to two following years, bit 4 turns the citizens' holiday off), two bytes of the first year (big-endian, taken
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

// A reading: the day a line names for the year and month asked about, or the text of the
// field whose conversion failed first.
struct Reading {
    TDayLine line;
    std::optional<std::string> badField;
};

// The documented reading, worked out from a plain split, converting the fields in the
// documented order. With `spans` a year field "first-last" under condition 0 names those
// years; without, it is the reading of every version before spans had a meaning.
Reading Reference(std::string_view text, std::int32_t year, int requested, bool spans) {
    const std::vector<std::string_view> fields = Fields(text);
    const size_t count = fields.size();
    Reading r;
    if (count < 3 || count > 6) return r;
    struct Bad {
        std::string_view field;
    };
    auto read = [](std::string_view field) {
        std::optional<int> v = TryStrToInt(field);
        if (!v) throw Bad{field};
        return *v;
    };
    auto nth = [year](int month, std::int64_t weekday, std::int64_t n) {
        const std::int64_t first = JuliusDayOfWeek(YMDToJulius(year, month, 1));
        const std::int64_t day = (weekday + 7 - first) % 7 + 1 + 7 * (n - 1);
        return day < INT32_MIN || day > INT32_MAX ? 32 : static_cast<int>(day);
    };
    try {
        const int month = read(fields[count <= 4 ? 0 : 2]);
        if (requested != 0 && month != requested) return r;
        if (count >= 5) {
            const int condition = read(fields[1]);
            if (condition >= 0 && condition <= 2) {
                int first = 0, last = 0;
                if (std::optional<int> single = TryStrToInt(fields[0])) {
                    first = last = *single;
                } else {
                    bool span = false;
                    for (size_t dash = 1; spans && condition == 0 && !span && dash < fields[0].size(); ++dash) {
                        if (fields[0][dash] != '-') continue;
                        std::optional<int> a = TryStrToInt(fields[0].substr(0, dash));
                        std::optional<int> b = TryStrToInt(fields[0].substr(dash + 1));
                        if (a && b) {
                            first = *a;
                            last = *b;
                            span = true;
                        }
                    }
                    if (!span) throw Bad{fields[0]};
                }
                const bool applies = condition == 0 ? year >= first && year <= last
                                     : condition == 1 ? year <= last
                                                      : year >= first;
                if (!applies) return r;
            }
        }
        TDayLine line;
        line.Month = month;
        line.Name = fields.back();
        if (count == 3 || count == 5) {
            line.Day = read(fields[count - 2]);
        } else {
            const int weekday = read(fields[count - 2]);
            line.Day = nth(month, weekday, read(fields[count - 3]));
        }
        r.line = line;
    } catch (const Bad& bad) {
        r.badField = std::string(bad.field);
    }
    return r;
}

bool SameLine(const TDayLine& a, const TDayLine& b) { return a.Month == b.Month && a.Day == b.Day && a.Name == b.Name; }

// A line read for any month and for each month gives the documented reading, its day or
// its conversion error; and wherever the reading of earlier versions gave a day (or said
// the line names none) the reading is the same: only lines that raised may gain a meaning.
void CheckParse(THolidayRules& rules, const std::string& line, std::int32_t year) {
    for (int m = 0; m <= 12; ++m) {
        const Reading expected = Reference(line, year, m, true);
        const Reading old = Reference(line, year, m, false);
        if (!old.badField) Check(!expected.badField && SameLine(expected.line, old.line));
        try {
            TDayLine parsed = rules.ParseDayLine(line, year, m);
            Check(!expected.badField);
            Check(SameLine(parsed, expected.line));
            if (m != 0) Check(parsed.Month == 13 || parsed.Month == m);
        } catch (const EConvertError& e) {
            Check(expected.badField.has_value());
            CheckConvertError(e, *expected.badField);
        }
    }
}

struct DayResult {
    bool ok = false;
    TDayAttrs attrs = 0;
    std::string names;
    std::string error;
    bool operator==(const DayResult&) const = default;
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
            Check(font == dcSpecialDay);
        else if (attrs & (daHoliday | daFurikae))
            Check(font == dcHoliday);
        else if (attrs & daSaturday)
            Check(font == dcSaturday);
        else if (attrs & daSunday)
            Check(font == dcSunday);
        else
            Check(font == dcWeekday);

        if (rules.AutoEquinox() && (IsVernalEquinoxDay(date.Year, date.Month, date.Day) ||
                                    IsAutumnalEquinoxDay(date.Year, date.Month, date.Day)))
            Check(attrs & daHoliday);
        if (attrs & daFurikae) {
            // A substitute holiday is no holiday itself and follows a run of holidays that
            // starts on a Sunday (the day before, until 2006), not before the law had it.
            Check(rules.AutoFurikae());
            Check(!(attrs & daHoliday));
            Check(j > YMDToJulius(1973, 4, 12));
            int back = 1;
            for (;; ++back) {
                const TYMD before = JuliusToYMD(j - back);
                Check(back <= 7 && (rules.GetDayAttrs(before.Year, before.Month, before.Day) & daHoliday));
                if (JuliusDayOfWeek(j - back) == 1) break;
            }
            Check(back == 1 || j - back >= YMDToJulius(2007, 1, 1));
        }
        // A day has names exactly when a line, an equinox or the substitute rule names it.
        Check(names.empty() == !(attrs & (daHoliday | daFurikae | daSpecialDay)));
        result.ok = true;
        result.attrs = attrs;
        result.names = names;
    } catch (const EConvertError& e) {
        CheckConvertError(e);
        result.error = e.what();
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
    rules.SetAutoKokumin(!(flags & 16));

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
    // Inside a batch (as while drawing) every day reads and fails exactly as outside one.
    {
        THolidayRulesBatch batch(rules);
        for (size_t i = 0; i < first.size(); ++i)
            Check(CheckDay(rules, firstDay + static_cast<TJuliusDay>(i), firstYear) == first[i]);
    }
    // Later years (and the look-back of a Monday, 1 January) may have pushed the first year's
    // equinoxes out of the cache; the first year still classifies as before.
    for (size_t i = 0; i < first.size(); ++i) {
        if (!first[i].ok) continue;
        const TYMD date = JuliusToYMD(firstDay + static_cast<TJuliusDay>(i));
        Check(rules.GetDayAttrs(date.Year, date.Month, date.Day) == first[i].attrs);
    }
    // The batches kept their readings. Once a list changes and the change is announced, the
    // next batch reads the lists afresh: it answers as the changed lists do without one.
    TStringList& changed = holidays.Count() > 0 ? holidays : specialDays;
    if (changed.Count() > 0) {
        changed.Delete(0);
        rules.LinesChanged();
        std::vector<DayResult> unbatched;
        for (size_t i = 0; i < first.size(); ++i)
            unbatched.push_back(CheckDay(rules, firstDay + static_cast<TJuliusDay>(i), firstYear));
        THolidayRulesBatch batch(rules);
        for (size_t i = 0; i < first.size(); ++i)
            Check(CheckDay(rules, firstDay + static_cast<TJuliusDay>(i), firstYear) == unbatched[i]);
    }
    return 0;
}
