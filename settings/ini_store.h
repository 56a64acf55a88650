#pragma once
// TIniStore: typed values in the settings file — fenced strings, decimal and hexadecimal
// integers, colours, string lists, font descriptions and window placements. Every value
// passes through the file store as text; nothing is cached between calls.
#include "platform/color.h"
#include "settings/profile_file.h"
#include "settings/window_placement.h"

#include <cstdint>
#include <functional>
#include <string>

class TFont;
class TStrings;

enum TIniStoreDefaultDir : std::uint8_t { ddApplication, ddWindows, ddNone };

enum TIniStoreFence : std::uint8_t { fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone };

// The half-width corner brackets of CP932, one byte each.
constexpr char kFenceOpen = '\xA2';
constexpr char kFenceClose = '\xA3';

// The system-wide settings folder that stands for the Windows directory.
inline constexpr const char* kSystemSettingsDir = "/etc/xdg";

// More lines than this in a stored list count is taken as a malformed count.
constexpr int kMaxStoredListCount = 100000;

// Font sizes read from the file are held within ±this many points: far beyond any
// readable size, and small enough that no pixel arithmetic on them can overflow.
constexpr int kMaxFontSize = 1638;

class TIniStore {
public:
    TIniStore();

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name);
    TIniStoreDefaultDir DefaultDir() const { return defaultDir_; }
    void SetDefaultDir(TIniStoreDefaultDir dir);
    TIniStoreFence Fence() const { return fence_; }
    void SetFence(TIniStoreFence fence);

    // The folder of the program file (the folder of /proc/self/exe until set); a bare
    // file name with ddApplication is placed there.
    const std::string& ApplicationDir() const { return applicationDir_; }
    void SetApplicationDir(const std::string& dir);
    // The program file's name without its folder, for the default file name.
    const std::string& ApplicationName() const { return applicationName_; }
    void SetApplicationName(const std::string& name) { applicationName_ = name; }

    // The path the store works on, as resolved from FileName and DefaultDir.
    const std::string& Path() const { return store_.Path(); }

    // Runs `work` with the file read once and written once: its reads see the file as it
    // was plus its own writes, and its writes reach the disk in one safe replacement when
    // it ends. When `work` raises an error, the writes made before it are still written,
    // as they would be one by one, and the error goes on to the caller. `work` must not
    // change FileName or DefaultDir.
    void Batch(const std::function<void()>& work);

    // Run once the owner has set the properties: an empty FileName becomes the program's
    // name with the extension ".ini", lower case with an upper-case first letter.
    void Loaded();

    std::string ReadRawString(const std::string& section, const std::string& key, const std::string& def) const;
    void WriteRawString(const std::string& section, const std::string& key, const std::string& value);
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    void WriteInteger(const std::string& section, const std::string& key, int value);
    // Raises EConvertError when the stored text is not "0x" and hexadecimal digits.
    int ReadHex(const std::string& section, const std::string& key, int def) const;
    void WriteHex(const std::string& section, const std::string& key, int value);
    TColor ReadColor(const std::string& section, const std::string& key, TColor def) const;
    void WriteColor(const std::string& section, const std::string& key, TColor value);

    // The operations on several keys read the file once and write it once, so a list, a
    // font or a placement is stored either whole or, when the write fails, not at all.
    void ReadStrings(const std::string& section, const std::string& name, TStrings& list) const;
    void WriteStrings(const std::string& section, const std::string& name, const TStrings& list);
    void ReadFont(const std::string& section, const std::string& name, TFont& font) const;
    void WriteFont(const std::string& section, const std::string& name, const TFont& font);
    void ReadPosition(const std::string& section, const std::string& name, TWindowPlacement& placement) const;
    void WritePosition(const std::string& section, const std::string& name, const TWindowPlacement& placement);

    // The text WriteHex stores for `value`: "0x" and eight upper-case hexadecimal digits.
    static std::string HexText(int value);

private:
    std::string Enclose(const std::string& value, TIniStoreFence fence) const;
    std::string StringFrom(const TProfileText& text, const std::string& section, const std::string& key,
                           const std::string& def, TIniStoreFence fence) const;
    static int IntegerFrom(const TProfileText& text, const std::string& section, const std::string& key, int def);
    static int HexFrom(const TProfileText& text, const std::string& section, const std::string& key, int def);

    TProfileFile store_;
    TIniStoreDefaultDir defaultDir_ = ddApplication;
    std::string fileName_;
    TIniStoreFence fence_ = fnNone;
    std::string applicationDir_;
    std::string applicationName_;
};
