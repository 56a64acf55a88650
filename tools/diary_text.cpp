#include "tools/diary_text.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

// splitmix64: tiny, fast and the same on every platform, unlike the standard library's
// distributions.
class TRandom {
public:
    explicit TRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
    bool Percent(unsigned p) { return Below(100) < p; }

private:
    uint64_t state_;
};

// Whole characters only, so that any sequence of tokens is valid CP932.
constexpr std::string_view kTokens[] = {
    // kanji words; 表示 能力 予約 十分 機能 構成 暴風 貼付 噂話 end in trail byte 0x5C
    "\x8d\xa1\x93\xfa", "\x96\xbe\x93\xfa", "\x93\x56\x8b\x43", "\x90\xb0\x82\xea", "\x89\x4a", "\x8e\x64\x8e\x96",
    "\x89\xef\x8b\x63", "\x93\x64\x8e\xd4", "\x97\x46\x92\x42", "\x8e\x55\x95\xe0", "\x94\x83\x82\xa2\x95\xa8",
    "\x97\xbf\x97\x9d", "\x93\xc7\x8f\x91", "\x89\x66\x89\xe6", "\x95\x61\x89\x40", "\x97\x5c\x92\xe8",
    "\x93\xfa\x8b\x4c", "\x8c\xf6\x89\x80", "\x93\x8c\x8b\x9e", "\x95\x5c\x8e\xa6", "\x94\x5c\x97\xcd",
    "\x97\x5c\x96\xf1", "\x8f\x5c\x95\xaa", "\x8b\x40\x94\x5c", "\x8d\x5c\x90\xac", "\x96\x5c\x95\x97",
    "\x93\x5c\x95\x74", "\x89\x5c\x98\x62", "\x91\x68\x90\xb6", "\x8a\x6d\x94\x46", "\x98\x41\x97\x8d",
    "\x8e\x9e\x8a\xd4", "\x8b\x43\x95\xaa",
    // IBM extension kanji in names: 髙橋さん 﨑山さん
    "\xee\xe0\x8b\xb4\x82\xb3\x82\xf1", "\xed\x95\x8e\x52\x82\xb3\x82\xf1",
    // hiragana words and particles
    "\x82\xab\x82\xe5\x82\xa4\x82\xcd", "\x82\xa0\x82\xb3", "\x82\xb2\x82\xcd\x82\xf1", "\x82\xbd\x82\xd7\x82\xbd",
    "\x82\xa2\x82\xc1\x82\xbd", "\x82\xcb\x82\xde\x82\xa2", "\x82\xbd\x82\xcc\x82\xb5\x82\xa9\x82\xc1\x82\xbd",
    "\x82\xc5\x82\xb7", "\x82\xdc\x82\xb5\x82\xbd", "\x82\xcc\x82\xc5", "\x82\xa9\x82\xe7",
    "\x82\xbb\x82\xb5\x82\xc4", "\x82\xbf\x82\xe5\x82\xc1\x82\xc6", "\x82\xc6\x82\xc4\x82\xe0", "\x82\xcd",
    "\x82\xaa", "\x82\xf0", "\x82\xc9", "\x82\xc5", "\x82\xc6", "\x82\xe0", "\x82\xcc", "\x82\xcd", "\x82\xf0",
    // katakana words, ソ (0x83 0x5C) among them
    "\x83\x52\x81\x5b\x83\x71\x81\x5b", "\x83\x81\x81\x5b\x83\x8b", "\x83\x70\x83\x5c\x83\x52\x83\x93",
    "\x83\x5c\x83\x74\x83\x67", "\x83\x5c\x81\x5b\x83\x58", "\x83\x66\x81\x5b\x83\x5e",
    "\x83\x74\x83\x40\x83\x43\x83\x8b",
    // punctuation, NEC extension symbols, the ideographic space, half-width katakana
    "\x81\x41", "\x81\x42", "\x81\x41", "\x81\x42", "\x81\x49", "\x81\x75", "\x81\x76", "\x81\x69", "\x81\x6a",
    "\x87\x40", "\x87\x41", "\x87\x8a", "\x87\x82", "\x87\x84", "\x81\xe0", "\x81\xe6", "\x87\x54", "\xee\xf0",
    "\x81\xca", "\x81\x40", "\xb1\xb2\xb3", "\xb6\xc0\xb6\xc5",
    // ASCII words, numbers, a URL and a path
    "OK", "PC", "memo", "TODO", "done", "USB", "10:30", "ver.2.1", "https://example.com/", "C:\\Users\\memo.txt",
    "#diary", "1,200yen", "(test)", "50%", " ", " ", " ", " ", " ", " ", "\t", "\t"};

constexpr std::string_view kWeekdays[] = {"\x8c\x8e", "\x89\xce", "\x90\x85", "\x96\xd8", "\x8b\xe0", "\x93\x79", "\x93\xfa"};
constexpr std::string_view kWeather[] = {"\x90\xb0\x82\xea", "\x93\xdc\x82\xe8", "\x89\x4a", "\x90\xe1",
                                         "\x89\xf5\x90\xb0"};
constexpr std::string_view kWideFill = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad\x82\xaf\x82\xb1";
constexpr std::string_view kNarrowFill = "abcdefghijklmnopqrstuvwxyz0123456789.-_ ";

