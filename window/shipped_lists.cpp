#include "window/shipped_lists.h"

#include "platform/sjis.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

TStringList FromUtf8(std::initializer_list<const char*> lines) {
    TStringList list;
    for (const char* line : lines) list.Add(Sjis(line));
    return list;
}

std::vector<std::string> SortedLines(const TStrings& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

// year,0,... holds in that year, first-last,0,... in those years, year,2,... from then on.
TStringList ShippedHolidayList() {
    return FromUtf8({
        "1949,2,1,1,元日",
        "1949-1999,0,1,15,成人の日",
        "2000,2,1,2,2,成人の日",
        "1967,2,2,11,建国記念の日",
        "1949-1988,0,4,29,天皇誕生日",
        "1989-2018,0,12,23,天皇誕生日",
        "2020,2,2,23,天皇誕生日",
        "1989-2006,0,4,29,みどりの日",
        "2007,2,5,4,みどりの日",
        "2007,2,4,29,昭和の日",
        "1949,2,5,3,憲法記念日",
        "1949,2,5,5,こどもの日",
        "1996-2002,0,7,20,海の日",
        "2003-2019,0,7,3,2,海の日",
        "2020,0,7,23,海の日",
        "2021,0,7,22,海の日",
        "2022,2,7,3,2,海の日",
        "2016-2019,0,8,11,山の日",
        "2020,0,8,10,山の日",
        "2021,0,8,8,山の日",
        "2022,2,8,11,山の日",
        "1966-2002,0,9,15,敬老の日",
        "2003,2,9,3,2,敬老の日",
        "1966-1999,0,10,10,体育の日",
        "2000-2019,0,10,2,2,体育の日",
        "2020,0,7,24,スポーツの日",
        "2021,0,7,23,スポーツの日",
        "2022,2,10,2,2,スポーツの日",
        "1948,2,11,3,文化の日",
        "1948,2,11,23,勤労感謝の日",
        "1959,0,4,10,皇太子明仁親王の結婚の儀",
        "1989,0,2,24,昭和天皇の大喪の礼",
        "1990,0,11,12,即位礼正殿の儀",
        "1993,0,6,9,皇太子徳仁親王の結婚の儀",
        "2019,0,5,1,天皇の即位の日",
        "2019,0,10,22,即位礼正殿の儀",
    });
}

TStringList ShippedSpecialDayList() { return FromUtf8({"12,25,クリスマス"}); }

TStringList OldShippedHolidayList() {
    return FromUtf8({"1,1,元旦", "1,15,成人の日", "2,11,建国記念日", "4,29,みどりの日", "5,3,憲法記念日",
                     "5,4,国民の休日", "5,5,こどもの日", "7,20,海の日", "9,15,敬老の日", "10,10,体育の日",
                     "11,3,文化の日", "11,23,勤労感謝の日", "12,23,天皇誕生日"});
}

bool UpgradeShippedHolidayList(TStrings& list) {
    if (SortedLines(list) != SortedLines(OldShippedHolidayList())) return false;
    list.Assign(ShippedHolidayList());
    return true;
}
