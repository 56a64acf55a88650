#pragma once
// How a day is classified (weekday, Saturday, Sunday, holiday, substitute holiday,
// special day) and which names it carries. National holidays are not built in: they come
// as rule lines, like the user's special days. Only the equinox days and the substitute
// holiday are computed.
//
// A rule line is split at every comma (no quoting, no trimming, empty fields count):
//   month,day,name                          every year
//   month,n,weekday,name                    the n-th weekday (1 = Sunday) of the month
//   year,condition,month,day,name           condition 0: only that year, 1: that year
//   year,condition,month,n,weekday,name       and before, 2: that year and after,
//                                             anything else: every year
// Any other field count names no day. With condition 0 the year may be a span
// "first-last" (1949-1988): the line applies in those years.
//
// Beside the lines, days follow from the law's rules: the two equinox days, the
// substitute holiday (from 1973-04-12 the Monday after a Sunday holiday; from 2007 the
// first day after a Sunday holiday that is no holiday itself) and the citizens' holiday
// (from 1985-12-27 a day between two holidays; before 2007 not on a Sunday nor on a
// substitute holiday). The last two look at the neighbouring days' lines and equinoxes
// only, never at each other, as the law does.
#include "calendar/day_attrs.h"
#include "calendar/julius.h"
#include "platform/string_list.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What a rule line names. Month 13 and day 32 (no real date has them) mean the line
// names no day for the year and month asked about.
struct TDayLine {
    int Month = 13;
    int Day = 32;
    std::string Name;
};

// Appends the fields of `text` split at every `separator` byte to `list`; a trailing
// separator gives a final empty field and an empty text one empty field.
void SplitLine(std::string_view text, TStrings& list, char separator);

// The class (and so the font) a day with these attributes is drawn as: special day wins
// over holiday or substitute holiday, which wins over Saturday or Sunday, which win over
// weekday.
TDayClass DayFontIndex(TDayAttrs attrs);

// The rules over two rule lists that belong to someone else (a calendar control). The
// operations call one another through the virtual functions, so a descendant that
// refines one of them (a calendar control that forwards to its own overridable
// operations) is heard by the others, the substitute-holiday look-back included.
class THolidayRules {
public:
    THolidayRules(const TStringList& holidayList, const TStringList& specialDayList);
    virtual ~THolidayRules() = default;
    THolidayRules(const THolidayRules&) = delete;
    THolidayRules& operator=(const THolidayRules&) = delete;

    bool AutoEquinox() const { return autoEquinox_; }
    void SetAutoEquinox(bool on) { autoEquinox_ = on; }
    bool AutoFurikae() const { return autoFurikae_; }
    void SetAutoFurikae(bool on) { autoFurikae_ = on; }
    bool AutoKokumin() const { return autoKokumin_; }
    void SetAutoKokumin(bool on) { autoKokumin_ = on; }

    // `month` is the month asked about, 0 for any. A numeric field that is not an integer
    // raises EConvertError, but only once the evaluation reaches it: a line rejected by
    // its month or year never converts the fields after.
    virtual TDayLine ParseDayLine(std::string_view line, std::int32_t year, int month);
    // The dates passed here exist (they come from day numbers).
    virtual TDayAttrs GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d);
    // Special-day names, holiday names, the equinox name, "国民の休日", "振替休日", as
    // comma text (CP932).
    virtual std::string GetHolidayNames(std::int32_t y, std::uint8_t m, std::uint8_t d);

    TDayClass GetDayFontIndex(std::int32_t y, std::uint8_t m, std::uint8_t d) { return DayFontIndex(GetDayAttrs(y, m, d)); }

    // While a batch is open (a drawing), the lines are read once for each year and month
    // asked about, not once per day, and the readings are kept for later batches: a
    // redraw of the same month reads no line at all. LinesChanged drops them; the owner
    // calls it whenever a list changes (or whatever else decides how a line reads). A line
    // that cannot be read raises the same error on the same days as without a batch.
    // Outside a batch every question reads the lists as they are.
    void BeginBatch();
    void EndBatch();
    void LinesChanged();
    bool LineMatches(std::string_view line, std::int32_t y, std::uint8_t m, std::uint8_t d);

private:
    // The lines' reading for one year and month: by day, the classes and names they give,
    // or the error of the first line that cannot be read (every day of the month meets it).
    // The switches do not enter it: equinoxes and the days that follow from the law are
    // worked out for each question.
    struct MonthLines {
        std::int32_t Year = 0;
        int Month = 0;
        std::exception_ptr Error;
        std::array<TDayAttrs, 32> Attrs{};
        std::array<std::vector<std::string>, 32> Names;
    };
    // Null outside a batch.
    const MonthLines* BatchLines(std::int32_t y, std::uint8_t m);
    std::unique_ptr<MonthLines> ReadMonthLines(std::int32_t y, std::uint8_t m);

    // What the lines and the equinoxes make of a day, then the days that follow from
    // its neighbours.
    TDayAttrs OwnAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d);
    struct Derived {
        bool Substitute = false;  // by the law, whether AutoFurikae is on or not
        bool Citizens = false;
    };
    Derived DerivedDays(TJuliusDay j, TDayAttrs own);
    // A neighbour's classes through the overridable GetDayAttrs, without derived days.
    TDayAttrs NeighbourAttrs(TJuliusDay j);
    bool IsEquinox(std::int32_t y, std::uint8_t m, std::uint8_t d, bool* vernal = nullptr);

    struct Equinoxes {
        bool Known = false;
        std::int32_t Year = 0;
        TYMD Vernal{};
        TYMD Autumnal{};
    };
    const Equinoxes& EquinoxesOf(std::int32_t year);

    const TStringList& holidayList_;
    const TStringList& specialDayList_;
    bool autoEquinox_ = true;
    bool autoFurikae_ = true;
    bool autoKokumin_ = true;
    // Set while a neighbour is asked about, so that its answer holds no derived days.
    bool ownOnly_ = false;
    int batchDepth_ = 0;
    // The readings kept, the latest first. A drawing asks about up to four months (a
    // grid's neighbours and the substitute-holiday look-back before its first day); a few
    // more keep a step back and forth through the months free of reading too.
    static constexpr std::size_t kKeptMonths = 12;
    std::vector<std::unique_ptr<MonthLines>> kept_;
    std::array<Equinoxes, 2> equinoxes_{};
    std::size_t nextEquinoxSlot_ = 0;
};

// Opens a batch for its lifetime.
class THolidayRulesBatch {
public:
    explicit THolidayRulesBatch(THolidayRules& rules) : rules_(rules) { rules_.BeginBatch(); }
    ~THolidayRulesBatch() { rules_.EndBatch(); }
    THolidayRulesBatch(const THolidayRulesBatch&) = delete;
    THolidayRulesBatch& operator=(const THolidayRulesBatch&) = delete;

private:
    THolidayRules& rules_;
};