constexpr size_t kShortMax = 120;
constexpr size_t kShortMin = 10;

class TWriter {
public:
    TWriter(std::string& out, TRandom& rng) : out_(out), rng_(rng) {
        for (std::string_view t : kTokens) maxToken_ = std::max(maxToken_, t.size());
    }

    // A line body of exactly n bytes, beginning with `prefix` when it fits.
    void Body(size_t n, std::string_view prefix) {
        if (prefix.size() <= n) {
            out_ += prefix;
            n -= prefix.size();
        }
        while (n > maxToken_) n -= Token();
        for (int tries = 0; tries < 4 && n > 0; ++tries) {
            std::string_view t = kTokens[rng_.Below(std::size(kTokens))];
            if (t.size() <= n) {
                out_ += t;
                n -= t.size();
            }
        }
        if (n % 2) {
            out_ += kNarrowFill[rng_.Below(kNarrowFill.size())];
            --n;
        }
        for (; n > 0; n -= 2) out_ += kWideFill.substr(2 * rng_.Below(kWideFill.size() / 2), 2);
    }

private:
    size_t Token() {
        std::string_view t = kTokens[rng_.Below(std::size(kTokens))];
        out_ += t;
        return t.size();
    }

    std::string& out_;
    TRandom& rng_;
    size_t maxToken_ = 0;
};

// Byte lengths of the lines (CR LF not counted) summing to `budget` exactly.
std::vector<uint32_t> PlanLines(size_t budget, size_t lines, TRandom& rng) {
    std::vector<uint32_t> len(lines);
    std::set<size_t> paragraphs;
    if (lines > 2) {
        size_t want = std::max<size_t>(1, (lines + 5000) / 10000);
        while (paragraphs.size() < want) paragraphs.insert(1 + rng.Below(lines - 2));
    }
    size_t used = 0;
    for (size_t i : paragraphs) {
        len[i] = static_cast<uint32_t>(2000 + rng.Below(18001));
        used += len[i];
    }
    const size_t shortLines = lines - paragraphs.size();
    if (used > budget || (shortLines == 0 && used != budget) || (shortLines && budget - used > shortLines * kShortMax))
        throw std::invalid_argument("diary text: the size does not fit the line count");
    const size_t mean = shortLines ? (budget - used) / shortLines : 0;
    // Uniform between 10 and twice the mean less 10, so that the mean comes out right.
    const size_t hi = std::clamp<size_t>(2 * mean >= kShortMin ? 2 * mean - kShortMin : kShortMin, kShortMin, kShortMax);
    for (size_t i = 0; i < lines; ++i) {
        if (paragraphs.count(i)) continue;
        len[i] = rng.Percent(3) || mean < kShortMin ? 0 : static_cast<uint32_t>(kShortMin + rng.Below(hi - kShortMin + 1));
        used += len[i];
    }
    // Steer the sum onto the budget one byte at a time, blank lines last.
    for (bool blanks : {false, true}) {
        bool moved = true;
        while (used != budget && moved) {
            moved = false;
            for (size_t i = 0; i < lines && used != budget; ++i) {
                if (paragraphs.count(i) || (len[i] == 0) != blanks) continue;
                if (used < budget && len[i] < kShortMax) {
                    ++len[i], ++used, moved = true;
                } else if (used > budget && len[i] > (blanks ? 0 : kShortMin)) {
                    --len[i], --used, moved = true;
                }
            }
        }
    }
    if (used != budget) throw std::invalid_argument("diary text: the size does not fit the line count");
    return len;
}

std::string TwoDigits(int n) { return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}; }

}  // namespace

std::string DiaryText(size_t size, size_t lines, uint64_t seed) {
    if (size < 2 * lines) throw std::invalid_argument("diary text: the size does not fit the line count");
    TRandom rng(seed);
    const std::vector<uint32_t> plan = PlanLines(size - 2 * lines, lines, rng);
    std::string out;
    out.reserve(size);
    TWriter writer(out, rng);
    int year = 2001, month = 1, day = 1, weekday = 0;
    size_t nextHeader = 0;
    std::string prefix;
    for (size_t i = 0; i < lines; ++i) {
        prefix.clear();
        if (plan[i] <= kShortMax && i >= nextHeader) {
            // 2001年01月01日(月)<tab>晴れ
            prefix = std::to_string(year) + "\x94\x4e" + TwoDigits(month) + "\x8c\x8e" + TwoDigits(day) + "\x93\xfa(" +
                     std::string(kWeekdays[weekday]) + ")\t" + std::string(kWeather[rng.Below(std::size(kWeather))]);
            nextHeader = i + 6 + rng.Below(11);
            weekday = (weekday + 1) % 7;
            if (++day > 28) day = 1, month = month % 12 + 1, year += month == 1;
        } else if (plan[i] >= 16 && plan[i] <= kShortMax && rng.Percent(30)) {
            prefix = TwoDigits(5 + static_cast<int>(rng.Below(19))) + ":" + TwoDigits(5 * static_cast<int>(rng.Below(12))) + "\t";
        }
        writer.Body(plan[i], prefix);
        out += "\r\n";
    }
    if (out.size() != size) throw std::logic_error("diary text: wrong size");
    return out;
}
