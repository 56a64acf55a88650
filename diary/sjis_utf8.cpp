#include "diary/sjis_utf8.h"

#include "platform/sjis.h"
#include "platform/text_tables.h"

#include <cstring>

void AppendSjisAsUtf8(std::string& out, std::string_view sjis) {
    // U+FFFD, as the tables store a character.
    constexpr uint32_t kReplacement = 3 | 0xEFu << 8 | 0xBFu << 16 | 0xBDu << 24;
    const size_t start = out.size();
    // No byte of Shift-JIS becomes more than three of UTF-8.
    out.resize(start + sjis.size() * 3 + 1);
    char* to = out.data() + start;
    for (size_t i = 0; i < sjis.size();) {
        const auto c = static_cast<unsigned char>(sjis[i]);
        uint32_t e = text_tables::kDecodeSingle[c];
        size_t used = 1;
        if (IsLeadByte(c) && i + 1 < sjis.size()) {
            if (const uint32_t pair = text_tables::kDecodePairs[(c - 0x80) * 256 + static_cast<unsigned char>(sjis[i + 1])]) {
                e = pair;
                used = 2;
            }
        }
        if (e == 0) e = kReplacement;
        std::memcpy(to, reinterpret_cast<const char*>(&e) + 1, 3);
        to += e & 0xFF;
        i += used;
    }
    out.resize(static_cast<size_t>(to - out.data()));
}

