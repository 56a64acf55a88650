#include "cli/command_line.h"
#include "cli/command_options.h"
#include "cli/command_output.h"

#include <csignal>
#include <string_view>
#include <sys/stat.h>

#ifndef MEKURI_VERSION
#error "MEKURI_VERSION is the project's version, given by the build"
#endif

namespace {

struct TCommand {
    std::string_view name;
    std::string_view summary;
    int (*run)(const TCommandInput&);
};

// A new command is a line here and a file of its own.
constexpr TCommand kCommands[] = {
    {"days", "日記のある日の一覧", RunDaysCommand},
    {"search", "日記全体から検索", RunSearchCommand},
    {"export", "期間の日記を書き出す（テキスト、Markdown、PDF）", RunExportCommand},
    {"conflicts", "同期ツールが残した競合コピーの一覧", RunConflictsCommand},
};

constexpr std::string_view kSeeHelp = "（mekuri --help で使い方を表示します）";

void PrintHelp() {
    CommandOut("使い方: mekuri [フォルダー]\n"
               "        mekuri コマンド [オプション]\n"
               "        mekuri --help | --version\n"
               "\n"
               "フォルダーを付けずに起動すると、日記のウィンドウを開きます。\n"
               "フォルダーを付けると、そのフォルダーの日記を開きます。まだないフォルダーは、\n"
               "./新しい日記 や ~/日記/2027 のように / を含めて指定したときだけ作ります。\n"
               "コマンドと同じ名前のフォルダーや - で始まる名前のフォルダーも ./days のように指定します。\n"
               "\n"
               "コマンドはウィンドウを開かず、端末やスクリプトから日記を読みます。\n"
               "\n"
               "コマンド:\n");
    for (const TCommand& c : kCommands) {
        CommandOut("  ");
        CommandOut(c.name);
        CommandOut(std::string(c.name.size() < 10 ? 10 - c.name.size() : 1, ' '));
        CommandOut(c.summary);
        CommandOut("\n");
    }
    CommandOut("\n"
               "各コマンドの使い方は mekuri コマンド --help で表示します。\n"
               "日記のフォルダーは --folder で指定できます。指定がなければ、環境変数\n"
               "MEKURI_DIARY、それもなければウィンドウと同じ既定のフォルダーを使います。\n"
               "オプションはそれぞれ 1 回だけ、空でない値で指定します。\n"
               "\n"
               "  --help      この説明を表示します\n"
               "  --version   プログラムの名前とバージョンを表示します\n"
               "\n"
               "終了コード: 0 成功、1 見つからなかった（search）、2 エラー、\n"
               "3 競合コピーがある（conflicts）、\n"
               "141 読み手のいなくなったパイプに出力したとき（メッセージなし）\n");
}

// Whether the window may start with argv's folder; the exit status when not. A folder that
// does not exist is made for the window only when its name holds a "/": a mistyped
// command or option must not leave a folder behind. "-session ID" is how a desktop session
// that saved the window starts it again; Qt takes it.
std::optional<int> RefuseWindowArguments(int argc, char** argv) {
    const auto refuse = [](const std::string& message) { return CommandError("", message + std::string(kSeeHelp)); };
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-session" && i + 1 < argc) ++i;
        else if (arg.starts_with('-')) return refuse("不明なオプションです: " + arg);
        else operands.push_back(arg);
    }
    if (operands.empty()) return std::nullopt;
    const std::string& folder = operands[0];
    if (operands.size() > 1) return refuse("余分な引数です: " + operands[1] + "。ウィンドウに指定できるのは日記のフォルダー 1 つです");
    if (folder.empty()) return refuse("フォルダーの名前が空です");
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return std::nullopt;
        return refuse(folder + " はフォルダーではありません");
    }
    if (folder.find('/') != std::string::npos) return std::nullopt;
    return refuse("不明なコマンドです: " + folder + "。新しい日記のフォルダーを作るときは ./" + folder +
                  " のように / を含めて指定してください");
}

}  // namespace

std::optional<int> RunCommandLine(int argc, char** argv, std::string (*defaultFolder)(),
                                  std::string (*settingsFolder)()) {
    if (argc < 2) return std::nullopt;
    // A write past the file-size limit would kill the command without a word, leaving its
    // temporary file; ignored, the write fails and is reported, and the file removed.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintHelp();
        return FinishCommandOutput("", kExitFound);
    }
    if (first == "--version") {
        CommandOut("mekuri " MEKURI_VERSION "\n");
        return FinishCommandOutput("", kExitFound);
    }
    for (const TCommand& c : kCommands) {
        if (first != c.name) continue;
        TCommandInput in;
        in.args.assign(argv + 2, argv + argc);
        in.defaultFolder = defaultFolder();
        if (settingsFolder) in.settingsFolder = settingsFolder();
        return FinishCommandOutput(c.name, c.run(in));
    }
    return RefuseWindowArguments(argc, argv);
}
