#include "diary/char_count.h"

#include "diary/day_file_form.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"

#include <algorithm>
#include <array>

namespace {

constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Bytes of the character at `at`: 2 for a lead byte with its trail byte, else 1.
inline std::size_t CharBytes(std::string_view text, std::size_t at) {
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                   IsTrailByte(static_cast<unsigned char>(text[at + 1]))
               ? 2
               : 1;
}

// The text as the editor reads a day file: it ends at the byte 26.
std::string_view UpToEnd(std::string_view bytes) {
    const std::size_t end = bytes.find('\x1a');
    return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

bool IsBlankLine(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == 0x81 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) == 0x40) {
            i += 2;  // the full-width space
        } else {
            return false;
        }
    }
    return true;
}

// Each byte's part: bit 0 a lead byte, bit 1 a byte that can end a double-byte character,
// bit 2 a line break.
constexpr std::array<std::uint8_t, 256> kByteClass = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<unsigned char>(c);
        t[b] = static_cast<std::uint8_t>((IsLeadByte(b) ? 1 : 0) | (IsTrailByte(b) ? 2 : 0) | (b == '\r' || b == '\n' ? 4 : 0));
    }
    return t;
}();

}  // namespace

// Without branches on the bytes: `trail` carries whether this byte ends the character the
// byte before it began, so Japanese and ASCII mixed at random cost the same per byte.
std::int64_t CharCount(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    if (n == 0) return 0;
    std::int64_t count = 0;
    unsigned trail = 0;
    unsigned k = kByteClass[p[0]];
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const unsigned next = kByteClass[p[i + 1]];
        count += (trail | (k >> 2)) ^ 1u;                       // starts a character, not a break
        trail = (trail ^ 1u) & k & (next >> 1) & 1u;             // a lead byte whose trail follows
        k = next;
    }
    count += (trail | (k >> 2)) ^ 1u;
    return count;
}

std::string GroupedCount(std::int64_t count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return count < 0 ? "-" + out : out;
}

namespace {

bool IsBlankUtf8Line(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
        } else if (line.substr(i, 3) == "\xE3\x80\x80") {
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

TEntrySummary SummarizeUtf8(std::string_view text, std::size_t maxChars) {
    TEntrySummary summary;
    bool shown = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        const bool show = !shown && !IsBlankUtf8Line(line);
        std::size_t chars = 0;
        for (std::size_t i = 0; i < line.size(); ++chars) {
            const std::size_t next = ClusterEnd(line, i);
            if (show && chars < maxChars) {
                char32_t c = 0;
                if (line[i] == '\t')
                    summary.firstLine += ' ';
                else if (DecodeUtf8(line, i, c) == 0)
                    summary.firstLine += "\xEF\xBF\xBD";
                else
                    summary.firstLine.append(line.substr(i, next - i));
            }
            i = next;
        }
        summary.chars += static_cast<std::int64_t>(chars);
        shown = shown || show;
        start = end + 1;
    }
    return summary;
}

}  // namespace

TEntrySummary SummarizeEntry(std::string_view fileBytes, std::size_t maxChars) {
    const TDayFileForm form = GuessDayFileForm(fileBytes);
    if (form != TDayFileForm::Cp932) {
        if (form == TDayFileForm::Utf8WithMark) fileBytes.remove_prefix(3);
        return SummarizeUtf8(UpToEnd(fileBytes), maxChars);
    }
    const std::string_view text = UpToEnd(fileBytes);
    TEntrySummary summary;
    summary.chars = CharCount(text);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!IsBlankLine(line)) {
            std::size_t chars = 0, i = 0;
            while (i < line.size() && chars++ < maxChars) i += CharBytes(line, i);
            std::string cut(line.substr(0, i));
            std::replace(cut.begin(), cut.end(), '\t', ' ');
            static const TExtraChars none;
            AppendUnicodeFromText(summary.firstLine, cut, none);
            break;
        }
        start = end + 1;
    }
    return summary;
}
