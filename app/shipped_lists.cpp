#include "app/shipped_lists.h"

#include "platform/sjis.h"

TStringList ShippedHolidayList() {
    static const char* const lines[] = {
        "1,1,元旦",         "1,15,成人の日",  "2,11,建国記念日", "4,29,みどりの日",   "5,3,憲法記念日",
        "5,4,国民の休日",   "5,5,こどもの日", "7,20,海の日",     "9,15,敬老の日",     "10,10,体育の日",
        "11,3,文化の日",    "11,23,勤労感謝の日", "12,23,天皇誕生日",
    };
    TStringList list;
    for (const char* line : lines) list.Add(Sjis(line));
    return list;
}

TStringList ShippedSpecialDayList() {
    TStringList list;
    list.Add(Sjis("12,25,クリスマス"));
    return list;
}
