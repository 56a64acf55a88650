// `mekuri search`: the days whose entry holds every word, oldest first, one a line.
#include "cli/command_line.h"
#include "cli/command_options.h"
#include "cli/command_output.h"
#include "diary/diary_search.h"
#include "diary/sjis_utf8.h"
#include "platform/unicode_text.h"

#include <atomic>

namespace {

constexpr size_t kExcerptChars = 60;

void PrintHelp() {
    CommandOut("使い方: mekuri search [--folder フォルダー] [--exact] [--from YYYY-MM-DD] [--to YYYY-MM-DD] 語...\n"
               "\n"
               "すべての語を含む日を古い順に 1 行ずつ表示します: 日付、タブ、最初に見つかった行\n"
               "（見つかった語の前後 60 文字まで、タブは空白に置き換え）。各語は 1 行の中で探します。\n"
               "全角/半角、大文字/小文字、ひらがな/カタカナの違いは区別しません。\n"
               "\n"
               "  --folder フォルダー   日記のフォルダー（既定: ウィンドウと同じフォルダー）\n"
               "  --exact               文字をそのまま比べます（全角/半角などを区別する）\n"
               "  --from YYYY-MM-DD     この日から\n"
               "  --to YYYY-MM-DD       この日まで\n"
               "  --help                この説明\n"
               "\n"
               "--from の日が --to の日より後ならエラーです。\n"
               "\n"
               "終了コード: 0 見つかった、1 見つからなかった、2 エラー\n"
               "（読めないファイルがあれば名前を表示して探し続け、終了コードは 2）、\n"
               "141 読み手のいなくなったパイプに出力したとき\n");
}

}  // namespace

int RunSearchCommand(const TCommandInput& in) {
    constexpr std::string_view kName = "search";
    auto args = ParseCommandArgs(kName, in.args, {"--folder", "--from", "--to"}, {"--exact"});
    if (!args) return kExitError;
    if (args->help) {
        PrintHelp();
        return kExitFound;
    }
    TDiarySearchOptions options;
    for (auto [name, day] : {std::pair{"--from", &options.from}, std::pair{"--to", &options.to}}) {
        if (!args->values.contains(name)) continue;
        *day = CommandDate(kName, args->Value(name));
        if (!*day) return kExitError;
    }
    if (options.from && options.to && !CommandPeriod(kName, *options.from, *options.to)) return kExitError;
    if (args->operands.empty()) return CommandError(kName, "探す語を指定してください（mekuri search --help で使い方を表示します）");
    auto folder = CommandFolder(kName, args->Value("--folder"), in.defaultFolder);
    if (!folder) return kExitError;
    options.folder = *folder;

    std::string text;
    for (const std::string& w : args->operands) text += (text.empty() ? "" : " ") + w;
    const TSearchQuery query = MakeSearchQuery(text, args->Has("--exact"));
    if (query.words.empty()) return CommandError(kName, "探す語を指定してください（mekuri search --help で使い方を表示します）");

    bool found = false, failed = false;
    std::atomic<bool> stop = false;  // once the output is lost
    // Each line is made on the search's threads; only the writing is one at a time.
    options.prepare = [](TDaySearchResult& r) {
        const TExcerpt cut = Excerpt(r.line, r.match.match, kExcerptChars);
        r.prepared.reserve(16 + cut.text.size() * 3);
        r.prepared = FormatIsoDate(r.day);
        r.prepared += '\t';
        if (r.extra)
            AppendUnicodeFromText(r.prepared, cut.text, *r.extra);
        else
            AppendSjisAsUtf8(r.prepared, cut.text);
        r.prepared += '\n';
    };
    const int err = SearchDiary(
        query, options,
        [&](const TDaySearchResult& r) {
            if (r.error) {
                failed = true;
                CommandMessage(kName, UnreadableFileMessage(r.path.substr(r.path.rfind('/') + 1), r.error));
                return;
            }
            found = true;
            CommandOut(r.prepared);
            if (CommandOutputFailed()) stop = true;
        },
        {}, &stop);
    if (err) return CommandError(kName, UnreadableFolderMessage(options.folder, err));
    if (failed) return kExitError;
    return found ? kExitFound : kExitNothing;
}
