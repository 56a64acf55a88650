#include "diary/recovery_copy.h"

#include "platform/exceptions.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr std::string_view kMagic = "Mekuri recovery ";
constexpr int kVersion = 2;

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// A folder name may hold any byte but the header is line-based: the line ends and the
// escape character itself are written as %XX.
std::string EscapeFolder(std::string_view folder) {
    std::string out;
    for (char c : folder) {
        if (c == '%' || c == '\n' || c == '\r') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeFolder(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        unsigned v = 0;
        if (i + 2 >= s.size()) return std::nullopt;
        auto [p, ec] = std::from_chars(s.data() + i + 1, s.data() + i + 3, v, 16);
        if (ec != std::errc() || p != s.data() + i + 3) return std::nullopt;
        out += static_cast<char>(v);
        i += 2;
    }
    return out;
}

// Reads the header one line at a time; any mismatch makes the copy garbage.
class THeaderReader {
public:
    explicit THeaderReader(std::string_view bytes) : bytes_(bytes) {}

    // The value of the next line, which must start with `key` and a space.
    std::optional<std::string_view> Line(std::string_view key) {
        size_t end = bytes_.find('\n', pos_);
        if (end == std::string_view::npos) {
            truncated_ = true;
            return std::nullopt;
        }
        std::string_view line = bytes_.substr(pos_, end - pos_);
        if (line.size() < key.size() + 1 || line.substr(0, key.size()) != key || line[key.size()] != ' ')
            return std::nullopt;
        pos_ = end + 1;
        return line.substr(key.size() + 1);
    }
    size_t Pos() const { return pos_; }
    bool Truncated() const { return truncated_; }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
    bool truncated_ = false;
};

// Whole-field numbers only: "12x" or " 12" is garbage.
template <typename T>
bool Numbers(std::string_view s, std::initializer_list<T*> out) {
    for (T* v : out) {
        if (s.empty()) return false;
        size_t space = s.find(' ');
        std::string_view field = s.substr(0, space);
        auto [p, ec] = std::from_chars(field.data(), field.data() + field.size(), *v);
        if (ec != std::errc() || p != field.data() + field.size()) return false;
        s = space == std::string_view::npos ? std::string_view() : s.substr(space + 1);
        if (space != std::string_view::npos && s.empty()) return false;
    }
    return s.empty();
}

bool ParseDay(std::string_view s, TYMD& day) {
    // YYYY-MM-DD, the year possibly negative or longer.
    size_t second = s.rfind('-');
    size_t first = second == std::string_view::npos || second == 0 ? std::string_view::npos : s.rfind('-', second - 1);
    if (first == std::string_view::npos || first == 0) return false;
    std::int32_t y = 0;
    int m = 0, d = 0;
    auto num = [](std::string_view f, auto& v) {
        auto [p, ec] = std::from_chars(f.data(), f.data() + f.size(), v);
        return !f.empty() && ec == std::errc() && p == f.data() + f.size();
    };
    if (!num(s.substr(0, first), y) || !num(s.substr(first + 1, second - first - 1), m) ||
        !num(s.substr(second + 1), d))
        return false;
    try {
        if (m < 1 || m > 12 || d < 1 || d > 31 || !IsValidYMD(y, m, d)) return false;
    } catch (const Exception&) {
        return false;
    }
    day = {y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d)};
    return true;
}

std::string EncodeCodes(const std::vector<TExtraCode>& codes) {
    std::string block;
    char hex[8];
    for (const TExtraCode& c : codes) {
        std::snprintf(hex, sizeof hex, "%02X%02X ", static_cast<unsigned char>(c.code[0]), static_cast<unsigned char>(c.code[1]));
        block += hex;
        for (unsigned char b : c.cluster) {
            std::snprintf(hex, sizeof hex, "%02x", b);
            block += hex;
        }
        block += '\n';
    }
    return block;
}

