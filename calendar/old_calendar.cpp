#include "calendar/old_calendar.h"

#include "calendar/lunisolar.h"

#include "platform/convert.h"
#include "platform/sjis.h"
#include "platform/string_list.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

extern const unsigned char kJdOldCal[];
extern const std::size_t kJdOldCalSize;

namespace {

struct MonthStart {
    TJuliusDay Start;
    int Month;
};

// The table never changes, so it is read once and searched by bisection; a lookup per
// day cell on every redraw then costs a few comparisons.
const std::vector<MonthStart>& Table() {
    static const std::vector<MonthStart> table = [] {
        TStringList lines;
        lines.SetText(JdOldCalResource());
        std::vector<MonthStart> rows;
        rows.reserve(static_cast<std::size_t>(lines.Count()));
        for (const std::string& line : lines.Lines()) {
            std::vector<std::string> fields = SplitFields(line, ',');
            rows.push_back({StrToInt(fields.at(0)), fields.size() > 1 ? StrToInt(fields[1]) : 0});
        }
        return rows;
    }();
    return table;
}

}  // namespace

std::string_view JdOldCalResource() { return {reinterpret_cast<const char*>(kJdOldCal), kJdOldCalSize}; }

TOldDate OldCalendarDate(TJuliusDay j) {
    const std::vector<MonthStart>& table = Table();
    // The table answers inside its range; the computed calendar, which agrees with it
    // there, answers outside.
    if (table.empty() || j < table.front().Start || j >= table.back().Start) return ComputedOldCalendarDate(j);
    auto later = std::upper_bound(table.begin(), table.end(), j,
                                  [](TJuliusDay day, const MonthStart& row) { return day < row.Start; });
    const MonthStart& month = *(later - 1);
    return {static_cast<std::uint8_t>(month.Month), static_cast<std::uint8_t>(j - month.Start + 1)};
}

void OldCalendarDate(TJuliusDay j, std::uint8_t& month, std::uint8_t& day) {
    TOldDate d = OldCalendarDate(j);
    month = d.Month;
    day = d.Day;
}

int RokuyoOf(TJuliusDay j) {
    TOldDate d = OldCalendarDate(j);
    if (d.Month == 0) return 0;
    int month = d.Month > 100 ? d.Month - 100 : d.Month;  // a leap month counts as the one it repeats
    return ((month - 1) + (d.Day - 1)) % 6 + 1;
}

const std::string& RokuyoNames(int index) {
    static const std::array<std::string, 7> names = {
        Sjis("不明"), Sjis("先勝"), Sjis("友引"), Sjis("先負"), Sjis("仏滅"), Sjis("大安"), Sjis("赤口"),
    };
    return names[index >= 0 && index < 7 ? index : 0];
}
