#include "window/form1.h"
#include "window/shipped_lists.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "editor/editor.h"
#include "platform/sjis.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace {

class SettingsPersistence : public ::testing::Test {
protected:
    TestEnvironment env{{2026, 12, 7}};
    QTemporaryDir dir;

    std::string IniPath() const { return dir.filePath("Mekuri.ini").toStdString(); }

    std::unique_ptr<TForm1> Open() {
        auto form = std::make_unique<TForm1>();
        form->IniStore1->SetApplicationDir(dir.path().toStdString());
        form->show();
        return form;
    }

    std::string FileText() const {
        std::ifstream in(IniPath(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    // Writes a settings file from UTF-8 lines (stored as CP932, CR LF).
    void WriteFile(std::initializer_list<const char*> lines) const {
        std::string text;
        for (const char* l : lines) text += Utf8ToSjis(l) + "\r\n";
        std::ofstream(IniPath(), std::ios::binary) << text;
    }
};

// The text a first close writes after [Form], in the order of the key table.
std::string ExpectedAfterPlacement() {
    std::string t;
    auto line = [&t](const std::string& l) { t += Utf8ToSjis(l) + "\r\n"; };
    auto calendar = [&](const char* section, char letter) {
        line("");
        line(std::string("[") + section + "]");
        std::string c = std::string("C") + letter, f = std::string("F") + letter;
        line(c + "Back=0x1FFFFFFF");
        const char* classes[] = {"Day", "Sat", "Sun", "Hol", "Spe"};
        const char* colours[] = {"0x00000000", "0x00FF0000", "0x000000FF", "0x000000FF", "0x00008000"};
        for (int i = 0; i < 5; ++i) line(c + classes[i] + "=" + colours[i]);
        for (int i = 0; i < 5; ++i) {
            line(f + classes[i] + ".Name=ＭＳ Ｐゴシック");
            line(f + classes[i] + ".Size=9");
            line(f + classes[i] + ".Style=0");
            line(f + classes[i] + ".Color=" + colours[i]);
        }
        if (letter == 'M') {
            line("MRokuyo=0");
            line("MKokumin=1");
        } else {
            line("WKokumin=1");
        }
    };
    calendar("Monthly", 'M');
    calendar("Weekly", 'W');
    const TStringList holidays = ShippedHolidayList();
    line("WHol.Count=" + std::to_string(holidays.Count()));
    for (int i = 0; i < holidays.Count(); ++i)
        line("WHol." + std::to_string(i) + "=｢" + SjisToUtf8(holidays.Strings(i)) + "｣");
    line("WSpe.Count=1");
    line("WSpe.0=｢12,25,クリスマス｣");
    line("");
    line("[Editor]");
    line("FEd.Name=@ＭＳ ゴシック");
    line("FEd.Size=11");
    line("FEd.Style=0");
    line("FEd.Color=0x80000008");
    line("");
    line("[Diary]");
    line("EntryMarks=1");
    line("CEntryMark=0x000060E0");
    line("NewDiaryUtf8=0");
    return t;
}

}  // namespace

TEST_F(SettingsPersistence, FirstCloseWritesEveryKeyInTableOrder) {
    auto form = Open();
    form->close();
    std::string text = FileText();
    const std::string placement[] = {"Flags", "Show", "MaxX", "MaxY", "X", "Y", "XSize", "YSize"};
    std::string head = "[Form]\r\n";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
    size_t pos = head.size();
    for (const std::string& key : placement) {
        std::string prefix = "Position." + key + "=";
        ASSERT_EQ(text.compare(pos, prefix.size(), prefix), 0) << "at " << key;
        size_t end = text.find("\r\n", pos);
        std::string value = text.substr(pos + prefix.size(), end - pos - prefix.size());
        EXPECT_FALSE(value.empty());
        EXPECT_EQ(value.find_first_not_of("-0123456789"), std::string::npos) << key << "=" << value;
        pos = end + 2;
    }
    EXPECT_EQ(text.substr(pos), ExpectedAfterPlacement());
}

TEST_F(SettingsPersistence, ChangesSurviveARestart) {
    {
        auto form = Open();
        form->MonthlyCalendar1->Fonts().HolidayFont().SetColor(clPurple);
        form->WeeklyCalendar1->SetColor(clYellow);
        TFont bold = form->WeeklyCalendar1->Fonts().SundayFont();
        bold.SetStyle(fsBold | fsItalic);
        bold.SetSize(14);
        form->WeeklyCalendar1->Fonts().SundayFont().Assign(bold);
        form->WeeklyCalendar1->HolidayList().Delete(0);
        form->WeeklyCalendar1->HolidayList().Add(Sjis("8,11,山の日"));
        form->WeeklyCalendar1->SpecialDayList().Clear();
        form->Editor1->Font().SetSize(16);
        form->SetEntryMarksShown(false);
        form->SetEntryMarkColor(clTeal);
        form->SetNewDiaryUtf8(true);
        form->move(40, 50);
        form->close();
    }
    std::string text = FileText();
    EXPECT_NE(text.find("CMHol=0x00800080\r\n"), std::string::npos);
    EXPECT_NE(text.find("FMHol.Color=0x00800080\r\n"), std::string::npos);

    auto form = Open();
    EXPECT_EQ(form->MonthlyCalendar1->Fonts().HolidayFont().Color(), clPurple);
    EXPECT_EQ(form->WeeklyCalendar1->Color(), clYellow);
    const TFont& sunday = form->WeeklyCalendar1->Fonts().SundayFont();
    EXPECT_EQ(sunday.Style(), fsBold | fsItalic);
    EXPECT_EQ(sunday.Size(), 14);
    EXPECT_EQ(sunday.Color(), clRed);
    EXPECT_EQ(form->WeeklyCalendar1->HolidayList().Count(), ShippedHolidayList().Count());
    EXPECT_EQ(form->WeeklyCalendar1->HolidayList().Strings(ShippedHolidayList().Count() - 1), Sjis("8,11,山の日"));
    EXPECT_EQ(form->WeeklyCalendar1->SpecialDayList().Count(), 0);
    // The month calendar takes its copies of the restored lists at start-up.
    EXPECT_EQ(form->MonthlyCalendar1->HolidayList().Text(), form->WeeklyCalendar1->HolidayList().Text());
    EXPECT_EQ(form->Editor1->Font().Size(), 16);
    EXPECT_EQ(form->Editor1->Font().Name(), Sjis("@ＭＳ ゴシック"));
    EXPECT_FALSE(form->EntryMarksShow->isChecked());
    EXPECT_TRUE(form->NewDiaryUtf8());
    for (TCustomCalendarEx* c : {static_cast<TCustomCalendarEx*>(form->MonthlyCalendar1), static_cast<TCustomCalendarEx*>(form->WeeklyCalendar1)}) {
        EXPECT_FALSE(c->ShowMarks());
        EXPECT_EQ(c->MarkColor(), clTeal);
    }
}

TEST_F(SettingsPersistence, ColourKeyIsTheDefaultOfAMissingFontColour) {
    WriteFile({"[Monthly]", "CMSat=0x0000FF00", "FMSat.Name=ＭＳ Ｐゴシック", "FMSat.Size=9", "[Weekly]",
               "WHol.Count=0"});
    auto form = Open();
    EXPECT_EQ(form->MonthlyCalendar1->Fonts().SaturdayFont().Color(), clLime);
    EXPECT_EQ(form->WeeklyCalendar1->HolidayList().Count(), 0);
    EXPECT_EQ(form->MonthlyCalendar1->HolidayList().Count(), 0);
    EXPECT_EQ(form->WeeklyCalendar1->SpecialDayList().Count(), 1);  // missing: the shipped line
}

TEST_F(SettingsPersistence, FencedOrQuotedFaceNamesLoseTheirFence) {
    WriteFile({"[Editor]", "FEd.Name=｢ＭＳ ゴシック｣", "[Weekly]", "FWDay.Name=\"ＭＳ 明朝\""});
    auto form = Open();
    EXPECT_EQ(form->Editor1->Font().Name(), Sjis("ＭＳ ゴシック"));
    EXPECT_EQ(form->WeeklyCalendar1->Fonts().WeekdayFont().Name(), Sjis("ＭＳ 明朝"));
    form->close();
    std::string text = FileText();
    EXPECT_NE(text.find(Sjis("FEd.Name=ＭＳ ゴシック\r\n")), std::string::npos);
    EXPECT_NE(text.find(Sjis("FWDay.Name=ＭＳ 明朝\r\n")), std::string::npos);
}

TEST_F(SettingsPersistence, MalformedColourStopsTheStartUpAndIsRewrittenAtClose) {
    WriteFile({"[Monthly]", "CMBack=0x00FFFF00", "CMDay=0xRED", "CMSat=0x000000FF"});
    auto form = Open();
    ASSERT_EQ(env.dialogs.errors.size(), 1u);
    EXPECT_EQ(env.dialogs.errors[0], "'$RED' は整数ではありません");
    // Read so far: the background. Not read: everything after the bad key.
    EXPECT_EQ(form->MonthlyCalendar1->Color(), 0x00FFFF00);
    EXPECT_EQ(form->MonthlyCalendar1->Fonts().SaturdayFont().Color(), clBlue);
    // The rest of the start-up never ran: both calendars are on their initial day.
    EXPECT_EQ(form->MonthlyCalendar1->JuliusDay(), 2451221);
    EXPECT_EQ(form->WeeklyCalendar1->JuliusDay(), 2451221);
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    form->close();
    std::string text = FileText();
    EXPECT_NE(text.find("CMDay=0x00000000\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Editor]"), std::string::npos);
}

TEST_F(SettingsPersistence, UnwritableSettingsStillLetTheWindowClose) {
    auto form = Open();
    ASSERT_TRUE(QDir(dir.path()).mkdir("Mekuri.ini"));  // a folder where the file should be
    form->close();
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(env.dialogs.errors.size(), 1u);
    EXPECT_EQ(env.dialogs.errors[0], IniPath() + " に書き込めません");
}

// A holiday list that is exactly what earlier versions shipped was never edited: it gets
// the lines of the law; a list the user changed in any way is kept as it is.
TEST_F(SettingsPersistence, OldShippedHolidayListIsUpgradedOnlyWhenUnedited) {
    auto writeHolidays = [this](const TStringList& lines) {
        TIniStore ini;
        ini.SetApplicationDir(dir.path().toStdString());
        ini.SetDefaultDir(ddApplication);
        ini.SetFileName("Mekuri.ini");
        ini.SetFence(fnParenthesis);
        ini.WriteStrings("Weekly", "WHol", lines);
    };
    auto holidaysAtStart = [this] { return Open()->WeeklyCalendar1->HolidayList().Text(); };

    writeHolidays(OldShippedHolidayList());
    EXPECT_EQ(holidaysAtStart(), ShippedHolidayList().Text());

    // The edit dialog stores the same lines sorted.
    TStringList sorted = OldShippedHolidayList();
    std::vector<std::string> lines;
    for (int i = 0; i < sorted.Count(); ++i) lines.push_back(sorted.Strings(i));
    std::sort(lines.begin(), lines.end());
    sorted.Clear();
    for (const std::string& line : lines) sorted.Add(line);
    writeHolidays(sorted);
    EXPECT_EQ(holidaysAtStart(), ShippedHolidayList().Text());

    TStringList added = OldShippedHolidayList();
    added.Add(Sjis("8,11,山の日"));
    TStringList removed = OldShippedHolidayList();
    removed.Delete(12);
    TStringList changed = OldShippedHolidayList();
    changed.SetStrings(0, Sjis("1,1,元日"));
    TStringList doubled = OldShippedHolidayList();
    doubled.SetStrings(1, doubled.Strings(0));
    for (const TStringList* own : {&added, &removed, &changed, &doubled}) {
        writeHolidays(*own);
        EXPECT_EQ(holidaysAtStart(), own->Text());
    }
}

// The rokuyo mark and the citizens' holiday switches are kept over a restart.
TEST_F(SettingsPersistence, RokuyoAndCitizensHolidaySwitchesSurviveARestart) {
    {
        auto form = Open();
        EXPECT_FALSE(form->RokuyoShow->isChecked());
        form->RokuyoShow->trigger();
        EXPECT_TRUE(form->MonthlyCalendar1->ShowRokuyo());
        form->WeeklyCalendar1->SetAutoKokumin(false);
        form->close();
    }
    auto form = Open();
    EXPECT_TRUE(form->RokuyoShow->isChecked());
    EXPECT_TRUE(form->MonthlyCalendar1->ShowRokuyo());
    EXPECT_TRUE(form->MonthlyCalendar1->AutoKokumin());
    EXPECT_FALSE(form->WeeklyCalendar1->AutoKokumin());
}