std::optional<std::vector<TExtraCode>> DecodeCodes(std::string_view block) {
    std::vector<TExtraCode> codes;
    const auto byte = [](std::string_view two, char& out) {
        unsigned v = 0;
        auto [p, ec] = std::from_chars(two.data(), two.data() + 2, v, 16);
        out = static_cast<char>(v);
        return ec == std::errc() && p == two.data() + 2;
    };
    while (!block.empty()) {
        const size_t end = block.find('\n');
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view line = block.substr(0, end);
        block.remove_prefix(end + 1);
        if (line.size() < 7 || line.size() % 2 == 0 || line[4] != ' ') return std::nullopt;
        TExtraCode c;
        if (!byte(line.substr(0, 2), c.code[0]) || !byte(line.substr(2, 2), c.code[1])) return std::nullopt;
        for (size_t i = 5; i < line.size(); i += 2) {
            char b;
            if (!byte(line.substr(i, 2), b)) return std::nullopt;
            c.cluster += b;
        }
        codes.push_back(std::move(c));
    }
    return codes;
}

}  // namespace

TExtraChars ExtraCharsOf(const TRecoveryCopy& copy) {
    TExtraChars extra;
    for (const TExtraCode& c : copy.codes) extra.Restore(c);
    extra.Reserve(copy.text);
    return extra;
}

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    crc = ~crc;
    for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::string ThisHostName() {
    if (const char* env = std::getenv("MEKURI_HOST"); env && *env) return env;
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string EncodeRecoveryCopy(const TRecoveryCopy& c) {
    const TFileStamp& s = c.base;
    std::string head = std::string(kMagic) + std::to_string(kVersion) + "\n";
    char day[48];
    std::snprintf(day, sizeof day, "day %d-%02d-%02d\n", c.day.Year, c.day.Month, c.day.Day);
    head += day;
    head += "written " + std::to_string(c.writtenSec) + " " + std::to_string(c.writtenNsec) + "\n";
    head += "folder " + EscapeFolder(c.folder) + "\n";
    if (!c.host.empty()) head += "host " + EscapeFolder(c.host) + "\n";
    head += std::string("loaded ") + (c.loaded ? "1" : "0") + "\n";
    head += "stamp " + std::to_string(s.exists ? 1 : 0) + " " + std::to_string(s.device) + " " +
            std::to_string(s.inode) + " " + std::to_string(s.size) + " " + std::to_string(s.mtimeSec) + " " +
            std::to_string(s.mtimeNsec) + " " + std::to_string(s.ctimeSec) + " " + std::to_string(s.ctimeNsec) + "\n";
    head += "length " + std::to_string(c.text.size()) + "\n";
    const std::string table = EncodeCodes(c.codes);
    head += "codes " + std::to_string(table.size()) + "\n";
    char crc[32];
    std::snprintf(crc, sizeof crc, "crc32 %08x\n\n", Crc32(table, Crc32(c.text, Crc32(head))));
    return head + crc + c.text + table;
}

std::optional<TRecoveryCopy> DecodeRecoveryCopy(std::string_view bytes, std::string& why) {
    const std::string truncated = "途中で切れています";
    const std::string garbage = "復元用のコピーの形式ではありません";
    if (bytes.size() < kMagic.size()) {
        why = bytes.empty() || kMagic.substr(0, bytes.size()) == bytes ? truncated : garbage;
        return std::nullopt;
    }
    if (bytes.substr(0, kMagic.size()) != kMagic) {
        why = garbage;
        return std::nullopt;
    }
    THeaderReader r(bytes);
    auto fail = [&](const std::string& reason) -> std::optional<TRecoveryCopy> {
        why = r.Truncated() ? truncated : reason;
        return std::nullopt;
    };
    auto version = r.Line("Mekuri recovery");
    int v = 0;
    if (!version || !Numbers<int>(*version, {&v})) return fail(garbage);
    if (v != kVersion && v != 1) {
        why = "この版の Mekuri が読めない形式 (版 " + std::string(*version) + ") です";
        return std::nullopt;
    }
    TRecoveryCopy c;
    auto day = r.Line("day");
    if (!day || !ParseDay(*day, c.day)) return fail(garbage);
    auto written = r.Line("written");
    if (!written || !Numbers<std::int64_t>(*written, {&c.writtenSec, &c.writtenNsec})) return fail(garbage);
    auto folder = r.Line("folder");
    std::optional<std::string> folderName = folder ? UnescapeFolder(*folder) : std::nullopt;
    if (!folderName) return fail(garbage);
    c.folder = *folderName;
    if (auto host = r.Line("host")) {
        std::optional<std::string> hostName = UnescapeFolder(*host);
        if (!hostName || hostName->empty()) return fail(garbage);
        c.host = *hostName;
    }
    auto loaded = r.Line("loaded");
    if (!loaded || (*loaded != "0" && *loaded != "1")) return fail(garbage);
    c.loaded = *loaded == "1";
    auto stamp = r.Line("stamp");
    if (!stamp || stamp->size() < 2 || ((*stamp)[0] != '0' && (*stamp)[0] != '1') || (*stamp)[1] != ' ')
        return fail(garbage);
    c.base.exists = (*stamp)[0] == '1';
    {
        // Device and inode numbers are unsigned; size and times signed.
        std::string_view s = stamp->substr(2);
        size_t a = s.find(' '), b = a == std::string_view::npos ? a : s.find(' ', a + 1);
        if (b == std::string_view::npos ||
            !Numbers<std::uint64_t>(s.substr(0, b), {&c.base.device, &c.base.inode}) ||
            !Numbers<std::int64_t>(s.substr(b + 1), {&c.base.size, &c.base.mtimeSec, &c.base.mtimeNsec,
                                                      &c.base.ctimeSec, &c.base.ctimeNsec}))
            return fail(garbage);
    }
    auto length = r.Line("length");
    std::int64_t n = 0;
    if (!length || !Numbers<std::int64_t>(*length, {&n}) || n < 0 || n > kMaxRecoveryCopyBytes) return fail(garbage);
    std::int64_t tableSize = 0;
    if (v >= 2) {
        auto codes = r.Line("codes");
        if (!codes || !Numbers<std::int64_t>(*codes, {&tableSize}) || tableSize < 0 || tableSize > kMaxRecoveryCopyBytes)
            return fail(garbage);
    }
    const size_t covered = r.Pos();
    auto crcLine = r.Line("crc32");
    std::uint32_t crc = 0;
    if (!crcLine || crcLine->size() != 8) return fail(garbage);
    auto [p, ec] = std::from_chars(crcLine->data(), crcLine->data() + 8, crc, 16);
    if (ec != std::errc() || p != crcLine->data() + 8) return fail(garbage);
    if (r.Pos() >= bytes.size()) return fail(truncated);
    if (bytes[r.Pos()] != '\n') return fail(garbage);
    const std::string_view body = bytes.substr(r.Pos() + 1);
    const size_t bodySize = static_cast<size_t>(n) + static_cast<size_t>(tableSize);
    if (body.size() < bodySize) {
        why = truncated;
        return std::nullopt;
    }
    const std::string damaged = "内容が壊れています";
    if (body.size() > bodySize || Crc32(body, Crc32(bytes.substr(0, covered))) != crc) {
        why = damaged;
        return std::nullopt;
    }
    auto codes = DecodeCodes(body.substr(static_cast<size_t>(n)));
    if (!codes) return fail(garbage);
    c.text = std::string(body.substr(0, static_cast<size_t>(n)));
    c.codes = std::move(*codes);
    // A table that does not hold together (a code twice, a cluster twice) is no copy Mekuri wrote.
    TExtraChars check;
    for (const TExtraCode& code : c.codes)
        if (!check.Restore(code)) return fail(garbage);
    return c;
}
