#include "controls/num_edit_core.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Types each character of `keys` into the field, without a selection.
void Type(TNumEditCore& f, const std::string& keys) {
    for (char c : keys) f.Char(static_cast<unsigned char>(c), false);
}

}  // namespace

TEST(NumText, RoundsHalfAwayFromZeroOnDecimalDigits) {
    EXPECT_EQ(FormatFixed(0.5L, 0, false), "1");
    EXPECT_EQ(FormatFixed(2.5L, 0, false), "3");
    EXPECT_EQ(FormatFixed(-1.5L, 0, false), "-2");
    EXPECT_EQ(FormatFixed(0.125L, 2, false), "0.13");
    EXPECT_EQ(FormatFixed(2.675L, 2, false), "2.68");
    EXPECT_EQ(FormatFixed(999.996L, 2, true), "1,000.00");
    EXPECT_EQ(FormatFixed(0.0996L, 2, false), "0.10");
    EXPECT_EQ(FormatFixed(0.005L, 2, false), "0.01");
    // A number that rounds to zero has no sign.
    EXPECT_EQ(FormatFixed(-0.004L, 2, false), "0.00");
    EXPECT_EQ(FormatFixed(-0.0L, 1, false), "0.0");
    EXPECT_EQ(FormatFixed(1234567.891L, 2, true), "1,234,567.89");
    EXPECT_EQ(FormatFixed(-123456.0L, 0, true), "-123,456");
    EXPECT_EQ(FormatFixed(100.0L, 0, true), "100");
    EXPECT_EQ(FormatFixed(1e20L, 0, false), "100000000000000000000");
    EXPECT_EQ(FormatPlain(-12.5000L), "12.5");
    EXPECT_EQ(FormatPlain(3.0L), "3");
    EXPECT_EQ(FormatPlain(1e-15L), "0");
}

TEST(NumText, ReadsOnlyPlainNumbers) {
    TNumber v = 7;
    EXPECT_TRUE(ReadNumber("-12.50", v));
    EXPECT_EQ(v, -12.5L);
    EXPECT_TRUE(ReadNumber("5.", v));
    EXPECT_EQ(v, 5.0L);
    EXPECT_TRUE(ReadNumber("+.5", v));
    EXPECT_EQ(v, 0.5L);
    for (const char* bad : {"", "-", ".", "1.2.3", "1e5", " 1", "1-", "--1", "0x10"}) {
        EXPECT_FALSE(ReadNumber(bad, v)) << bad;
    }
}

TEST(NumEditTyping, DigitsBuildTheNumberWithSeparators) {
    TNumEditCore f;
    std::string shown;
    for (char c : std::string("1234")) {
        f.Char(static_cast<unsigned char>(c), false);
        shown += f.Text() + " ";
    }
    EXPECT_EQ(shown, "1 12 123 1,234 ");
    EXPECT_EQ(f.Value(), 1234);
    f.SetPutAComma(false);
    EXPECT_EQ(f.Text(), "1234");
}

TEST(NumEditTyping, PointFirstShowsLeadingZero) {
    TNumEditCore f;
    Type(f, ".");
    EXPECT_EQ(f.Text(), "0.");
    Type(f, "5");
    EXPECT_EQ(f.Text(), "0.5");
    EXPECT_EQ(f.DigitCount(), 2);
    // Typed zeros behind the point are kept and counted.
    TNumEditCore g;
    Type(g, ".05");
    EXPECT_EQ(g.Text(), "0.05");
    EXPECT_EQ(g.Char('.', false), TNumKeyResult::Beep);  // a second point
    EXPECT_EQ(g.Text(), "0.05");
}

