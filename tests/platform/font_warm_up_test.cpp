#include "platform/font_warm_up.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <gtest/gtest.h>

// The program may stop before its window exists (a diary folder it cannot make): the
// work must then be waited for, not left running or abort the program.
TEST(FontWarmUp, EndsCleanlyWithOrWithoutFillingAndLeavesTheDatabaseUsable) {
    { TFontWarmUp unused; }
    {
        TFontWarmUp warm;
        warm.Fill();
        warm.Fill();  // a second call changes nothing
        // Asked while the other thread may still be filling: Qt's lock makes this wait.
        EXPECT_GT(QFontMetrics(QFont(QStringLiteral("IPAGothic"), 12)).height(), 0);
    }
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("IPAGothic")));
}
