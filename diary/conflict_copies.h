#pragma once
// Conflict copies of day files. When two machines change the same day before a file-sync
// tool carries the change across, the tool keeps one version under the day's name and the
// other beside it, under a name of its own making. Those names are recognised here, so the
// program can show the other version instead of leaving it unseen; a copy is never a day
// file itself.
//
// Known tools, by the names they write (for the day file 2026127.dat):
//   Syncthing          2026127.sync-conflict-20261207-143012-ABCDEF1.dat
//   Nextcloud/ownCloud 2026127 (conflicted copy 2026-12-07 143012).dat
//                      2026127 (conflicted copy Taro 2026-12-07 143012).dat
//                      2026127_conflict-20261207-143012.dat            (older ownCloud)
//   Dropbox            2026127 (Taro's conflicted copy 2026-12-07).dat
//                      2026127 (Taro の競合コピー 2026-12-07).dat
//                      2026127 (Taro's conflicted copy 2026-12-07 (1)).dat
//                      2026127 (Selective Sync Conflict).dat
//   Seafile            2026127 (SFConflict taro@example.com 2026-12-07-14-30-12).dat
// A tool the program does not know is added in "Mekuri.ini" (see ParseConflictPatterns).
#include "calendar/julius.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A user's own pattern: `tool` names the tool in what the program shows; `glob` is a whole
// file name where "{day}" stands for a day file's name without ".dat" (2026127 or
// 2027-01-11) and "*" for any run of characters.
struct TConflictPattern {
    std::string tool;
    std::string glob;
    bool operator==(const TConflictPattern&) const = default;
};

// Where "Mekuri.ini" keeps the user's patterns.
inline constexpr const char* kConflictPatternsSection = "Diary";
inline constexpr const char* kConflictPatternsKey = "ConflictPatterns";

// The setting "[Diary] ConflictPatterns" holds patterns as "tool|glob", separated by ";"
// ("MyBackup|{day}.conflict-*.dat;Other|{day}~*.dat"). An entry without "{day}", with it
// twice, or with an empty tool or glob is left out and named in `rejected`.
std::vector<TConflictPattern> ParseConflictPatterns(std::string_view setting,
                                                    std::vector<std::string>* rejected = nullptr);

struct TConflictName {
    TYMD day;
    std::string tool;  // "Syncthing", "Nextcloud", "Dropbox", "Seafile" or a pattern's tool
};

// The day and tool of a conflict copy's name (UTF-8, as the folder lists it); nothing for
// a day file's own name and for any other name.
std::optional<TConflictName> ConflictCopyName(std::string_view name,
                                              const std::vector<TConflictPattern>& patterns = {});

struct TConflictCopy {
    TYMD day;
    std::string fileName;
    std::string tool;
    std::int64_t mtimeSec = 0;
    std::int64_t mtimeNsec = 0;
    bool operator==(const TConflictCopy&) const = default;
};

// Orders by day, and the copies of one day newest first (then by name, so the order is
// the same every time).
bool ConflictCopyBefore(const TConflictCopy& a, const TConflictCopy& b);

// The hidden folder inside the diary folder where a resolved copy goes.
inline constexpr const char* kConflictFolderName = ".Mekuri-conflicts";

// Moves `fileName` from `folder` into its `.Mekuri-conflicts` (made when missing); a copy
// of the same name already there is kept, and this one takes the name with " (2)",
// " (3)"… before ".dat". Nothing is ever replaced. Returns 0 or the errno.
int MoveConflictCopyAside(const std::string& folder, const std::string& fileName,
                          std::string* movedTo = nullptr);

// What "keep both" leaves in the day file: this version whole, then `separator` on a line
// of its own, then the other version whole, so each stays exactly as its machine wrote it
// (lines taken one by one into the other's places could mix two accounts of one day into
// a text neither machine wrote). Lines end in CR LF. An empty or equal other version adds
// nothing; an empty one here gives the other alone.
std::string BothVersionsText(std::string_view mine, std::string_view other, std::string_view separator);

// "YYYY-MM-DDThh:mm:ss+09:00": a modification time in the local time zone.
std::string IsoLocalTime(std::int64_t sec);
