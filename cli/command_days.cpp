// `mekuri days [--folder DIR] [FROM [TO]]`: every day with an entry, oldest first, one line
// each: "YYYY-MM-DD<TAB>文字数<TAB>first line".
#include "cli/command_line.h"
#include "cli/command_options.h"
#include "cli/command_output.h"

#include "diary/day_index.h"
#include "diary/entry_list.h"

#include <climits>

namespace {

constexpr std::string_view kName = "days";

void PrintDaysHelp() {
    CommandOut("使い方: mekuri days [--folder フォルダー] [開始日 [終了日]]\n"
               "\n"
               "日記のある日を古い順に 1 行ずつ表示します（UTF-8）:\n"
               "  YYYY-MM-DD<タブ>文字数<タブ>最初の空でない行（先頭 40 文字、タブは空白に）\n"
               "空の日記は 2 つ目のタブで行が終わります。\n"
               "\n"
               "  開始日 終了日   YYYY-MM-DD。この 2 日を含む期間だけを表示します。\n"
               "                  開始日だけのときは、その日から後を表示します。\n"
               "                  開始日が終了日より後ならエラーです。\n"
               "  --folder DIR    日記のフォルダー。指定がなければ環境変数 MEKURI_DIARY、\n"
               "                  それもなければウィンドウと同じ既定のフォルダーです。\n"
               "  --help          この説明を表示します。\n"
               "\n"
               "文字数は全角・半角・空白・タブとも 1 文字、改行は数えません。\n"
               "終了コード: 0 成功、2 エラー（読めないファイルがあったときも、残りは表示します）、\n"
               "141 読み手のいなくなったパイプに出力したとき\n");
}

}  // namespace

int RunDaysCommand(const TCommandInput& in) {
    const auto args = ParseCommandArgs(kName, in.args, {"--folder"}, {});
    if (!args) return kExitError;
    if (args->help) {
        PrintDaysHelp();
        return kExitFound;
    }
    if (args->operands.size() > 2)
        return CommandError(kName, "日付は開始日と終了日の 2 つまでです（mekuri days --help で使い方を表示します）");
    TYMD from{INT_MIN, 1, 1}, to{INT_MAX, 12, 31};
    for (size_t i = 0; i < args->operands.size(); ++i) {
        const auto day = CommandDate(kName, args->operands[i]);
        if (!day) return kExitError;
        (i == 0 ? from : to) = *day;
    }
    if (!CommandPeriod(kName, from, to)) return kExitError;
    const auto folder = CommandFolder(kName, args->Value("--folder"), in.defaultFolder);
    if (!folder) return kExitError;

    TDayIndex index;
    if (const int err = index.Scan(*folder)) return CommandError(kName, UnreadableFolderMessage(*folder, err));

    int status = kExitFound;
    std::string line;
    ForEachEntrySummary(
        *folder, index.Between(from, to),
        [&](const TYMD& day, const TEntrySummary& summary) {
            if (CommandOutputFailed()) return;
            line = FormatIsoDate(day);
            line += '\t';
            line += std::to_string(summary.chars);
            line += '\t';
            line += summary.firstLine;
            line += '\n';
            CommandOut(line);
        },
        [&](const std::string& fileName, int err) {
            CommandError(kName, UnreadableFileMessage(fileName, err));
            status = kExitError;
        });
    return status;
}
