// Feeds arbitrary bytes to the settings file reader and checks the writer against it.
//
// Input: the file's text, optionally followed by NUL-separated section, key and value to
// write. Without them, the first section and key the reader finds are rewritten.
#include "settings/profile_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string_view> SplitAtNul(std::string_view data) {
    std::vector<std::string_view> parts;
    size_t pos = 0;
    for (;;) {
        size_t nul = data.find('\0', pos);
        if (nul == std::string_view::npos || parts.size() == 3) {
            parts.push_back(data.substr(pos));
            return parts;
        }
        parts.push_back(data.substr(pos, nul - pos));
        pos = nul + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    std::vector<std::string_view> parts = SplitAtNul(data);
    std::string_view text = parts[0];

    TProfileText before(text);
    std::string section, key, value = "fuzz";
    if (parts.size() >= 3) {
        section = parts[1];
        key = parts[2];
        if (parts.size() == 4) value = parts[3];
    } else if (!before.Index().empty()) {
        auto s = before.Index().begin();
        section = s->first;
        key = s->second.empty() ? "Key" : s->second.begin()->first;
    } else {
        section = "Section";
        key = "Key";
    }

    for (const auto& [s, keys] : before.Index())
        for (const auto& [k, v] : keys) {
            Check(v.size() <= kMaxProfileValue);
            Check(before.Find(s, k) == v);
        }
    (void)before.Read(section, key, "default");

    if (!CanWriteProfileEntry(section, key, value)) return 0;

    std::string updated = ProfileUpdate(text, section, {{key, value}});
    TProfileText after(updated);
    std::string wantedSection = FoldName(section), wantedKey = FoldName(key);

    // The written value reads back as the reader shows any value.
    Check(after.Find(section, key) == ProfileValue(value));
    // Every other entry reads as before, and no other entry appeared.
    for (const auto& [s, keys] : before.Index())
        for (const auto& [k, v] : keys)
            if (s != wantedSection || k != wantedKey) Check(after.Find(s, k) == v);
    for (const auto& [s, keys] : after.Index())
        for (const auto& [k, v] : keys)
            if (s != wantedSection || k != wantedKey) Check(before.Find(s, k) == v);
    // Writing the same value again changes nothing.
    Check(ProfileUpdate(updated, section, {{key, value}}) == updated);
    return 0;
}
