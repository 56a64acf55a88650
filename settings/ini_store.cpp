#include "settings/ini_store.h"

#include "platform/convert.h"
#include "platform/font.h"
#include "platform/string_list.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// The program file as the kernel reports it; empty when it cannot tell.
std::string ProgramFile() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.string();
}

std::string FolderPart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NamePart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// Program file names are UTF-8 on this system; only ASCII letters change case, and no
// byte of a multi-byte UTF-8 character is an ASCII letter.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

TIniStore::TIniStore() {
    std::string exe = ProgramFile();
    applicationDir_ = FolderPart(exe);
    applicationName_ = NamePart(exe);
    SetFileName({});
}

void TIniStore::SetFileName(const std::string& name) {
    fileName_ = name;
    std::string path;
    if (name.find('/') != std::string::npos) path = name;
    else if (defaultDir_ == ddApplication) path = JoinPath(applicationDir_, name);
    else if (defaultDir_ == ddWindows) path = JoinPath(kSystemSettingsDir, name);
    else path = name;
    store_ = TProfileFile(path);
}

void TIniStore::SetDefaultDir(TIniStoreDefaultDir dir) {
    defaultDir_ = dir;
    SetFileName(fileName_);
}

// The warning about leaving fnVer11Mode belongs to a form designer, which this program
// does not have; at run time the value is simply stored.
void TIniStore::SetFence(TIniStoreFence fence) { fence_ = fence; }

void TIniStore::SetApplicationDir(const std::string& dir) {
    applicationDir_ = dir;
    SetFileName(fileName_);
}

void TIniStore::Batch(const std::function<void()>& work) {
    store_.BeginBatch();
    try {
        work();
    } catch (...) {
        try {
            store_.EndBatch();
        } catch (...) {
            // The first error is the one to show; the writes before it failed as well.
        }
        throw;
    }
    store_.EndBatch();
}

void TIniStore::Loaded() {
    if (!fileName_.empty()) return;
    std::string name = applicationName_;
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    name += ".INI";
    for (char& c : name) c = AsciiLower(c);
    if (name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
    SetFileName(name);
}

std::string TIniStore::HexText(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string TIniStore::Enclose(const std::string& value, TIniStoreFence fence) const {
    switch (fence) {
        case fnDoubleQuote: return '"' + value + '"';
        case fnParenthesis:
        case fnVer11Mode: return kFenceOpen + value + kFenceClose;
        case fnNone: break;
    }
    return value;
}

std::string TIniStore::StringFrom(const TProfileText& text, const std::string& section, const std::string& key,
                                  const std::string& def, TIniStoreFence fence) const {
    std::string v = text.Read(section, key, Enclose(def, fence));
    if (v.size() >= 2) {
        bool quoted = v.front() == '"' && v.back() == '"' && (fence == fnDoubleQuote || fence == fnVer11Mode);
        bool bracketed =
            v.front() == kFenceOpen && v.back() == kFenceClose && (fence == fnParenthesis || fence == fnVer11Mode);
        if (quoted || bracketed) v = v.substr(1, v.size() - 2);
    }
    return v;
}

int TIniStore::IntegerFrom(const TProfileText& text, const std::string& section, const std::string& key, int def) {
    std::string v = text.Read(section, key, "");
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) v.replace(0, 2, "$");
    if (v.empty()) return def;
    return TryStrToInt(v).value_or(def);
}

int TIniStore::HexFrom(const TProfileText& text, const std::string& section, const std::string& key, int def) {
    std::string v = text.Read(section, key, HexText(def));
    std::string digits = "$" + (v.size() > 2 ? v.substr(2, 8) : std::string());
    return StrToInt(digits);
}

std::string TIniStore::ReadRawString(const std::string& section, const std::string& key, const std::string& def) const {
    return store_.ReadString(section, key, def);
}

void TIniStore::WriteRawString(const std::string& section, const std::string& key, const std::string& value) {
    store_.WriteString(section, key, value);
}

std::string TIniStore::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    return StringFrom(*store_.Load(), section, key, def, fence_);
}

void TIniStore::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    store_.WriteString(section, key, Enclose(value, fence_));
}

int TIniStore::ReadInteger(const std::string& section, const std::string& key, int def) const {
    return IntegerFrom(*store_.Load(), section, key, def);
}

void TIniStore::WriteInteger(const std::string& section, const std::string& key, int value) {
    store_.WriteString(section, key, IntToStr(value));
}

