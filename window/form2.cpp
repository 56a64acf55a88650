#include "window/form2.h"

#include "window/form1.h"
#include "platform/qt_fonts.h"

TForm2::TForm2(TForm1* owner)
    : TCommandDialog(owner, "フォントの設定",
                     {
                         // "(A)" is plain text here: Alt+A already selects the group.
                         {"MonthlyCalendar(&A)",
                          {{"全体(A)", owner->MCFontAll},
                           {"曜日(&W)", owner->MCWeekFont},
                           {"土曜(&S)", owner->MCSaturdayFont},
                           {"日曜(&U)", owner->MCSundayFont},
                           {"休日(&H)", owner->MCHolidayFont},
                           {"特別な日(&P)", owner->MCSpecialdayFont}}},
                         {"WeeklyCalendar(&B)",
                          {{"全体(CTRL+A)", owner->WCFontAll, Qt::Key_A},
                           {"曜日(CTRL+W)", owner->WCWeekFont, Qt::Key_W},
                           {"土曜(CTRL+S)", owner->WCSaturdayFont, Qt::Key_S},
                           {"日曜(CTRL+U)", owner->WCSundayFont, Qt::Key_U},
                           {"休日(CTRL+H)", owner->WCHolidayFont, Qt::Key_H},
                           {"特別な日(CTRL+P)", owner->WCSpecialdayFont, Qt::Key_P}}},
                         {"Editor(&D)", {{"エディタ(&E)", owner->EditFont}}},
                     },
                     QSize(458, 225)) {
    // "ＭＳ Ｐゴシック", 12 pixels: the description's defaults.
    setFont(ToQFont(TFont()));
}
