#include "platform/extra_chars.h"

#include "platform/sjis.h"

namespace {

constexpr unsigned char kLeads[] = {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,
                                    0xF8, 0xF9, 0x85, 0x86, 0xEB, 0xEC, 0xEF};
constexpr size_t kTrails = 188;  // 40-7E, 80-FC

constexpr std::array<int8_t, 256> MakeLeadIndex() {
    std::array<int8_t, 256> index{};
    for (auto& i : index) i = -1;
    for (size_t k = 0; k < std::size(kLeads); ++k) index[kLeads[k]] = static_cast<int8_t>(k);
    return index;
}
constexpr std::array<int8_t, 256> kLeadIndex = MakeLeadIndex();
static_assert([] {
    for (unsigned c = 0; c < 256; ++c)
        if (TExtraChars::IsCodeLead(static_cast<unsigned char>(c)) != (kLeadIndex[c] >= 0)) return false;
    return true;
}());

}  // namespace

int TExtraChars::Slot(unsigned char lead, unsigned char trail) {
    const int l = kLeadIndex[lead];
    if (l < 0 || trail < 0x40 || trail == 0x7F || trail > 0xFC) return -1;
    return l * static_cast<int>(kTrails) + (trail < 0x7F ? trail - 0x40 : trail - 0x41);
}

std::array<char, 2> TExtraChars::CodeAt(size_t slot) {
    const size_t t = slot % kTrails;
    return {static_cast<char>(kLeads[slot / kTrails]), static_cast<char>(t < 0x3F ? 0x40 + t : 0x41 + t)};
}

void TExtraChars::Allocate() {
    if (!clusterAt_.empty()) return;
    reserved_.assign(kCodeCount, false);
    clusterAt_.assign(kCodeCount, -1);
}

void TExtraChars::Reserve(std::string_view text) {
    Allocate();
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsLeadByte(c) || i + 1 == text.size()) continue;
        const int slot = Slot(c, static_cast<unsigned char>(text[++i]));
        if (slot >= 0 && clusterAt_[static_cast<size_t>(slot)] < 0) reserved_[static_cast<size_t>(slot)] = true;
    }
}

std::optional<std::array<char, 2>> TExtraChars::CodeFor(std::string_view cluster) {
    const std::string key(cluster);
    if (const auto at = slotOf_.find(key); at != slotOf_.end()) return CodeAt(at->second);
    Allocate();
    while (next_ < kCodeCount && (reserved_[next_] || clusterAt_[next_] >= 0)) ++next_;
    if (next_ == kCodeCount) return std::nullopt;
    clusterAt_[next_] = static_cast<int16_t>(clusters_.size());
    clusters_.push_back(std::make_shared<const std::string>(key));
    slotOf_.emplace(key, static_cast<uint16_t>(next_));
    return CodeAt(next_);
}

const std::string* TExtraChars::Cluster(unsigned char lead, unsigned char trail) const {
    const int slot = Slot(lead, trail);
    if (slot < 0 || clusterAt_.empty()) return nullptr;
    const int16_t at = clusterAt_[static_cast<size_t>(slot)];
    return at < 0 ? nullptr : clusters_[static_cast<size_t>(at)].get();
}

bool TExtraChars::HoldsCode(std::string_view text) const {
    if (Empty()) return false;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsLeadByte(c)) continue;
        if (Cluster(c, static_cast<unsigned char>(text[i + 1]))) return true;
        ++i;
    }
    return false;
}

std::vector<TExtraCode> TExtraChars::Codes() const {
    std::vector<TExtraCode> codes;
    codes.reserve(clusters_.size());
    for (const auto& cluster : clusters_) codes.push_back({CodeAt(slotOf_.at(*cluster)), *cluster});
    return codes;
}

bool TExtraChars::Restore(const TExtraCode& code) {
    const int slot = Slot(static_cast<unsigned char>(code.code[0]), static_cast<unsigned char>(code.code[1]));
    if (slot < 0 || code.cluster.empty()) return false;
    Allocate();
    const auto at = static_cast<size_t>(slot);
    if (reserved_[at] || clusterAt_[at] >= 0 || slotOf_.count(code.cluster)) return false;
    clusterAt_[at] = static_cast<int16_t>(clusters_.size());
    clusters_.push_back(std::make_shared<const std::string>(code.cluster));
    slotOf_.emplace(code.cluster, static_cast<uint16_t>(slot));
    return true;
}
