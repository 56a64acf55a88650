#include "calendar/day_speech.h"

#include "platform/sjis.h"

#include <algorithm>

namespace {

const char* const kWeekdays[] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
constexpr std::string_view kFurikae = "振替休日";

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] != '"') {
                    item += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == '"') {
                    item += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            while (i < text.size() && text[i] != ',') ++i;
        } else {
            const size_t end = std::min(text.find(',', i), text.size());
            item = text.substr(i, end - i);
            i = end;
        }
        ++i;  // the comma
        if (!item.empty()) out.push_back(item);
    }
    return out;
}

std::string DaySpoken(const TDaySpeech& d) {
    std::string out = std::to_string(d.month) + "月" + std::to_string(d.day) + "日 " + kWeekdays[(d.weekday % 7 + 7) % 7];
    std::vector<std::string> names;
    for (const std::string& name : SplitCommaText(d.namesCommaText)) names.push_back(SjisToUtf8(name));
    const bool furikae = d.attrs & daFurikae;
    if ((d.attrs & daHoliday) && !furikae) {
        out += "、祝日";
        for (size_t i = 0; i < names.size(); ++i) out += (i == 0 ? " " : "、") + names[i];
    } else {
        bool furikaeSaid = false;
        for (const std::string& name : names) {
            furikaeSaid = furikaeSaid || name == kFurikae;
            out += "、" + name;
        }
        if (furikae && !furikaeSaid) out += "、" + std::string(kFurikae);
    }
    if (!d.rokuyo.empty()) out += "、" + SjisToUtf8(d.rokuyo);
    if (d.marked) out += "、日記あり";
    if (d.today) out += "、今日";
    return out;
}
