#pragma once
// The characters of a text that CP932 lacks. The editor's text stays CP932 bytes (one byte
// per cell, its speed and layout untouched); each grapheme cluster CP932 cannot hold is
// carried as a two-byte *extra code* shaped like a CP932 double-byte character, and this
// table says which cluster each code stands for. Conversions happen only at the edges
// (unicode_text.h).
//
// Codes: lead F0-F9 (CP932's user-defined rows) first, then the lead bytes CP932 leaves
// unassigned (85, 86, EB, EC, EF); trail 40-7E or 80-FC. Every such lead is a lead byte,
// so the editor already treats a code as one double-byte character.
//
// Codes the loaded text already holds (a Shift-JIS file's own user-defined characters,
// broken byte pairs) are reserved: they keep their meaning and are never given out. The
// table never forgets a code while its text lives, since undo may bring deleted text back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A code given out and the cluster it stands for.
struct TExtraCode {
    std::array<char, 2> code{};
    std::string cluster;
    bool operator==(const TExtraCode&) const = default;
};

class TExtraChars {
public:
    static constexpr size_t kCodeCount = 15 * 188;

    // Whether `c` can start an extra code. Inline: every conversion asks it of each pair.
    static constexpr bool IsCodeLead(unsigned char c) {
        return (c >= 0xF0 && c <= 0xF9) || c == 0x85 || c == 0x86 || c == 0xEB || c == 0xEC || c == 0xEF;
    }

    // Marks the codes `text` (CP932 bytes, read as the editor reads them) holds as taken.
    void Reserve(std::string_view text);

    // The code for `cluster`: the one it already has, or the next free one; nothing when
    // every code is taken. A cluster is exact UTF-8, or a single byte >= 0x80 that stands
    // for itself (a byte of a UTF-8 file that forms no character, written back as it was).
    std::optional<std::array<char, 2>> CodeFor(std::string_view cluster);

    // What a code stands for; nullptr when the pair is not a code given out by this table.
    const std::string* Cluster(unsigned char lead, unsigned char trail) const;

    // No code given out: the text may fit CP932.
    bool Empty() const { return clusters_.empty(); }

    // Whether `text` holds a code given out by this table (it no longer fits CP932).
    bool HoldsCode(std::string_view text) const;

    // How many codes are given out.
    size_t Count() const { return clusters_.size(); }

    // Every code given out, in the order given, so that a copy of the text kept elsewhere
    // (a recovery copy) can take its table along.
    std::vector<TExtraCode> Codes() const;
    // Gives out `code` for its cluster again, as such a copy had it. False, and nothing
    // changed, when the pair is no code, the code is taken or reserved, or the cluster
    // already has another code.
    bool Restore(const TExtraCode& code);

private:
    // The code's place in the order codes are given out, or -1 when the pair is no code.
    static int Slot(unsigned char lead, unsigned char trail);
    static std::array<char, 2> CodeAt(size_t slot);

    // Made at the first code or reservation, so that a table nobody uses costs nothing.
    void Allocate();

    std::vector<bool> reserved_;
    std::vector<int16_t> clusterAt_;  // slot -> clusters_ index, -1 for none
    // Held by pointer so that Cluster's answers stay in place as the table grows; copies
    // of the table share the strings, which never change.
    std::vector<std::shared_ptr<const std::string>> clusters_;
    std::unordered_map<std::string, uint16_t> slotOf_;
    size_t next_ = 0;  // no free slot below it
};

// A cluster that stands for a byte as it was, not a character.
inline bool IsRawByteCluster(const std::string& cluster) {
    return cluster.size() == 1 && static_cast<unsigned char>(cluster[0]) >= 0x80;
}
