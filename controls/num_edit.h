#pragma once
// A one-line, right-aligned field that holds a number rather than free text: only digits,
// a minus sign and a point can be typed, refused keys beep, and the number is always
// shown in its canonical form. The number logic lives in TNumEditCore.
#include "controls/num_edit_core.h"

#include <QLineEdit>

#include <functional>

class TNumEdit : public QLineEdit {
public:
    explicit TNumEdit(QWidget* parent = nullptr);

    TNumber Value() const { return core_.Value(); }
    void SetValue(TNumber value);
    int MaxDigits() const { return core_.MaxDigits(); }
    void SetMaxDigits(int v);
    int FixDecimal() const { return core_.FixDecimal(); }
    void SetFixDecimal(int v);
    bool PrmtNegative() const { return core_.PrmtNegative(); }
    void SetPrmtNegative(bool v);
    char LeadingChar() const { return core_.LeadingChar(); }
    void SetLeadingChar(char c);
    bool ZeroDisplay() const { return core_.ZeroDisplay(); }
    void SetZeroDisplay(bool v);
    bool PutAComma() const { return core_.PutAComma(); }
    void SetPutAComma(bool v);
    bool EnterNext() const { return core_.EnterNext; }
    void SetEnterNext(bool v) { core_.EnterNext = v; }
    bool ArrowNext() const { return core_.ArrowNext; }
    void SetArrowNext(bool v) { core_.ArrowNext = v; }
    bool DelAllClear() const { return core_.DelAllClear; }
    void SetDelAllClear(bool v) { core_.DelAllClear = v; }
    TColor MinusColor() const { return core_.MinusColor(); }
    void SetMinusColor(TColor c) { core_.SetMinusColor(c); }
    TColor FontColor() const { return core_.FontColor(); }
    void SetFontColor(TColor c);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }

    // Text set from outside (by the bound up/down, say): read back as a number.
    void SetText(const QString& text);

    // The clipboard and edit commands of the field's pop-up menu.
    void Paste();
    void Cut();
    void ClearSelection();
    void Undo();

    const TNumEditCore& Core() const { return core_; }

    // Fired whenever the displayed text changes.
    std::function<void(TNumEdit* sender)> OnChange;
    // Sees (and may change) every typed character first; 0 drops it.
    std::function<void(TNumEdit* sender, char32_t& key)> OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Act(TNumKeyResult result);
    // Shows the core's text and colour; the caret goes to the end after each display.
    void Sync();

    TNumEditCore core_;
    unsigned shownDisplays_ = 0;
    bool selfChange_ = false;
    bool doubleClicked_ = false;
    bool autoSelect_ = true;
};
