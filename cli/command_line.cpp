#include "cli/command_line.h"

#include <iostream>
#include <string_view>

namespace {

struct TCommand {
    std::string_view name;
    std::string_view summary;
    int (*run)(const TCommandInput&);
};

constexpr TCommand kCommands[] = {
    {"days", "日記のある日の一覧", RunDaysCommand},
    {"search", "日記全体から検索", RunSearchCommand},
    {"export", "期間の日記を書き出す（テキスト、Markdown、PDF）", RunExportCommand},
    {"conflicts", "同期ツールが残した競合コピーの一覧", RunConflictsCommand},
};

void PrintHelp() {
    std::cout << "使い方: mekuri [フォルダー]\n"
                 "        mekuri コマンド [オプション]\n"
                 "\n"
                 "フォルダーを付けずに起動すると、日記のウィンドウを開きます。\n"
                 "コマンドはウィンドウを開かず、端末やスクリプトから日記を読みます。\n"
                 "\n"
                 "コマンド:\n";
    for (const TCommand& c : kCommands) std::cout << "  " << c.name << std::string(c.name.size() < 10 ? 10 - c.name.size() : 1, ' ') << c.summary << '\n';
    std::cout << "\n"
                 "各コマンドの使い方は mekuri コマンド --help で表示します。\n"
                 "日記のフォルダーは --folder で指定できます。指定がなければ、環境変数\n"
                 "MEKURI_DIARY、それもなければウィンドウと同じ既定のフォルダーを使います。\n"
                 "\n"
                 "終了コード: 0 成功、1 見つからなかった（search）、2 エラー、\n"
                 "           3 競合コピーがある（conflicts）\n";
}

}  // namespace

std::optional<int> RunCommandLine(int argc, char** argv, std::string (*defaultFolder)(),
                                  std::string (*settingsFolder)()) {
    if (argc < 2) return std::nullopt;
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintHelp();
        return 0;
    }
    for (const TCommand& c : kCommands) {
        if (first != c.name) continue;
        TCommandInput in;
        in.args.assign(argv + 2, argv + argc);
        in.defaultFolder = defaultFolder();
        if (settingsFolder) in.settingsFolder = settingsFolder();
        return c.run(in);
    }
    return std::nullopt;
}
