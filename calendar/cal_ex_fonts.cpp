#include "calendar/cal_ex_fonts.h"

TCalExFonts::TCalExFonts(std::function<void()> changed) {
    for (TFont& f : fonts_) {
        f.SetColor(clBlack);
        f.OnChange = changed;
    }
}

void TCalExFonts::SetFont(int index, const TFont& font) {
    if (!synchronize_) {
        Font(index).Assign(font);
        return;
    }
    for (TFont& f : fonts_) f.Assign(font);
}

void TCalExFonts::Assign(const TCalExFonts& source) {
    for (int i = 0; i < Count; ++i) Font(i).Assign(source.Font(i));
}
