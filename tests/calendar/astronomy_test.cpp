#include "calendar/astronomy.h"
#include "calendar/julius.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A moment in UT from a date and a time of day.
double UT(int y, int m, int d, int hour, int minute) {
    return YMDToJulius(y, m, d) - 0.5 + (hour + minute / 60.0) / 24.0;
}

constexpr double kMinute = 1.0 / 1440.0;

}  // namespace

// The fits meet where one hands over to the next (a wrong coefficient would leave a step).
TEST(DeltaT, ContinuousAndNearObservedValues) {
    for (double year : {1860.0, 1900.0, 1920.0, 1941.0, 1961.0, 1986.0, 2005.0, 2050.0})
        EXPECT_NEAR(DeltaTSeconds(year - 1e-9), DeltaTSeconds(year), 1.0) << year;
    EXPECT_NEAR(DeltaTSeconds(1900.0), -2.8, 0.5);
    EXPECT_NEAR(DeltaTSeconds(1950.0), 29.1, 0.5);
    EXPECT_NEAR(DeltaTSeconds(2000.0), 63.9, 0.5);
    EXPECT_NEAR(DeltaTSeconds(2026.0), 70.0, 6.0);
}

// Published moments (to the minute) of new moons, equinoxes and solstices.
TEST(Astronomy, MomentsWithinAMinute) {
    EXPECT_NEAR(NewMoonUT(0), UT(2000, 1, 6, 18, 14), 1.5 * kMinute);
    EXPECT_NEAR(NewMoonUT(323), UT(2026, 2, 17, 12, 1), 1.5 * kMinute);
    EXPECT_NEAR(SolarLongitudeUT(0, UT(2000, 3, 18, 0, 0)), UT(2000, 3, 20, 7, 35), 1.5 * kMinute);
    EXPECT_NEAR(SolarLongitudeUT(90, UT(2000, 6, 25, 0, 0)), UT(2000, 6, 21, 1, 48), 1.5 * kMinute);
    EXPECT_NEAR(SolarLongitudeUT(0, UT(2026, 3, 21, 0, 0)), UT(2026, 3, 20, 14, 46), 1.5 * kMinute);
    EXPECT_NEAR(SolarLongitudeUT(270, UT(2026, 12, 20, 0, 0)), UT(2026, 12, 21, 20, 50), 1.5 * kMinute);
    EXPECT_EQ(NearestLunation(UT(2026, 2, 10, 0, 0)), 323);
    // Midnight in Tokyo is 15:00 UT of the day before.
    EXPECT_EQ(JstDay(UT(2026, 2, 16, 14, 59)), YMDToJulius(2026, 2, 16));
    EXPECT_EQ(JstDay(UT(2026, 2, 16, 15, 1)), YMDToJulius(2026, 2, 17));
}

// The quick day of a new moon is the day of the full computation, over the whole range.
TEST(Astronomy, QuickNewMoonDayAgreesWithTheFullComputation) {
    const int first = NearestLunation(UT(1873, 1, 1, 0, 0)), last = NearestLunation(UT(2101, 1, 1, 0, 0));
    for (int k = first; k <= last; k += 23) ASSERT_EQ(NewMoonJstDay(k), JstDay(NewMoonUT(k))) << k;
}
