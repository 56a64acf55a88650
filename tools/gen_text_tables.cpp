// Writes the text tables (platform/text_tables.h) as C++ source, at build time:
//     gen_text_tables OUTPUT.cpp
// The grapheme cluster classes and emoji properties come from ICU, the CP932 mappings
// from iconv, so that the program carries exact tables and links neither.
#include "platform/text_tables.h"

#include <unicode/uchar.h>
#include <unicode/uclean.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <iconv.h>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TIconv {
public:
    TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932");
    }
    ~TIconv() { iconv_close(cd_); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // The whole of `in` converted, or nothing when any of it does not convert.
    std::optional<std::string> Convert(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[32];
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) return std::nullopt;
        return std::string(buf, static_cast<size_t>(dst - buf));
    }

private:
    iconv_t cd_;
};

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

uint8_t ClassOf(UChar32 c) {
    switch (u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK)) {
    case U_GCB_CR: return ccCR;
    case U_GCB_LF: return ccLF;
    case U_GCB_CONTROL: return ccControl;
    case U_GCB_EXTEND: return ccExtend;
    case U_GCB_ZWJ: return ccZWJ;
    case U_GCB_REGIONAL_INDICATOR: return ccRegional;
    case U_GCB_PREPEND: return ccPrepend;
    case U_GCB_SPACING_MARK: return ccSpacingMark;
    case U_GCB_L: return ccL;
    case U_GCB_V: return ccV;
    case U_GCB_T: return ccT;
    case U_GCB_LV: return ccLV;
    case U_GCB_LVT: return ccLVT;
    // The classes of older emoji rules: the character data no longer gives them out.
    case U_GCB_E_BASE:
    case U_GCB_E_BASE_GAZ:
    case U_GCB_E_MODIFIER:
    case U_GCB_GLUE_AFTER_ZWJ:
        throw std::runtime_error("ICU gives an emoji grapheme class these rules do not know");
    default: return ccOther;
    }
}

uint8_t PropertiesOf(UChar32 c) {
    uint8_t p = ClassOf(c);
    if (u_hasBinaryProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC)) p |= kPropPictographic;
    if (u_hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION)) p |= kPropEmojiPresentation;
    if (u_hasBinaryProperty(c, UCHAR_EMOJI)) p |= kPropEmoji;
    return p;
}

// A table in blocks of 256, equal blocks stored once.
template <typename T>
struct TBlocks {
    std::vector<uint16_t> index;
    std::vector<T> blocks;
    std::map<std::vector<T>, uint16_t> seen;

    void Add(const std::vector<T>& block) {
        const auto [at, added] = seen.emplace(block, static_cast<uint16_t>(blocks.size() / 256));
        if (added) blocks.insert(blocks.end(), block.begin(), block.end());
        index.push_back(at->second);
    }
};

uint32_t Entry(const std::optional<std::string>& utf8) {
    if (!utf8 || utf8->empty() || utf8->size() > 3) return 0;
    uint32_t e = static_cast<uint32_t>(utf8->size());
    std::memcpy(reinterpret_cast<char*>(&e) + 1, utf8->data(), utf8->size());
    return e;
}

void WriteNumbers(std::ofstream& out, const char* declaration, const auto& values) {
    out << declaration << " = {";
    size_t k = 0;
    for (const auto& v : values) out << (k++ % 12 == 0 ? "\n    " : " ") << static_cast<unsigned long>(v) << "u,";
    out << "\n};\n";
}

int Write(const char* path) {
    TBlocks<uint8_t> props;
    for (UChar32 block = 0; block < 0x110000; block += 256) {
        std::vector<uint8_t> b(256);
        for (int k = 0; k < 256; ++k) b[static_cast<size_t>(k)] = PropertiesOf(block + k);
        props.Add(b);
    }

    TIconv toSjis("CP932", "UTF-8");
    TIconv fromSjis("UTF-8", "CP932");
    TBlocks<uint16_t> encode;
    std::vector<uint32_t> loose;
    for (char32_t block = 0; block < 0x10000; block += 256) {
        std::vector<uint16_t> b(256);
        for (char32_t c = block; c < block + 256; ++c) {
            if (c < 0x80 || (c >= 0xD800 && c <= 0xDFFF)) continue;
            const std::optional<std::string> sjis = toSjis.Convert(Utf8(c));
            if (!sjis || sjis->empty() || sjis->size() > 2) continue;
            uint16_t code = static_cast<unsigned char>((*sjis)[0]);
            if (sjis->size() == 2) code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>((*sjis)[1]));
            if (fromSjis.Convert(*sjis) == Utf8(c))
                b[c - block] = code;
            else
                loose.push_back(static_cast<uint32_t>(c) << 16 | code);
        }
        encode.Add(b);
    }

    std::vector<uint32_t> single(256), pairs(kTextPairCount);
    for (unsigned lead = 0; lead < 256; ++lead) {
        single[lead] = Entry(fromSjis.Convert(std::string(1, static_cast<char>(lead))));
        if (lead < 0x81) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            if (lead - 0x80 < 0x7D) pairs[(lead - 0x80) * 256 + trail] = Entry(fromSjis.Convert(code));
        }
    }

    std::ofstream out(std::string(path) + ".new", std::ios::binary);
    out << "// Written by tools/gen_text_tables.cpp at build time. Do not edit.\n"
           "#include \"platform/text_tables.h\"\n\n"
           "namespace text_tables {\n\n";
    WriteNumbers(out, "const uint16_t kPropIndex[0x1100]", props.index);
    WriteNumbers(out, "const uint8_t kPropBlocks[]", props.blocks);
    WriteNumbers(out, "const uint16_t kEncodeIndex[256]", encode.index);
    WriteNumbers(out, "const uint16_t kEncodeBlocks[]", encode.blocks);
    out << "const size_t kLooseCount = " << loose.size() << ";\n";
    WriteNumbers(out, "const uint32_t kLoose[]", loose);
    WriteNumbers(out, "const uint32_t kDecodeSingle[256]", single);
    WriteNumbers(out, "const uint32_t kDecodePairs[kTextPairCount]", pairs);
    out << "\n}  // namespace text_tables\n";
    out.close();
    if (!out || std::rename((std::string(path) + ".new").c_str(), path) != 0) {
        std::fprintf(stderr, "gen_text_tables: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_text_tables OUTPUT.cpp\n");
        return 2;
    }
    try {
        const int status = Write(argv[1]);
        u_cleanup();
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_text_tables: %s\n", e.what());
        return 1;
    }
}