int TIniStore::ReadHex(const std::string& section, const std::string& key, int def) const {
    return HexFrom(*store_.Load(), section, key, def);
}

void TIniStore::WriteHex(const std::string& section, const std::string& key, int value) {
    store_.WriteString(section, key, HexText(value));
}

TColor TIniStore::ReadColor(const std::string& section, const std::string& key, TColor def) const {
    return ReadHex(section, key, def);
}

void TIniStore::WriteColor(const std::string& section, const std::string& key, TColor value) {
    WriteHex(section, key, value);
}

void TIniStore::ReadStrings(const std::string& section, const std::string& name, TStrings& list) const {
    const std::shared_ptr<const TProfileText> parsed = store_.Load();
    const TProfileText& text = *parsed;
    int n = IntegerFrom(text, section, name + ".Count", list.Count());
    // A count no list of ours reaches is a damaged file, not a request for that many
    // empty lines: it would take all memory and time.
    if (n > kMaxStoredListCount) n = list.Count();
    TStringList lines;
    for (int i = 0; i < n; ++i) {
        std::string def = i < list.Count() ? list.Strings(i) : std::string();
        lines.Add(StringFrom(text, section, name + "." + IntToStr(i), def, fence_));
    }
    list.Assign(lines);
}

void TIniStore::WriteStrings(const std::string& section, const std::string& name, const TStrings& list) {
    TProfileEntries entries;
    entries.reserve(static_cast<size_t>(list.Count()) + 1);
    entries.emplace_back(name + ".Count", IntToStr(list.Count()));
    for (int i = 0; i < list.Count(); ++i) entries.emplace_back(name + "." + IntToStr(i), Enclose(list.Strings(i), fence_));
    store_.WriteEntries(section, entries);
}

void TIniStore::ReadFont(const std::string& section, const std::string& name, TFont& font) const {
    const std::shared_ptr<const TProfileText> parsed = store_.Load();
    const TProfileText& text = *parsed;
    TFont read;
    read.SetName(StringFrom(text, section, name + ".Name", font.Name(), fnVer11Mode));
    read.SetSize(std::clamp(IntegerFrom(text, section, name + ".Size", font.Size()), -kMaxFontSize, kMaxFontSize));
    // Only the four style bits exist; anything above them is noise from a damaged file.
    read.SetStyle(static_cast<TFontStyles>(IntegerFrom(text, section, name + ".Style", font.Style()) & 0x0F));
    read.SetColor(HexFrom(text, section, name + ".Color", font.Color()));
    font.Assign(read);
}

void TIniStore::WriteFont(const std::string& section, const std::string& name, const TFont& font) {
    store_.WriteEntries(section, {{name + ".Name", font.Name()},
                                  {name + ".Size", IntToStr(font.Size())},
                                  {name + ".Style", IntToStr(font.Style())},
                                  {name + ".Color", HexText(font.Color())}});
}

void TIniStore::ReadPosition(const std::string& section, const std::string& name, TWindowPlacement& placement) const {
    const std::shared_ptr<const TProfileText> parsed = store_.Load();
    const TProfileText& text = *parsed;
    auto read = [&](const char* suffix, int& field) { field = IntegerFrom(text, section, name + suffix, field); };
    read(".Flags", placement.Flags);
    read(".Show", placement.ShowCmd);
    read(".MaxX", placement.MaxPosition.X);
    read(".MaxY", placement.MaxPosition.Y);
    read(".X", placement.NormalPosition.Left);
    read(".Y", placement.NormalPosition.Top);
    read(".XSize", placement.NormalPosition.Right);
    read(".YSize", placement.NormalPosition.Bottom);
}

void TIniStore::WritePosition(const std::string& section, const std::string& name, const TWindowPlacement& placement) {
    store_.WriteEntries(section, {{name + ".Flags", IntToStr(placement.Flags)},
                                  {name + ".Show", IntToStr(placement.ShowCmd)},
                                  {name + ".MaxX", IntToStr(placement.MaxPosition.X)},
                                  {name + ".MaxY", IntToStr(placement.MaxPosition.Y)},
                                  {name + ".X", IntToStr(placement.NormalPosition.Left)},
                                  {name + ".Y", IntToStr(placement.NormalPosition.Top)},
                                  {name + ".XSize", IntToStr(placement.NormalPosition.Right)},
                                  {name + ".YSize", IntToStr(placement.NormalPosition.Bottom)}});
}
