#include "calendar/holiday_rules.h"

#include "calendar/equinox.h"
#include "calendar/julius.h"
#include "platform/convert.h"
#include "platform/sjis.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

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

// "first-last" (either may carry a sign) names the years first to last. Such a field
// never reads as one integer, so a line that used it raised a conversion error before
// spans had a meaning; no line that read before reads differently now.
std::optional<std::pair<int, int>> YearSpan(std::string_view field) {
    for (std::size_t dash = field.find('-', 1); dash != std::string_view::npos; dash = field.find('-', dash + 1)) {
        const std::optional<int> first = TryStrToInt(field.substr(0, dash));
        const std::optional<int> last = TryStrToInt(field.substr(dash + 1));
        if (first && last) return std::pair{*first, *last};
    }
    return std::nullopt;
}

bool YearMatches(std::string_view yearField, std::int32_t year) {
    if (const std::optional<int> single = TryStrToInt(yearField)) return year == *single;
    if (const auto span = YearSpan(yearField)) return year >= span->first && year <= span->second;
    return year == StrToInt(yearField);  // raises the conversion error, as always
}

bool YearApplies(int condition, std::string_view yearField, std::int32_t year) {
    switch (condition) {
        case 0: return YearMatches(yearField, year);
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
const std::string& CitizensName() {
    static const std::string name = Sjis("国民の休日");
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

TDayClass DayFontIndex(TDayAttrs attrs) {
    TDayClass index = dcWeekday;
    if (attrs & daSaturday)
        index = dcSaturday;
    else if (attrs & daSunday)
        index = dcSunday;
    if (attrs & (daHoliday | daFurikae)) index = dcHoliday;
    if (attrs & daSpecialDay) index = dcSpecialDay;
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

bool THolidayRules::IsEquinox(std::int32_t y, std::uint8_t m, std::uint8_t d, bool* vernal) {
    const Equinoxes& e = EquinoxesOf(y);
    const bool isVernal = e.Vernal.Month == m && e.Vernal.Day == d;
    if (vernal) *vernal = isVernal;
    return isVernal || (e.Autumnal.Month == m && e.Autumnal.Day == d);
}

void THolidayRules::BeginBatch() { ++batchDepth_; }

void THolidayRules::EndBatch() {
    if (batchDepth_ > 0) --batchDepth_;
}

void THolidayRules::LinesChanged() { kept_.clear(); }

const THolidayRules::MonthLines* THolidayRules::BatchLines(std::int32_t y, std::uint8_t m) {
    if (batchDepth_ == 0) return nullptr;
    const auto found =
        std::find_if(kept_.begin(), kept_.end(), [&](const auto& lines) { return lines->Year == y && lines->Month == m; });
    if (found != kept_.end()) {
        std::rotate(kept_.begin(), found, found + 1);
    } else {
        std::unique_ptr<MonthLines> lines = ReadMonthLines(y, m);
        if (kept_.size() >= kKeptMonths) kept_.resize(kKeptMonths - 1);
        kept_.insert(kept_.begin(), std::move(lines));
    }
    return kept_.front().get();
}

std::unique_ptr<THolidayRules::MonthLines> THolidayRules::ReadMonthLines(std::int32_t y, std::uint8_t m) {
    auto lines = std::make_unique<MonthLines>();
    lines->Year = y;
    lines->Month = m;
    // In the order every evaluation walks the lines, so the first error is the one it meets.
    try {
        for (const TStringList* list : {&specialDayList_, &holidayList_}) {
            const TDayAttrs attr = list == &specialDayList_ ? daSpecialDay : daHoliday;
            for (const std::string& line : list->Lines()) {
                TDayLine parsed = ParseDayLine(line, y, m);
                if (parsed.Month != m || parsed.Day < 1 || parsed.Day > 31) continue;
                lines->Attrs[parsed.Day] |= attr;
                lines->Names[parsed.Day].push_back(std::move(parsed.Name));
            }
        }
    } catch (...) {
        lines->Error = std::current_exception();
    }
    return lines;
}

TDayAttrs THolidayRules::OwnAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    TDayAttrs attrs = 0;
    if (const MonthLines* lines = BatchLines(y, m)) {
        if (lines->Error) std::rethrow_exception(lines->Error);
        attrs = lines->Attrs[d];
    } else {
        // Every line is evaluated even after a match, so a malformed line is reported on
        // every evaluation, not only on the days before the first match.
        for (const std::string& line : specialDayList_.Lines())
            if (LineMatches(line, y, m, d)) attrs |= daSpecialDay;
        for (const std::string& line : holidayList_.Lines())
            if (LineMatches(line, y, m, d)) attrs |= daHoliday;
    }
    const std::uint8_t w = JuliusDayOfWeek(YMDToJulius(y, m, d));
    if (w == 1) attrs |= daSunday;
    if (w == 7) attrs |= daSaturday;
    if (autoEquinox_ && IsEquinox(y, m, d)) attrs |= daHoliday;
    return attrs;
}

TDayAttrs THolidayRules::NeighbourAttrs(TJuliusDay j) {
    const bool outer = ownOnly_;
    ownOnly_ = true;
    const TYMD date = JuliusToYMD(j);
    try {
        const TDayAttrs attrs = GetDayAttrs(date.Year, date.Month, date.Day);
        ownOnly_ = outer;
        return attrs;
    } catch (...) {
        ownOnly_ = outer;
        throw;
    }
}

namespace {

constexpr TJuliusDay kSubstituteLaw = 2441785;  // 1973-04-12
constexpr TJuliusDay kCitizensLaw = 2446427;    // 1985-12-27
constexpr TJuliusDay kLaw2007 = 2454102;        // 2007-01-01

}  // namespace

// Only for a day that is no holiday of its own.
THolidayRules::Derived THolidayRules::DerivedDays(TJuliusDay j, TDayAttrs own) {
    Derived derived;
    if (j <= kSubstituteLaw) return derived;
    // Both rules need the day before to be a holiday: most days end here.
    TDayAttrs before = NeighbourAttrs(j - 1);
    if (!(before & daHoliday)) return derived;
    // Back over the run of holidays to its Sunday; before 2007 only the Monday counts.
    TDayAttrs run = before;
    for (int back = 1; back <= 7; ++back) {
        if (!(run & daHoliday)) break;
        if (run & daSunday) {
            const TJuliusDay sunday = j - back;
            derived.Substitute = sunday >= kSubstituteLaw && (sunday >= kLaw2007 || back == 1);
            break;
        }
        // A Sunday further back than the day before counts only from 2007 on.
        if (back == 7 || j - back - 1 < kLaw2007) break;
        run = NeighbourAttrs(j - back - 1);
    }
    if (j >= kCitizensLaw && (NeighbourAttrs(j + 1) & daHoliday)) {
        const bool excluded = j < kLaw2007 && ((own & daSunday) || derived.Substitute);
        derived.Citizens = !excluded;
    }
    return derived;
}

TDayAttrs THolidayRules::GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    TDayAttrs attrs = OwnAttrs(y, m, d);
    if (ownOnly_ || (attrs & daHoliday) || !(autoFurikae_ || autoKokumin_)) return attrs;
    const Derived derived = DerivedDays(YMDToJulius(y, m, d), attrs);
    if (autoFurikae_ && derived.Substitute)
        attrs |= daFurikae;
    else if (autoKokumin_ && derived.Citizens)
        attrs |= daHoliday;
    return attrs;
}

std::string THolidayRules::GetHolidayNames(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    TStringList names;
    bool listed = false;
    if (const MonthLines* lines = BatchLines(y, m)) {
        if (lines->Error) std::rethrow_exception(lines->Error);
        for (const std::string& name : lines->Names[d]) names.Add(name);
        listed = lines->Attrs[d] & daHoliday;
    } else {
        for (const std::string& line : specialDayList_.Lines()) {
            TDayLine parsed = ParseDayLine(line, y, m);
            if (parsed.Month == m && parsed.Day == d) names.Add(parsed.Name);
        }
        for (const std::string& line : holidayList_.Lines()) {
            TDayLine parsed = ParseDayLine(line, y, m);
            if (parsed.Month == m && parsed.Day == d) {
                names.Add(parsed.Name);
                listed = true;
            }
        }
    }
    bool vernal = false;
    const bool equinox = autoEquinox_ && IsEquinox(y, m, d, &vernal);
    if (equinox) names.Add(vernal ? VernalName() : AutumnalName());
    const TDayAttrs attrs = GetDayAttrs(y, m, d);
    if (autoFurikae_ && (attrs & daFurikae)) names.Add(FurikaeName());
    if (autoKokumin_ && !listed && !equinox && !(attrs & daFurikae) && (attrs & daHoliday)) {
        // A holiday that no line and no equinox gave: the citizens' holiday, unless a
        // descendant made the day a holiday of its own.
        const Derived derived = DerivedDays(YMDToJulius(y, m, d), attrs & ~daHoliday);
        if (derived.Citizens && !(autoFurikae_ && derived.Substitute)) names.Add(CitizensName());
    }
    return names.CommaText();
}
