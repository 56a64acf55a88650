// The search folding against a table written by Unicode's own data (Python's
// unicodedata, tools/gen_fold_expected.py), for every character CP932 can hold and every
// character followed by a half-width sound mark; and the UTF-8 reading of Shift-JIS
// against iconv's.
#include "diary/sjis_utf8.h"
#include "diary/text_fold.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace {

std::string Utf8Of(const std::string& hexes) {
    std::istringstream in(hexes);
    std::u32string cps;
    std::string h;
    while (in >> h) cps.push_back(static_cast<char32_t>(std::stoul(h, nullptr, 16)));
    std::string out;
    for (char32_t c : cps) AppendUtf8(c, out);
    return out;
}

std::string Bytes(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::string Folded(std::string_view text) {
    std::string out;
    FoldText(text, out);
    return out;
}

struct TExpected {
    size_t count = 0;
    std::map<std::string, std::string> single;  // code -> folded UTF-8
    std::map<std::string, std::string> joined;  // code + mark -> folded UTF-8
};

TExpected ReadExpected() {
    TExpected e;
    std::ifstream in(MEKURI_SOURCE_DIR "/tests/diary/fold_expected.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("count ", 0) == 0) {
            e.count = std::stoul(line.substr(6));
            continue;
        }
        const size_t tab = line.find('\t');
        if (line.rfind("pair ", 0) == 0) {
            std::istringstream codes(line.substr(5, tab - 5));
            std::string code, mark;
            codes >> code >> mark;
            e.joined[Bytes(code) + Bytes(mark)] = Utf8Of(line.substr(tab + 1));
        } else {
            e.single[Bytes(line.substr(0, tab))] = Utf8Of(line.substr(tab + 1));
        }
    }
    return e;
}

// Every unit CP932's byte rules allow, with its text when iconv decodes it.
std::vector<std::pair<std::string, std::string>> Characters() {
    std::vector<std::pair<std::string, std::string>> out;
    auto add = [&](std::string code) {
        std::string text = SjisToUtf8(code);
        if (text.find("\xEF\xBF\xBD") == std::string::npos) out.emplace_back(std::move(code), std::move(text));
    };
    for (int b = 0; b < 256; ++b)
        if (!IsLeadByte(static_cast<unsigned char>(b))) add(std::string(1, static_cast<char>(b)));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (trail != 0x7F) add(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
    return out;
}

TEST(TextFold, EveryCp932CharacterFoldsAsUnicodeSays) {
    const TExpected e = ReadExpected();
    const auto chars = Characters();
    ASSERT_EQ(chars.size(), e.count) << "iconv decodes a different set of characters than the table was made with";
    ASSERT_GT(e.single.size(), 400u);
    size_t wrong = 0;
    for (const auto& [code, text] : chars) {
        auto at = e.single.find(code);
        const std::string& want = at == e.single.end() ? text : at->second;
        const std::string got = FoldedToUtf8(Folded(code));
        if (got != want && ++wrong < 20) ADD_FAILURE() << "code " << testing::PrintToString(code) << ": " << got << " != " << want;
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(TextFold, SoundMarksJoinAsNfkcJoinsThem) {
    const TExpected e = ReadExpected();
    ASSERT_GT(e.joined.size(), 80u);
    size_t wrong = 0;
    for (const auto& [code, text] : Characters()) {
        for (const char* mark : {"\xDE", "\xDF"}) {
            auto at = e.joined.find(code + mark);
            const std::string want =
                at != e.joined.end() ? at->second : FoldedToUtf8(Folded(code)) + FoldedToUtf8(Folded(mark));
            const std::string got = FoldedToUtf8(Folded(code + mark));
            if (got != want && ++wrong < 20) ADD_FAILURE() << "code " << testing::PrintToString(code + mark) << ": " << got << " != " << want;
        }
    }
    EXPECT_EQ(wrong, 0u);
}

// The folded text of a whole string is the folds of its characters one after the other,
// marks joined; each byte maps back to the character it came from; and characters never
// merge, so folded CP932 still parses character by character.
TEST(TextFold, RandomTextFoldsCharacterByCharacter) {
    const auto chars = Characters();
    std::mt19937 rng(932);
    for (int round = 0; round < 300; ++round) {
        std::string text, expected;
        std::vector<uint32_t> wantFrom;
        const int n = 1 + static_cast<int>(rng() % 40);
        for (int k = 0; k < n; ++k) {
            // Broken bytes too: a lone lead byte, or one before a line break.
            std::string code = rng() % 10 == 0 ? std::string(1, static_cast<char>(0x81 + rng() % 0x1F))
                                               : chars[rng() % chars.size()].first;
            if (code == "\xDE" || code == "\xDF") code = "x";
            if (code.size() == 1 && IsLeadByte(static_cast<unsigned char>(code[0]))) code += "\r";
            std::string f;
            std::vector<uint32_t> pieceFrom;
            FoldTextMapped(code, f, pieceFrom);
            for (size_t b = 0; b < f.size(); ++b) wantFrom.push_back(static_cast<uint32_t>(text.size() + pieceFrom[b]));
            expected += f;
            text += code;
        }
        std::string got;
        std::vector<uint32_t> from;
        FoldTextMapped(text, got, from);
        ASSERT_EQ(got, expected) << round;
        ASSERT_EQ(Folded(text), expected) << round;
        wantFrom.push_back(static_cast<uint32_t>(text.size()));
        ASSERT_EQ(from, wantFrom) << round;
        for (size_t b = 0; b < expected.size();) {
            ASSERT_TRUE(StartsCharacter(got, b));
            b += IsLeadByte(static_cast<unsigned char>(got[b])) && b + 1 < got.size() ? 2 : 1;
        }
    }
}

}  // namespace

TEST(SjisUtf8, EveryCodeAndRandomBytesReadAsIconvReadsThem) {
    std::string all;
    for (unsigned b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead)
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) all += {static_cast<char>(lead), static_cast<char>(trail), ' '};
    std::string got = "kept ";
    AppendSjisAsUtf8(got, all);
    EXPECT_EQ(got, "kept " + SjisToUtf8(all));
    // Broken and cut-off characters, lead bytes before anything at all.
    std::mt19937 random(7);
    const unsigned char likely[] = {0x81, 0x82, 0x83, 0x88, 0xE0, 0xFC, 0x40, 0x7F, 0x80, 0xA0, 0xA1, 0xDF, 0xFD, 0xFF, 0x5C, 0x0A};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 3 ? likely[random() % 16] : random() % 256);
        std::string out;
        AppendSjisAsUtf8(out, bytes);
        ASSERT_EQ(out, SjisToUtf8(bytes)) << round;
    }
}