TEST(NumEditTyping, FixedDecimalsRefuseTheThirdDecimalAndCompleteOnLeaving) {
    TNumEditCore f;
    f.SetFixDecimal(2);
    Type(f, "1.23");
    EXPECT_EQ(f.Char('4', false), TNumKeyResult::Beep);
    EXPECT_EQ(f.Text(), "1.23");
    TNumEditCore g;
    g.SetFixDecimal(2);
    Type(g, "1.");
    g.FocusOut();
    EXPECT_EQ(g.Text(), "1.00");
    // Whole numbers only: the point is refused.
    TNumEditCore h;
    h.SetFixDecimal(0);
    Type(h, "12");
    EXPECT_EQ(h.Char('.', false), TNumKeyResult::Beep);
    EXPECT_EQ(h.Text(), "12");
}

TEST(NumEditTyping, DigitLimitBeepsAndKeepsTheValue) {
    TNumEditCore f;
    f.SetMaxDigits(3);
    Type(f, "123");
    EXPECT_EQ(f.Char('4', false), TNumKeyResult::Beep);
    EXPECT_EQ(f.Text(), "123");
    EXPECT_EQ(f.Value(), 123);
    // With two fixed decimals only MaxDigits - 2 integer digits fit.
    TNumEditCore g;
    g.SetMaxDigits(4);
    g.SetFixDecimal(2);
    Type(g, "12");
    EXPECT_EQ(g.Char('3', false), TNumKeyResult::Beep);
    EXPECT_EQ(g.Text(), "12");
}

TEST(NumEditTyping, MinusAloneThenDigitsInTheNegativeColour) {
    TNumEditCore f;
    f.SetMinusColor(clRed);
    Type(f, "-");
    EXPECT_EQ(f.Text(), "-");
    EXPECT_EQ(f.FontColor(), clRed);
    Type(f, "5");
    EXPECT_EQ(f.Text(), "-5");
    EXPECT_EQ(f.Value(), -5);
    EXPECT_EQ(f.FontColor(), clRed);
    Type(f, "-");
    EXPECT_EQ(f.Text(), "5");
    EXPECT_EQ(f.FontColor(), clWindowText);
    // Not permitted: the minus beeps.
    TNumEditCore g;
    g.SetPrmtNegative(false);
    EXPECT_EQ(g.Char('-', false), TNumKeyResult::Beep);
    EXPECT_EQ(g.Text(), "");
}

TEST(NumEditTyping, FontColourSetWhileNegativeBecomesThePositiveColour) {
    TNumEditCore f;
    f.SetMinusColor(clRed);
    f.AssignValue(-3);
    f.SetFontColor(clBlue);  // the negative display keeps red
    EXPECT_EQ(f.FontColor(), clRed);
    f.AssignValue(3);
    EXPECT_EQ(f.FontColor(), clBlue);
    // While both colours are alike, the negative one follows the font.
    TNumEditCore g;
    g.SetFontColor(clGreen);
    g.AssignValue(-1);
    EXPECT_EQ(g.FontColor(), clGreen);
}

TEST(NumEditTyping, BackspaceTakesDigitsPointAndSign) {
    TNumEditCore f;
    Type(f, "1.");
    f.KeyDown(TNumKey::Backspace, false);
    EXPECT_EQ(f.Text(), "");
    EXPECT_FALSE(f.PointEntered());
    Type(f, "-5");
    f.KeyDown(TNumKey::Backspace, false);
    EXPECT_EQ(f.Text(), "");
    EXPECT_FALSE(f.NegativeSign());
    Type(f, "12.34");
    f.KeyDown(TNumKey::Backspace, false);
    EXPECT_EQ(f.Text(), "12.3");
    f.KeyDown(TNumKey::Backspace, false);
    EXPECT_EQ(f.Text(), "12.");
    f.KeyDown(TNumKey::Backspace, false);
    EXPECT_EQ(f.Text(), "1");
    Type(f, "5");
    EXPECT_EQ(f.Text(), "15");
    // A selection makes any key start a new number.
    f.Char('7', true);
    EXPECT_EQ(f.Text(), "7");
}

