#include "calendar/holiday_rules.h"

#include "calendar/equinox.h"
#include "calendar/julius.h"
#include "platform/convert.h"
#include "platform/sjis.h"

#include <array>
#include <limits>

namespace {

// Up to seven fields are kept; only the count matters beyond six (such a line never
// matches). Splitting into views costs no allocation: every cell of a month view walks
// every line on every redraw.
struct Fields {
    std::array<std::string_view, 7> at;
    std::size_t count = 0;
};

Fields SplitView(std::string_view text) {
    Fields f;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string_view field = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (f.count < f.at.size()) f.at[f.count] = field;
        ++f.count;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return f;
}

// The day of the n-th `weekday` (1 = Sunday) in a month whose first day falls on
// `firstWeekday`. A count the month does not hold gives a day past its end, which
// matches nothing; a day the int cannot hold is turned into such a day too.
int NthWeekday(int weekday, int n, int firstWeekday) {
    std::int64_t day = (static_cast<std::int64_t>(weekday) + 7 - firstWeekday) % 7 + 1 + 7 * (static_cast<std::int64_t>(n) - 1);
    if (day < std::numeric_limits<int>::min() || day > std::numeric_limits<int>::max()) return 32;
    return static_cast<int>(day);
}

bool YearApplies(int condition, std::string_view yearField, std::int32_t year) {
    switch (condition) {
        case 0: return year == StrToInt(yearField);
        case 1: return year <= StrToInt(yearField);
        case 2: return year >= StrToInt(yearField);
        default: return true;  // the line's year is not even read
    }
}

// The fixed names are shown and compared as CP932; each is converted once.
const std::string& VernalName() {
    static const std::string name = Sjis("春分の日");
    return name;
}
const std::string& AutumnalName() {
    static const std::string name = Sjis("秋分の日");
    return name;
}
const std::string& FurikaeName() {
    static const std::string name = Sjis("振替休日");
    return name;
}

}  // namespace

void SplitLine(std::string_view text, TStrings& list, char separator) {
    for (std::string& field : SplitFields(text, separator)) list.Add(field);
}

int DayFontIndex(TDayAttrs attrs) {
    int index = TCalExFonts::Weekday;
    if (attrs & daSaturday)
        index = TCalExFonts::Saturday;
    else if (attrs & daSunday)
        index = TCalExFonts::Sunday;
    if (attrs & (daHoliday | daFurikae)) index = TCalExFonts::Holiday;
    if (attrs & daSpecialDay) index = TCalExFonts::SpecialDay;
    return index;
}

THolidayRules::THolidayRules(const TStringList& holidayList, const TStringList& specialDayList)
    : holidayList_(holidayList), specialDayList_(specialDayList) {}

TDayLine THolidayRules::ParseDayLine(std::string_view line, std::int32_t year, int month) {
    const int requested = month;
    TDayLine result;
    Fields f = SplitView(line);
    switch (f.count) {
        case 3: {
            int m = StrToInt(f.at[0]);
            if (requested != 0 && m != requested) return result;
            result.Month = m;
            result.Name = f.at[2];
            result.Day = StrToInt(f.at[1]);
            return result;
        }
        case 4: {
            int m = StrToInt(f.at[0]);
            if (requested != 0 && m != requested) return result;
            result.Month = m;
            result.Name = f.at[3];
            int weekday = StrToInt(f.at[2]);
            int n = StrToInt(f.at[1]);
            result.Day = NthWeekday(weekday, n, JuliusDayOfWeek(YMDToJulius(year, m, 1)));
            return result;
        }
        case 5:
        case 6: {
            int m = StrToInt(f.at[2]);
            if (requested != 0 && m != requested) return result;
            if (!YearApplies(StrToInt(f.at[1]), f.at[0], year)) return result;
            result.Month = m;
            if (f.count == 5) {
                result.Name = f.at[4];
                result.Day = StrToInt(f.at[3]);
            } else {
                result.Name = f.at[5];
                int weekday = StrToInt(f.at[4]);
                int n = StrToInt(f.at[3]);
                result.Day = NthWeekday(weekday, n, JuliusDayOfWeek(YMDToJulius(year, m, 1)));
            }
            return result;
        }
        default:
            return result;
    }
}

bool THolidayRules::LineMatches(std::string_view line, std::int32_t y, std::uint8_t m, std::uint8_t d) {
    TDayLine parsed = ParseDayLine(line, y, m);
    return parsed.Month == m && parsed.Day == d;
}

TDayAttrs THolidayRules::GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    TDayAttrs attrs = 0;
    // Every line is evaluated even after a match, so a malformed line is reported on
    // every evaluation, not only on the days before the first match.
    for (const std::string& line : specialDayList_.Lines())
        if (LineMatches(line, y, m, d)) attrs |= daSpecialDay;
    for (const std::string& line : holidayList_.Lines())
        if (LineMatches(line, y, m, d)) attrs |= daHoliday;
    const TJuliusDay j = YMDToJulius(y, m, d);
    const std::uint8_t w = JuliusDayOfWeek(j);
    if (w == 1) attrs |= daSunday;
    if (w == 7) attrs |= daSaturday;
    if (autoEquinox_ && (IsVernalEquinoxDay(y, m, d) || IsAutumnalEquinoxDay(y, m, d))) attrs |= daHoliday;
    if (autoFurikae_ && w == 2 && !(attrs & daHoliday)) {
        // The Sunday before is not a Monday, so this looks back one step only.
        TYMD sunday = JuliusToYMD(j - 1);
        if (GetDayAttrs(sunday.Year, sunday.Month, sunday.Day) & daHoliday) attrs |= daFurikae;
    }
    return attrs;
}

std::string THolidayRules::GetHolidayNames(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    TStringList names;
    for (const std::string& line : specialDayList_.Lines()) {
        TDayLine parsed = ParseDayLine(line, y, m);
        if (parsed.Month == m && parsed.Day == d) names.Add(parsed.Name);
    }
    for (const std::string& line : holidayList_.Lines()) {
        TDayLine parsed = ParseDayLine(line, y, m);
        if (parsed.Month == m && parsed.Day == d) names.Add(parsed.Name);
    }
    if (autoEquinox_) {
        if (IsVernalEquinoxDay(y, m, d))
            names.Add(VernalName());
        else if (IsAutumnalEquinoxDay(y, m, d))
            names.Add(AutumnalName());
    }
    if (autoFurikae_ && (GetDayAttrs(y, m, d) & daFurikae)) names.Add(FurikaeName());
    return names.CommaText();
}
