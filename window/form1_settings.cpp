// What the main window keeps in "Mekuri.ini": placement, the calendars' colours and
// fonts, the week calendar's lists and the editor's font.
#include "window/form1.h"
#include "app/program_places.h"
#include "window/settings_table.h"
#include "window/shipped_lists.h"

#include "calendar/monthly_calendar.h"
#include "diary/conflict_copies.h"
#include "calendar/weekly_calendar.h"
#include "editor/editor.h"
#include "settings/ini_store.h"
#include "settings/window_position.h"

#include <QCoreApplication>

namespace {

TSettingEntry ColorEntry(const std::string& section, const std::string& key, std::function<TColor()> get,
                         std::function<void(TColor)> set) {
    return {section, key,
            [=](const TIniStore& ini) { set(ini.ReadColor(section, key, get())); },
            [=](TIniStore& ini) { ini.WriteColor(section, key, get()); }};
}

TSettingEntry FontEntry(const std::string& section, const std::string& key, TFont& font) {
    return {section, key,
            [section, key, &font](const TIniStore& ini) { ini.ReadFont(section, key, font); },
            [section, key, &font](TIniStore& ini) { ini.WriteFont(section, key, font); }};
}

// A switch, kept as 0 or 1; anything that does not read as an integer leaves it as it is.
TSettingEntry SwitchEntry(const std::string& section, const std::string& key, std::function<bool()> get,
                          std::function<void(bool)> set) {
    return {section, key,
            [=](const TIniStore& ini) { set(ini.ReadInteger(section, key, get() ? 1 : 0) != 0); },
            [=](TIniStore& ini) { ini.WriteInteger(section, key, get() ? 1 : 0); }};
}

TSettingEntry ListEntry(const std::string& section, const std::string& key, TStrings& list) {
    return {section, key,
            [section, key, &list](const TIniStore& ini) { ini.ReadStrings(section, key, list); },
            [section, key, &list](TIniStore& ini) { ini.WriteStrings(section, key, list); }};
}

// Keys of one calendar: the background, the colours of five day classes, then their fonts.
void AddCalendar(TSettingsTable& table, const std::string& section, char letter, TCustomCalendarEx& cal) {
    const std::string back = std::string("C") + letter + "Back";
    table.push_back(ColorEntry(section, back, [&cal] { return cal.Color(); }, [&cal](TColor c) { cal.SetColor(c); }));
    struct Class {
        const char* suffix;
        int font;
    };
    static const Class classes[] = {{"Day", TCalExFonts::Weekday},
                                    {"Sat", TCalExFonts::Saturday},
                                    {"Sun", TCalExFonts::Sunday},
                                    {"Hol", TCalExFonts::Holiday},
                                    {"Spe", TCalExFonts::SpecialDay}};
    for (const Class& c : classes) {
        TFont& font = cal.Fonts().Font(c.font);
        table.push_back(ColorEntry(section, std::string("C") + letter + c.suffix, [&font] { return font.Color(); },
                                   [&font](TColor color) { font.SetColor(color); }));
    }
    for (const Class& c : classes)
        table.push_back(FontEntry(section, std::string("F") + letter + c.suffix, cal.Fonts().Font(c.font)));
}

TSettingsTable BuildSettingsTable(TForm1& form) {
    TSettingsTable table;
    table.push_back({"Form", "Position",
                     [&form](const TIniStore& ini) { ReadWindowPosition(ini, "Form", "Position", form); },
                     [&form](TIniStore& ini) { WriteWindowPosition(ini, "Form", "Position", form); }});
    TMonthlyCalendar& month = *form.MonthlyCalendar1;
    TWeeklyCalendar& week = *form.WeeklyCalendar1;
    AddCalendar(table, "Monthly", 'M', month);
    table.push_back(SwitchEntry("Monthly", "MRokuyo", [&month] { return month.ShowRokuyo(); },
                                [&form](bool on) { form.SetRokuyoShown(on); }));
    table.push_back(SwitchEntry("Monthly", "MKokumin", [&month] { return month.AutoKokumin(); },
                                [&month](bool on) { month.SetAutoKokumin(on); }));
    AddCalendar(table, "Weekly", 'W', week);
    table.push_back(SwitchEntry("Weekly", "WKokumin", [&week] { return week.AutoKokumin(); },
                                [&week](bool on) { week.SetAutoKokumin(on); }));
    TSettingEntry holidays = ListEntry("Weekly", "WHol", week.HolidayList());
    // A list the user never edited follows the law as this version knows it.
    holidays.Read = [read = holidays.Read, &week](const TIniStore& ini) {
        read(ini);
        UpgradeShippedHolidayList(week.HolidayList());
    };
    table.push_back(holidays);
    table.push_back(ListEntry("Weekly", "WSpe", form.WeeklyCalendar1->SpecialDayList()));
    table.push_back(FontEntry("Editor", "FEd", form.Editor1->Font()));
    // Keys an older Mekuri does not know: it reads past them and leaves them out when it
    // writes, and this one then starts from its defaults again.
    table.push_back(SwitchEntry("Diary", "EntryMarks", [&month] { return month.ShowMarks(); },
                                [&form](bool on) { form.SetEntryMarksShown(on); }));
    table.push_back(ColorEntry("Diary", "CEntryMark", [&month] { return month.MarkColor(); },
                               [&form](TColor color) { form.SetEntryMarkColor(color); }));
    // Written by the user only: the program reads it and leaves the line as it stands.
    table.push_back({kConflictPatternsSection, kConflictPatternsKey,
                     [&form](const TIniStore& ini) {
                         form.SetConflictPatterns(ini.ReadString(kConflictPatternsSection, kConflictPatternsKey, form.ConflictPatterns()));
                     },
                     [](TIniStore&) {}});
    // 新しい日記の文字コード: 0 Shift-JIS (UTF-8 only for a text that does not fit), 1 UTF-8.
    table.push_back(SwitchEntry("Diary", "NewDiaryUtf8", [&form] { return form.NewDiaryUtf8(); },
                                [&form](bool on) { form.SetNewDiaryUtf8(on); }));
    return table;
}

}  // namespace

void TForm1::BuildIniStore() {
    IniStore1 = new TIniStore();
    IniStore1->SetApplicationDir(SettingsFolder().empty() ? QCoreApplication::applicationDirPath().toStdString()
                                                         : SettingsFolder());
    IniStore1->SetDefaultDir(ddApplication);
    IniStore1->SetFileName("Mekuri.ini");
    IniStore1->SetFence(fnParenthesis);
}

// One read of the file at start and one safe replacement at close: a close cut short
// leaves the old file whole, and start-up does not open the file once per key.
void TForm1::LoadSettings() {
    IniStore1->Batch([this] {
        for (const TSettingEntry& entry : BuildSettingsTable(*this)) entry.Read(*IniStore1);
    });
}

void TForm1::SaveSettings() {
    IniStore1->Batch([this] {
        for (const TSettingEntry& entry : BuildSettingsTable(*this)) entry.Write(*IniStore1);
    });
}