TEST(NumEditTyping, DeleteEscapeAndReadOnly) {
    TNumEditCore f;
    Type(f, "42");
    f.KeyDown(TNumKey::Delete, false);
    EXPECT_EQ(f.Text(), "42");
    f.DelAllClear = true;
    f.KeyDown(TNumKey::Delete, false);
    EXPECT_EQ(f.Text(), "");
    f.AssignValue(10);
    f.FocusIn();
    Type(f, "99");
    EXPECT_EQ(f.Text(), "1,099");
    f.KeyDown(TNumKey::Escape, false);
    EXPECT_EQ(f.Text(), "10");
    f.ReadOnly = true;
    EXPECT_EQ(f.Char('5', false), TNumKeyResult::Done);
    EXPECT_EQ(f.Char(22, false), TNumKeyResult::Done);  // paste swallowed
    EXPECT_EQ(f.Char(3, false), TNumKeyResult::PassOn);  // copy still works
    f.KeyDown(TNumKey::Backspace, false);
    EXPECT_EQ(f.Text(), "10");
    EXPECT_EQ(f.KeyDown(TNumKey::Home, false), TNumKeyResult::SelectAll);
    EXPECT_EQ(f.KeyDown(TNumKey::Up, false), TNumKeyResult::PassOn);
    f.ArrowNext = true;
    EXPECT_EQ(f.KeyDown(TNumKey::Up, false), TNumKeyResult::FocusPrev);
}

TEST(NumEditAssign, ClampsToTheDigitLimits) {
    TNumEditCore f;
    f.AssignValue(1234567890);
    EXPECT_EQ(f.Text(), "999,999,999");
    EXPECT_EQ(f.Value(), 999999999);
    f.AssignValue(-1e30L);
    EXPECT_EQ(f.Text(), "-999,999,999");
    f.AssignValue(1e-10L);
    EXPECT_EQ(f.Text(), "");
    f.SetZeroDisplay(true);
    EXPECT_EQ(f.Text(), "0");
    TNumEditCore g;
    g.SetMaxDigits(5);
    g.SetFixDecimal(2);
    g.AssignValue(123456);
    EXPECT_EQ(g.Text(), "999.99");
    TNumEditCore h;
    h.SetMaxDigits(15);
    h.AssignValue(123456789012345.0L);
    EXPECT_EQ(h.Text(), "123,456,789,012,345");
    h.AssignValue(1e16L);
    EXPECT_EQ(h.Text(), "999,999,999,999,999");
}

TEST(NumEditAssign, DecimalsFollowFixDecimal) {
    TNumEditCore f;
    f.SetFixDecimal(0);
    f.AssignValue(12.7L);
    EXPECT_EQ(f.Text(), "13");
    EXPECT_EQ(f.Value(), 12.7L);
    f.SetFixDecimal(2);
    EXPECT_EQ(f.Text(), "12.70");
    f.AssignValue(1.005L);
    EXPECT_EQ(f.Text(), "1.01");
    f.AssignValue(0.004L);
    EXPECT_EQ(f.Text(), "");
    // Free decimals: as many significant decimals as fit, cut at the last one.
    TNumEditCore g;
    g.SetMaxDigits(4);
    g.AssignValue(3.14159L);
    EXPECT_EQ(g.Text(), "3.142");  // rounded at the last decimal that fits
    g.AssignValue(1.10000001L);
    EXPECT_EQ(g.Text(), "1.1");
    g.AssignValue(1.00001L);
    EXPECT_EQ(g.Text(), "1");
}

TEST(NumEditAssign, FreeDecimalsNeverShowMoreDigitsThanAllowed) {
    TNumEditCore f;
    f.SetMaxDigits(3);
    f.AssignValue(123.4L);
    EXPECT_EQ(f.Text(), "123");
    f.AssignValue(99.96L);
    EXPECT_EQ(f.Text(), "100");
    f.AssignValue(998.6L);
    EXPECT_EQ(f.Text(), "999");
}

