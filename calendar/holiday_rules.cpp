#include "calendar/holiday_rules.h"

#include "calendar/equinox.h"
#include "calendar/julius.h"
#include "platform/convert.h"
#include "platform/sjis.h"

#include <array>
#include <cstring>
#include <limits>

namespace {

// Up to seven fields are kept; only the count matters beyond six (such a line never
// matches). Every cell of a month view walks every line on every redraw and most lines
// are rejected by their month, so the count and the month field are found first and the
// line is split only when the month fits. Byte by byte is safe for CP932: a comma is
// never the second byte of a character.
struct Fields {
    std::array<std::string_view, 7> at;
    std::size_t count = 0;
};

std::size_t CountFields(std::string_view text) {
    // Eight bytes at a time: the XOR turns each comma into a zero byte; adding 0x7F to the
    // low seven bits of a byte and OR-ing the byte back in leaves the high bit clear for a
    // zero byte only, and the sum never carries into the next byte.
    constexpr std::uint64_t commas = 0x2C2C2C2C2C2C2C2Cull, low7 = 0x7F7F7F7F7F7F7F7Full;
    std::size_t n = 1, i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const std::uint64_t x = word ^ commas;
        const std::uint64_t found = (~(((x & low7) + low7) | x) & ~low7) >> 7;  // one bit per byte
        n += static_cast<std::size_t>((found * 0x0101010101010101ull) >> 56);
    }
    for (; i < text.size(); ++i) n += text[i] == ',';
    return n;
}

// The field with the given index (0-based); the text holds more fields than that.
std::string_view FieldAt(std::string_view text, int index) {
    std::size_t start = 0;
    while (index > 0)
        if (text[start++] == ',') --index;
    std::size_t end = start;
    while (end < text.size() && text[end] != ',') ++end;
    return text.substr(start, end - start);
}

Fields SplitView(std::string_view text) {
    Fields f;
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != ',') continue;
        if (f.count < f.at.size()) f.at[f.count] = std::string_view(data + start, i - start);
        ++f.count;
        start = i + 1;
    }
    if (f.count < f.at.size()) f.at[f.count] = std::string_view(data + start, size - start);
    ++f.count;
    return f;
}

// StrToInt, with the one- and two-digit numbers of months and days read in place.
int FieldToInt(std::string_view field) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (field.size() == 1 && digit(field[0])) return field[0] - '0';
    if (field.size() == 2 && digit(field[0]) && digit(field[1])) return (field[0] - '0') * 10 + (field[1] - '0');
    return StrToInt(field);
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
        case 0: return year == FieldToInt(yearField);
        case 1: return year <= FieldToInt(yearField);
        case 2: return year >= FieldToInt(yearField);
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
    const std::size_t count = CountFields(line);
    if (count < 3 || count > 6) return result;
    // The month is the first field of the short forms and the third of the long ones.
    const int m = FieldToInt(FieldAt(line, count <= 4 ? 0 : 2));
    if (requested != 0 && m != requested) return result;
    const Fields f = SplitView(line);
    switch (count) {
        case 3:
            result.Month = m;
            result.Name = f.at[2];
            result.Day = FieldToInt(f.at[1]);
            return result;
        case 4: {
            result.Month = m;
            result.Name = f.at[3];
            const int weekday = FieldToInt(f.at[2]);
            const int n = FieldToInt(f.at[1]);
            result.Day = NthWeekday(weekday, n, JuliusDayOfWeek(YMDToJulius(year, m, 1)));
            return result;
        }
        default: {  // 5 or 6
            if (!YearApplies(FieldToInt(f.at[1]), f.at[0], year)) return result;
            result.Month = m;
            if (count == 5) {
                result.Name = f.at[4];
                result.Day = FieldToInt(f.at[3]);
            } else {
                result.Name = f.at[5];
                const int weekday = FieldToInt(f.at[4]);
                const int n = FieldToInt(f.at[3]);
                result.Day = NthWeekday(weekday, n, JuliusDayOfWeek(YMDToJulius(year, m, 1)));
            }
            return result;
        }
    }
}

// A view classifies every cell, and the equinoxes of a year never change: the two years a
// month view can span are kept.
const THolidayRules::Equinoxes& THolidayRules::EquinoxesOf(std::int32_t year) {
    for (const Equinoxes& e : equinoxes_)
        if (e.Known && e.Year == year) return e;
    Equinoxes& slot = equinoxes_[nextEquinoxSlot_];
    nextEquinoxSlot_ = (nextEquinoxSlot_ + 1) % equinoxes_.size();
    slot = {true, year, JuliusToYMD(VernalEquinoxDay(year)), JuliusToYMD(AutumnalEquinoxDay(year))};
    return slot;
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
    if (autoEquinox_) {
        const Equinoxes& e = EquinoxesOf(y);
        if ((e.Vernal.Month == m && e.Vernal.Day == d) || (e.Autumnal.Month == m && e.Autumnal.Day == d))
            attrs |= daHoliday;
    }
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
        const Equinoxes& e = EquinoxesOf(y);
        if (e.Vernal.Month == m && e.Vernal.Day == d)
            names.Add(VernalName());
        else if (e.Autumnal.Month == m && e.Autumnal.Day == d)
            names.Add(AutumnalName());
    }
    if (autoFurikae_ && (GetDayAttrs(y, m, d) & daFurikae)) names.Add(FurikaeName());
    return names.CommaText();
}
