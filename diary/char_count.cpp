#include "diary/char_count.h"

#include "platform/sjis.h"

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

}  // namespace

std::int64_t CharCount(std::string_view text) {
    std::int64_t count = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            // Plain ASCII runs are the common case between Japanese characters.
            count += c != '\r' && c != '\n';
            ++i;
            continue;
        }
        ++count;
        i += CharBytes(text, i);
    }
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

TEntrySummary SummarizeEntry(std::string_view fileBytes, std::size_t maxChars) {
    const std::string_view text = UpToEnd(fileBytes);
    TEntrySummary summary;
    summary.chars = CharCount(text);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!IsBlankLine(line)) {
            std::size_t chars = 0;
            for (std::size_t i = 0; i < line.size() && chars < maxChars; ++chars) {
                const std::size_t len = CharBytes(line, i);
                if (line[i] == '\t')
                    summary.firstLine += ' ';
                else
                    summary.firstLine.append(line.substr(i, len));
                i += len;
            }
            break;
        }
        start = end + 1;
    }
    return summary;
}