TEST(NumEditAssign, NegativesRefusedAtEveryRoad) {
    TNumEditCore f;
    f.SetPrmtNegative(false);
    f.AssignValue(-12);
    EXPECT_EQ(f.Text(), "12");
    // The clamped largest value does not bring the sign back.
    f.AssignValue(-1e12L);
    EXPECT_EQ(f.Text(), "999,999,999");
    f.AssignValue(f.TextToValue("-123,456"));
    EXPECT_EQ(f.Text(), "123,456");
    // Permitting negatives again and then forbidding them turns the value positive.
    TNumEditCore g;
    g.AssignValue(-7);
    g.SetPrmtNegative(false);
    EXPECT_EQ(g.Text(), "7");
    // A value too small to show is zero, not a lone minus.
    TNumEditCore h;
    h.AssignValue(-1e-12L);
    EXPECT_EQ(h.Text(), "");
    EXPECT_FALSE(h.NegativeSign());
}

TEST(NumEditAssign, MaxDigitsSetterClampsOnlyWhenTheValueNoLongerFits) {
    TNumEditCore f;
    f.AssignValue(12345);
    f.SetMaxDigits(16);  // outside 1..15: refused
    EXPECT_EQ(f.MaxDigits(), 9);
    f.SetMaxDigits(5);
    EXPECT_EQ(f.Text(), "12,345");
    f.SetMaxDigits(3);
    EXPECT_EQ(f.Text(), "999");
    f.SetFixDecimal(7);  // clamped to MaxDigits - 1
    EXPECT_EQ(f.FixDecimal(), 2);
    f.SetMaxDigits(2);  // not above FixDecimal: refused
    EXPECT_EQ(f.MaxDigits(), 3);
}

TEST(NumEditText, OutsideTextIsReadOrBecomesZero) {
    TNumEditCore f;
    EXPECT_EQ(f.TextToValue("１，２３４"), 1234);
    EXPECT_EQ(f.TextToValue("12,34"), 0);
    EXPECT_EQ(f.TextToValue("1,2345"), 0);
    EXPECT_EQ(f.TextToValue(",123"), 0);
    EXPECT_EQ(f.TextToValue("1,234,5"), 0);
    EXPECT_EQ(f.TextToValue("1,234.5,6"), 0);
    EXPECT_EQ(f.TextToValue("Mekuri"), 0);
    EXPECT_EQ(f.TextToValue("日記"), 0);
    EXPECT_EQ(f.TextToValue("\\1,234"), 1234);
    EXPECT_EQ(f.TextToValue("$1,234"), 1234);
    EXPECT_EQ(f.TextToValue("￥1,234"), 1234);
    EXPECT_EQ(f.TextToValue("-123,456"), -123456);
    EXPECT_EQ(f.TextToValue("1,234,567.25"), 1234567.25L);
    EXPECT_EQ(f.TextToValue(""), 0);
    f.Paste(std::string("1,2345"));
    EXPECT_EQ(f.Text(), "");
    f.Paste(std::string("-123,456"));
    EXPECT_EQ(f.Text(), "-123,456");
    f.Paste(std::nullopt);
    EXPECT_EQ(f.Text(), "");
    // The up/down writes separators even where the field shows none.
    f.SetPutAComma(false);
    f.TextFromOutside("2,024");
    EXPECT_EQ(f.Text(), "2024");
    EXPECT_EQ(f.Value(), 2024);
}

TEST(NumEditText, LeadingCharacterPrefixesTheNumber) {
    TNumEditCore f;
    f.AssignValue(1000);
    f.SetLeadingChar('\\');
    EXPECT_EQ(f.Text(), "\\1,000");
    EXPECT_EQ(f.Value(), 1000);
    f.SetLeadingChar('$');
    EXPECT_EQ(f.Text(), "$1,000");
    f.SetLeadingChar(0);
    EXPECT_EQ(f.Text(), "1,000");
    EXPECT_EQ(f.LeadingChar(), ' ');
    f.SetLeadingChar('\\');
    f.AssignValue(0);
    EXPECT_EQ(f.Text(), "");
    f.Char('-', false);
    EXPECT_EQ(f.Text(), "\\-");
    f.Char('3', false);
    EXPECT_EQ(f.Text(), "\\-3");
}
