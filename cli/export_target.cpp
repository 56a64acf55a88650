#include "cli/export_target.h"

#include "calendar/iso_date.h"
#include "diary/day_file.h"
#include "diary/day_file_name.h"
#include "diary/recovery_files.h"
#include "platform/safe_file.h"

#include <climits>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>

namespace {

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// Why a file named `name` in the diary's folders is the diary's, or empty. Every name
// ending in ".dat" counts: beside the day files, the conflict copies that sync tools make
// of them keep that ending, whatever each tool puts before it.
std::string DiaryOwnedName(std::string_view name) {
    if (const auto day = DayOfFileName(name)) return FormatIsoDate(*day) + " の日記のファイルの名前です";
    if (name.ends_with(".dat")) return "日記のファイルかその競合コピーの名前（.dat で終わる名前）です";
    if (name == TFolderLock::kFileName || IsRecoveryCopyName(name) || name.starts_with(".Mekuri") ||
        IsReplacementFileName(name))
        return "Mekuri が使うファイルの名前です";
    return {};
}

}  // namespace

std::string ExportTargetRefusal(const std::string& output, const std::string& folder) {
    std::string target;
    if (ReplacementTarget(output, target) != 0) return {};  // the write reports it
    const size_t slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // A name that is a folder's ("", ".", "..") cannot be written as a file: the write says so.
    if (name.empty() || name == "." || name == "..") return {};
    const std::string parent = RealPath(slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash));
    const std::string diary = RealPath(folder);
    if (parent.empty() || diary.empty()) return {};
    if (parent != diary && !parent.starts_with(diary == "/" ? diary : diary + "/")) return {};

    std::string why = DiaryOwnedName(name);
    struct stat st {};
    if (why.empty() && ::lstat((parent + "/" + name).c_str(), &st) == 0) why = "すでにあるファイルです";
    if (why.empty()) return {};
    return "出力先 " + output + " は日記のフォルダーの中にあり、" + why +
           "。日記のフォルダーの外か、その中の新しい名前（.dat で終わらず、.Mekuri で始まらない名前）を指定してください";
}
