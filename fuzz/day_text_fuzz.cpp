// Feeds arbitrary bytes to the day file reader: whatever the form it guesses, the text it
// gives is written back as the very bytes it read (up to the first ^Z), the guess fed in
// pieces is the guess of the whole, and the text shown is valid UTF-8.
#include "diary/day_file_form.h"
#include "platform/exceptions.h"
#include "platform/grapheme.h"
#include "platform/unicode_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TDayText day;
    try {
        day = DayTextFromBytes(bytes);
    } catch (const EFileError&) {
        return 0;  // more characters beyond CP932 than there are codes: refused whole
    }
    std::string_view body = bytes;
    std::string expected;
    if (day.form == TDayFileForm::Utf8WithMark) {
        body.remove_prefix(3);
        expected = kUtf8Mark;
    }
    expected += body.substr(0, body.find('\x1A'));
    Check(DayFileBytes(day.text, day.extra, day.form) == expected);

    TDayFileFormGuess guess;
    for (size_t i = 0; i < size; i += 5) guess.Feed(bytes.substr(i, 5));
    Check(guess.Form() == day.form);

    const std::string shown = UnicodeFromText(day.text, day.extra);
    char32_t c = 0;
    for (size_t i = 0, len; i < shown.size(); i += len) Check((len = DecodeUtf8(shown, i, c)) != 0);
    return 0;
}
