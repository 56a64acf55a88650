#include "window/form3.h"

#include "window/form1.h"

TForm3::TForm3(TForm1* owner)
    : TCommandDialog(owner, "色の設定",
                     {
                         {"MonthlyCalendar(&A)",
                          {{"背景(&B)", owner->A1},
                           {"日付(&W)", owner->W1},
                           {"土曜(&S)", owner->S3},
                           {"日曜(&U)", owner->U1},
                           {"休日(&H)", owner->H2},
                           {"特別な日(&P)", owner->S1}}},
                         {"WeeklyCalendar(&B)",
                          {{"背景(CTRL+B)", owner->N17, Qt::Key_B},
                           {"日付(CTRL+W)", owner->W2, Qt::Key_W},
                           {"土曜(CTRL+S)", owner->S4, Qt::Key_S},
                           {"日曜(CTRL+U)", owner->U2, Qt::Key_U},
                           {"休日(CTRL+H)", owner->H3, Qt::Key_H},
                           {"特別な日(CTRL+P)", owner->S2, Qt::Key_P}}},
                     },
                     QSize(475, 206)) {}
