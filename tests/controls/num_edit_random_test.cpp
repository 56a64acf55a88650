// Long runs of random keys against the numeric field's invariants: whatever is typed, the
// display reads back as the value, the digit and decimal limits hold, negatives appear
// only where permitted, and a refused key changes nothing.
#include "controls/num_edit_core.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

struct Config {
    int maxDigits;
    int fixDecimal;
    bool prmtNegative;
    char leadingChar;
    bool putAComma;
    bool zeroDisplay;
};

int DecimalsShown(const std::string& text) {
    std::size_t p = text.find('.');
    return p == std::string::npos ? 0 : CountDigits(std::string_view(text).substr(p + 1));
}

void CheckInvariants(const TNumEditCore& f, const Config& c, const std::string& context) {
    const std::string& t = f.Text();
    if (c.fixDecimal == 0) {
        // Whole numbers only: a pasted fraction stays in the value and shows rounded.
        ASSERT_LE(std::fabs(f.TextToValue(t) - f.Value()), 0.5L) << context << " text '" << t << "'";
    } else {
        ASSERT_EQ(f.TextToValue(t), f.Value()) << context << " text '" << t << "'";
    }
    ASSERT_LE(CountDigits(t), c.maxDigits) << context << " text '" << t << "'";
    if (c.fixDecimal >= 0) {
        ASSERT_LE(DecimalsShown(t), c.fixDecimal) << context << " text '" << t << "'";
        ASSERT_LE(f.DecimalCount(), c.fixDecimal) << context;
    }
    if (!c.prmtNegative) {
        ASSERT_EQ(t.find('-'), std::string::npos) << context;
        ASSERT_GE(f.Value(), 0) << context;
    }
    ASSERT_GE(f.DigitCount(), 0) << context;
    ASSERT_LE(f.DigitCount(), c.maxDigits) << context;
    if (!c.putAComma) {
        ASSERT_EQ(t.find(','), std::string::npos) << context;
    }
}

void RunKeys(const Config& c, unsigned seed, int steps) {
    TNumEditCore f;
    f.SetMaxDigits(c.maxDigits);
    f.SetFixDecimal(c.fixDecimal);
    f.SetPrmtNegative(c.prmtNegative);
    f.SetLeadingChar(c.leadingChar);
    f.SetPutAComma(c.putAComma);
    f.SetZeroDisplay(c.zeroDisplay);
    std::mt19937 rng(seed);
    std::string log;
    for (int i = 0; i < steps; ++i) {
        int pick = static_cast<int>(rng() % 100);
        bool selected = rng() % 16 == 0;
        TNumber valueBefore = f.Value();
        std::string textBefore = f.Text();
        TNumKeyResult r = TNumKeyResult::Done;
        if (pick < 55) {
            char d = static_cast<char>('0' + rng() % 10);
            r = f.Char(static_cast<unsigned char>(d), selected);
            log += d;
        } else if (pick < 65) {
            r = f.Char('.', selected);
            log += '.';
        } else if (pick < 73) {
            r = f.Char('-', selected);
            log += '-';
        } else if (pick < 88) {
            f.KeyDown(TNumKey::Backspace, selected);
            log += "<BS>";
        } else if (pick < 91) {
            f.KeyDown(TNumKey::Delete, selected);
            log += "<Del>";
        } else if (pick < 94) {
            f.KeyDown(TNumKey::Escape, false);
            log += "<Esc>";
        } else if (pick < 97) {
            f.FocusOut();
            f.FocusIn();
            log += "<Focus>";
        } else {
            // Something typed elsewhere and pasted, also letters.
            static const char* pastes[] = {"1,234", "12.5", "-7", "x", "999999999999", "0.000001", "１２"};
            const char* p = pastes[rng() % 7];
            f.Paste(std::string(p));
            log += std::string("<Paste ") + p + ">";
        }
        if (selected) log += "(sel)";
        if (r == TNumKeyResult::Beep) {
            ASSERT_EQ(f.Value(), valueBefore) << log;
            ASSERT_EQ(f.Text(), textBefore) << log;
        }
        CheckInvariants(f, c, log);
        if (::testing::Test::HasFatalFailure()) return;
        if (log.size() > 400) log.erase(0, log.size() - 200);
    }
}

}  // namespace

TEST(NumEditRandomKeys, InvariantsHoldOverLongRuns) {
    const Config configs[] = {
        {9, -1, true, ' ', true, false},   // the defaults
        {9, -1, true, ' ', false, true},   // the main window's fields, zero shown
        {4, 2, true, '\\', true, false},   // money with two decimals
        {3, 0, false, ' ', true, false},   // small whole non-negative numbers
        {15, -1, true, '$', true, true},   // the widest field
        {6, 5, true, ' ', true, false},    // almost all decimals
        {1, -1, false, ' ', true, false},  // one digit
    };
    unsigned seed = 1;
    for (const Config& c : configs) {
        for (int run = 0; run < 4; ++run) {
            SCOPED_TRACE("config MaxDigits " + std::to_string(c.maxDigits) + " FixDecimal " + std::to_string(c.fixDecimal) +
                         " seed " + std::to_string(seed));
            RunKeys(c, seed++, 5000);
            if (HasFatalFailure()) return;
        }
    }
}
