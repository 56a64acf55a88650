#pragma once
// The number behind the numeric field, without any window: what the field holds, how it
// shows it, how typed keys build it digit by digit and how outside text is read back.
// The widget forwards keys, clipboard text and focus changes here and shows Text().
#include "controls/num_text.h"
#include "platform/color.h"

#include <optional>
#include <string>

// What the widget must do after a key.
enum class TNumKeyResult {
    Done,        // handled (swallowed)
    Beep,        // refused: swallowed with the default beep
    PassOn,      // let the edit control's usual handling have it
    FocusNext,   // move the focus to the next control
    FocusPrev,   // move the focus to the previous control
    SelectAll,   // select the whole text
};

enum class TNumKey { Backspace, Enter, Escape, Home, Left, Up, Down, Delete };

class TNumEditCore {
public:
    TNumEditCore();

    TNumber Value() const { return value_; }
    void SetValue(TNumber x) { AssignValue(x); }
    int MaxDigits() const { return maxDigits_; }
    void SetMaxDigits(int v);
    int FixDecimal() const { return fixDecimal_; }
    void SetFixDecimal(int v);
    bool PrmtNegative() const { return prmtNegative_; }
    void SetPrmtNegative(bool v);
    char LeadingChar() const { return leadingChar_; }
    void SetLeadingChar(char c);
    bool ZeroDisplay() const { return zeroDisplay_; }
    void SetZeroDisplay(bool v);
    bool PutAComma() const { return putAComma_; }
    void SetPutAComma(bool v);

    bool EnterNext = false;
    bool ArrowNext = false;
    bool DelAllClear = false;
    bool ReadOnly = false;

    TColor MinusColor() const { return minusColor_; }
    void SetMinusColor(TColor c) { minusColor_ = c; }  // takes effect at the next display
    // The colour the text is drawn in: the negative colour while a negative number (or a
    // lone minus) is shown, else the ordinary one.
    TColor FontColor() const { return fontColor_; }
    // The owner set the font colour.
    void SetFontColor(TColor c);

    // The displayed text (UTF-8; only ASCII apart from a non-ASCII prefix character).
    const std::string& Text() const { return text_; }
    // Counts the displays; the widget puts the caret at the end after each new one.
    unsigned DisplayCount() const { return displays_; }

    // Typing state, visible for the widget's tests and the invariants.
    int DigitCount() const { return digitCount_; }
    int DecimalCount() const { return decimalCount_; }
    bool PointEntered() const { return pointEntered_; }
    bool NegativeSign() const { return negativeSign_; }

    // Corrects X to the limits and shows it.
    void AssignValue(TNumber x);
    // Stores X and shows it in the canonical form.
    void ShowValue(TNumber x);
    // Outside text as a number; anything unreadable is 0.
    TNumber TextToValue(const std::string& text) const;

    // A typed character (its Unicode code point); `selected` tells whether text is selected.
    TNumKeyResult Char(char32_t c, bool selected);
    // A key before character input; PassOn for keys this field does not take.
    TNumKeyResult KeyDown(TNumKey key, bool selected);

    // Clipboard and edit commands. Paste gets the clipboard's text, if it holds text.
    void Paste(const std::optional<std::string>& clipboard);
    void AfterCutOrClear() { AssignValue(0); }
    // Text that reached the control from elsewhere (set by another control, undo).
    void TextFromOutside(const std::string& text) { AssignValue(TextToValue(text)); }

    void FocusIn() { savedValue_ = value_; }
    void FocusOut();

private:
    void Clear(bool keepSign = false);
    // False when the digit is refused.
    bool Digit(int d, bool selected);
    void Backspace(bool selected);

    TNumber value_ = 0;
    int maxDigits_ = 9;
    int fixDecimal_ = -1;
    bool prmtNegative_ = true;
    char leadingChar_ = ' ';
    bool zeroDisplay_ = false;
    bool putAComma_ = true;
    TColor minusColor_ = clWindowText;
    TColor plusColor_ = clWindowText;
    TColor fontColor_ = clWindowText;

    int digitCount_ = 0;
    int decimalCount_ = 0;
    bool pointEntered_ = false;
    bool negativeSign_ = false;
    TNumber savedValue_ = 0;

    std::string text_;
    unsigned displays_ = 0;
};
