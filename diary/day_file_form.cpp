#include "diary/day_file_form.h"

#include "platform/exceptions.h"
#include "platform/grapheme.h"
#include "platform/unicode_text.h"

#include <cstring>

namespace {

// Whether `rest` (shorter than a character) is the start of a well-formed character.
bool CutShort(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    const size_t need = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (rest.size() >= need) return false;
    for (size_t k = 1; k < rest.size(); ++k) {
        const auto b = static_cast<unsigned char>(rest[k]);
        unsigned char lo = 0x80, hi = 0xBF;
        if (k == 1) {
            if (lead == 0xE0) lo = 0xA0;
            if (lead == 0xED) hi = 0x9F;
            if (lead == 0xF0) lo = 0x90;
            if (lead == 0xF4) hi = 0x8F;
        }
        if (b < lo || b > hi) return false;
    }
    return true;
}

}  // namespace

void TDayFileFormGuess::Feed(std::string_view s) {
    if (start_.size() < 3) start_.append(s.substr(0, 3 - start_.size()));
    // With the mark the form is known: the rest need not be read as UTF-8.
    if (!utf8_ || start_ == kUtf8Mark) return;
    const auto note = [this](std::string_view bytes) {
        high_ = true;
        for (unsigned char b : bytes) kanaOnly_ = kanaOnly_ && b >= 0xA1 && b <= 0xDF;
    };
    size_t i = 0;
    char32_t c = 0;
    if (!carry_.empty()) {
        const size_t before = carry_.size();
        carry_.append(s.substr(0, 4 - before));
        const size_t len = DecodeUtf8(carry_, 0, c);
        if (len == 0) {
            if (carry_.size() < 4 && CutShort(carry_)) return;
            utf8_ = false;
            return;
        }
        note(std::string_view(carry_).substr(0, len));
        i = len - before;
        carry_.clear();
    }
    const size_t n = s.size();
    while (i < n) {
        uint64_t word;
        if (i + 8 <= n && (std::memcpy(&word, s.data() + i, 8), (word & 0x8080808080808080ull) == 0)) {
            i += 8;
            continue;
        }
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t len = DecodeUtf8(s, i, c);
        if (len == 0) {
            if (n - i < 4 && CutShort(s.substr(i))) {
                carry_ = s.substr(i);
                note(carry_);
            } else {
                utf8_ = false;
            }
            return;
        }
        note(s.substr(i, len));
        i += len;
    }
}

TDayFileForm TDayFileFormGuess::Form() const {
    if (start_ == kUtf8Mark) return TDayFileForm::Utf8WithMark;
    return utf8_ && high_ && !kanaOnly_ ? TDayFileForm::Utf8 : TDayFileForm::Cp932;
}

TDayFileForm GuessDayFileForm(std::string_view fileBytes) {
    TDayFileFormGuess guess;
    guess.Feed(fileBytes);
    return guess.Form();
}

TDayText DayTextFromBytes(std::string_view fileBytes) {
    TDayText day;
    day.form = GuessDayFileForm(fileBytes);
    std::string_view body = fileBytes;
    if (day.form == TDayFileForm::Utf8WithMark) body.remove_prefix(3);
    body = body.substr(0, body.find('\x1A'));
    if (day.form == TDayFileForm::Cp932) {
        day.text = body;
        day.extra.Reserve(day.text);
        return day;
    }
    try {
        day.text = TextFromUnicode(body, day.extra);
    } catch (const EEncodingError&) {
        throw EFileError("この日記のファイルには Shift-JIS にない文字の種類が多すぎるため、開けません");
    }
    return day;
}

std::string DayFileBytes(std::string_view text, const TExtraChars& extra, TDayFileForm form) {
    if (form == TDayFileForm::Cp932) return std::string(text);
    std::string bytes = form == TDayFileForm::Utf8WithMark ? kUtf8Mark : "";
    AppendUnicodeFromText(bytes, text, extra, TBrokenBytes::Keep);
    return bytes;
}
