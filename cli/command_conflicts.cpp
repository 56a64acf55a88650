// `mekuri conflicts [--folder DIR]`: the conflict copies that file-sync tools left in the
// diary folder, one line each: "YYYY-MM-DD<TAB>file name<TAB>tool<TAB>modification time".
#include "cli/command_line.h"
#include "cli/command_options.h"
#include "cli/command_output.h"

#include "calendar/iso_date.h"
#include "diary/conflict_copies.h"
#include "diary/day_index.h"
#include "platform/file_error.h"
#include "platform/sjis.h"
#include "settings/ini_store.h"

#include <iostream>

namespace {

constexpr std::string_view kName = "conflicts";
constexpr int kExitConflicts = 3;

void PrintConflictsHelp() {
    CommandOut("使い方: mekuri conflicts [--folder フォルダー]\n"
               "\n"
               "同期ツールが日記のフォルダーに残した競合コピー（同じ日を 2 台で書いたときの\n"
               "もう一方の版）を、日付の古い順、同じ日は新しい順に 1 行ずつ表示します（UTF-8）:\n"
               "  YYYY-MM-DD<タブ>ファイル名<タブ>ツール<タブ>更新日時（ISO 8601）\n"
               "\n"
               "見分けるツール: Syncthing、Nextcloud、ownCloud、Dropbox（英語・日本語）、Seafile。\n"
               "ほかのツールの名前は Mekuri.ini の [Diary] ConflictPatterns に書けます\n"
               "（例: ConflictPatterns=MyTool|{day}.conflict-*.dat）。\n"
               "\n"
               "  --folder DIR    日記のフォルダー。指定がなければ環境変数 MEKURI_DIARY、\n"
               "                  それもなければウィンドウと同じ既定のフォルダーです。\n"
               "  --help          この説明を表示します。\n"
               "\n"
               "終了コード: 0 競合コピーはない、3 競合コピーがある、2 エラー\n");
}

// The user's own patterns, from the settings file the window uses. A pattern that cannot
// work is named on standard error; the known tools are listed all the same.
std::vector<TConflictPattern> UserPatterns(const std::string& settingsFolder) {
    if (settingsFolder.empty()) return {};
    TIniStore ini;
    ini.SetApplicationDir(settingsFolder);
    ini.SetDefaultDir(ddApplication);
    ini.SetFileName("Mekuri.ini");
    ini.SetFence(fnParenthesis);
    std::vector<std::string> rejected;
    auto patterns = ParseConflictPatterns(
        SjisToUtf8(ini.ReadString(kConflictPatternsSection, kConflictPatternsKey, "")), &rejected);
    for (const std::string& entry : rejected)
        std::cerr << "mekuri " << kName << ": Mekuri.ini の ConflictPatterns の「" << entry
                  << "」は使えません（「ツール名|名前」の形で、名前に {day} を 1 つ含めてください）\n";
    return patterns;
}

}  // namespace

int RunConflictsCommand(const TCommandInput& in) {
    const auto args = ParseCommandArgs(kName, in.args, {"--folder"}, {});
    if (!args) return kExitError;
    if (args->help) {
        PrintConflictsHelp();
        return kExitFound;
    }
    if (!args->operands.empty())
        return CommandError(kName, "余分な引数です: " + args->operands[0] + "（mekuri conflicts --help で使い方を表示します）");
    const auto folder = CommandFolder(kName, args->Value("--folder"), in.defaultFolder);
    if (!folder) return kExitError;

    TDayIndex index;
    index.SetConflictPatterns(UserPatterns(in.settingsFolder));
    if (const int err = index.Scan(*folder))
        return CommandError(kName, "日記のフォルダー " + *folder + " を読めません。" + FileErrorReason(err) + "。");

    for (const TConflictCopy& copy : index.Conflicts())
        CommandOut(FormatIsoDate(copy.day) + '\t' + copy.fileName + '\t' + copy.tool + '\t' + IsoLocalTime(copy.mtimeSec) + '\n');
    return index.Conflicts().empty() ? kExitFound : kExitConflicts;
}
