#include "diary/line_breaking.h"

#include "platform/sjis.h"

#include <array>
#include <cstdint>
#include <string>

namespace {

// Indexed by a single byte, or by lead byte * 256 + trail byte for a double-byte character.
using TClassTable = std::array<std::uint8_t, 65536>;

void Mark(TClassTable& table, std::string_view utf8, TBreakClass cls) {
    const std::string sjis = Sjis(utf8);
    for (size_t i = 0; i < sjis.size();) {
        const size_t len = CharLengthAt(sjis, i);
        const unsigned key = len == 2 ? static_cast<unsigned char>(sjis[i]) * 256u + static_cast<unsigned char>(sjis[i + 1])
                                      : static_cast<unsigned char>(sjis[i]);
        table[key] = static_cast<std::uint8_t>(cls);
        i += len;
    }
}

TClassTable BuildTable() {
    TClassTable t{};
    Mark(t, "，．・：；？！ー゛゜ゝゞ々」』）］｝〕〉》】…‥’”"
            "ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ"
            "),.:;?!]}｡｣､･ｰｧｨｩｪｫｬｭｮｯﾞﾟ",
         TBreakClass::Closing);
    Mark(t, "、。", TBreakClass::Hanging);
    Mark(t, "「『（［｛〔〈《【‘“([{｢", TBreakClass::Opening);
    for (unsigned c = '0'; c <= '9'; ++c) t[c] = static_cast<std::uint8_t>(TBreakClass::Latin);
    for (unsigned c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<std::uint8_t>(TBreakClass::Latin);
    for (unsigned c = 'a'; c <= 'z'; ++c) t[c] = static_cast<std::uint8_t>(TBreakClass::Latin);
    t['\t'] = static_cast<std::uint8_t>(TBreakClass::Tab);
    return t;
}

}  // namespace

TBreakClass BreakClassOf(std::string_view character) {
    static const TClassTable table = BuildTable();
    if (character.empty()) return TBreakClass::Other;
    unsigned key = static_cast<unsigned char>(character[0]);
    if (character.size() >= 2) key = key * 256u + static_cast<unsigned char>(character[1]);
    return static_cast<TBreakClass>(table[key]);
}
