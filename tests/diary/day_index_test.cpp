// Which files are day files, and the index of days with an entry built from one listing.
#include "diary/day_file_name.h"
#include "diary/day_index.h"
#include "../platform/temp_folder.h"

#include <random>
#include <set>
#include <sys/stat.h>

namespace {

TYMD D(int y, int m, int d) { return {y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d)}; }

}  // namespace

TEST(DayOfFileName, TakesExactlyTheNamesTheNameRuleGives) {
    const struct {
        const char* name;
        std::optional<TYMD> day;
    } cases[] = {
        {"2026127.dat", D(2026, 12, 7)},
        {"2027111.dat", D(2027, 11, 1)},     // the November day owns the shared name
        {"2027-01-11.dat", D(2027, 1, 11)},  // and January is written apart
        {"20261231.dat", D(2026, 12, 31)},
        {"199923.dat", D(1999, 2, 3)},
        {"2024229.dat", D(2024, 2, 29)},
        {"2023229.dat", D(20232, 2, 9)},     // 2023-02-29 does not exist; the longer year does
        {"2026-1-7.dat", std::nullopt},
        {"2026-12-07.dat", std::nullopt},    // 2026-12-07 has a plain name of its own
        {"2027-11-01.dat", std::nullopt},
        {"02026127.dat", std::nullopt},
        {"foo.dat", std::nullopt},
        {"2026127.dat.tmp", std::nullopt},
        {"2026127.DAT", std::nullopt},
        {".dat", std::nullopt},
        {"2026127", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(DayOfFileName(c.name), c.day) << c.name;
}

TEST(DayOfFileName, RoundTripsEveryDayOfFourHundredYears) {
    for (TJuliusDay j = YMDToJulius(1900, 1, 1); j <= YMDToJulius(2300, 12, 31); ++j) {
        const TYMD day = JuliusToYMD(j);
        const std::string name = DayFileName(day.Year, day.Month, day.Day);
        ASSERT_EQ(DayOfFileName(name), day) << name;
    }
}

using DayIndexFolder = TempFolder;

TEST_F(DayIndexFolder, ListsDayFilesOnlyAndAnswersNeighbours) {
    for (const char* name : {"2026127.dat", "2027111.dat", "2027-01-11.dat", "2026-1-7.dat", "foo.dat",
                             "20261231.dat.new", ".Mekuri.lock"})
        Put(PathOf(name), "x");
    Put(PathOf("2026125.dat"), "");  // an empty entry is still an entry
    ::mkdir(PathOf("2026126.dat").c_str(), 0755);
    TDayIndex index;
    ASSERT_EQ(index.Scan(dir_.string()), 0);
    EXPECT_EQ(index.Days(), (std::vector<TYMD>{D(2026, 12, 5), D(2026, 12, 7), D(2027, 1, 11), D(2027, 11, 1)}));
    EXPECT_FALSE(index.Has(D(2026, 12, 6)));
    EXPECT_EQ(index.After(D(2026, 12, 5)), D(2026, 12, 7));
    EXPECT_EQ(index.After(D(2026, 12, 6)), D(2026, 12, 7));
    EXPECT_EQ(index.Before(D(2026, 12, 5)), std::nullopt);
    EXPECT_EQ(index.After(D(2027, 11, 1)), std::nullopt);
    EXPECT_EQ(index.Between(D(2026, 12, 6), D(2027, 1, 11)), (std::vector<TYMD>{D(2026, 12, 7), D(2027, 1, 11)}));
    EXPECT_TRUE(index.Between(D(2027, 2, 1), D(2027, 1, 1)).empty());
    EXPECT_NE(TDayIndex().Scan(PathOf("missing")), 0);
}

TEST(DayIndex, AddAndRemoveKeepItSortedAsAScanWould) {
    std::mt19937 random(20261207);
    TDayIndex index;
    std::set<std::pair<int, int>> model;  // (year, day of year) stands in for the date order
    for (int step = 0; step < 5000; ++step) {
        const TJuliusDay j = YMDToJulius(2000, 1, 1) + static_cast<int>(random() % 3000);
        const TYMD day = JuliusToYMD(j);
        if (random() % 3) {
            EXPECT_EQ(index.Add(day), model.insert({day.Year, j}).second);
        } else {
            EXPECT_EQ(index.Remove(day), model.erase({day.Year, j}) == 1);
        }
    }
    ASSERT_EQ(index.Size(), model.size());
    auto at = model.begin();
    for (const TYMD& day : index.Days()) EXPECT_EQ(YMDToJulius(day.Year, day.Month, day.Day), (at++)->second);
}
