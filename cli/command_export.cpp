// mekuri export [--folder DIR] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--format text|markdown|pdf] [-o FILE]
#include "cli/command_export.h"
#include "cli/command_line.h"
#include "cli/command_options.h"
#include "cli/command_output.h"
#include "cli/export_target.h"

#include "diary/day_index.h"
#include "diary/diary_export.h"
#include "platform/file_error.h"
#include "platform/safe_file.h"

#include <limits>

namespace {

constexpr std::string_view kName = "export";

TPdfExporter pdfExporter = nullptr;

void PrintExportHelp() {
    CommandOut("使い方: mekuri export [--folder フォルダー] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
               "                     [--format text|markdown|pdf] [-o ファイル]\n"
               "\n"
               "期間の日記を、古い日から順に書き出します。中身のある日だけが対象です。\n"
               "\n"
               "  --folder フォルダー  日記のフォルダー（既定はウィンドウと同じ）\n"
               "  --from 日付          最初の日（既定は最も古い日記）\n"
               "  --to 日付            最後の日（既定は最も新しい日記）\n"
               "  --format 形式        text（既定）、markdown、pdf\n"
               "  -o ファイル          出力先。text と markdown は省くと標準出力、pdf には必須。\n"
               "                       日記のフォルダーの中では、まだない名前で、.dat で終わらず\n"
               "                       .Mekuri で始まらない名前だけに書き出せます\n"
               "\n"
               "text は日ごとに「YYYY-MM-DD(曜)」の行、本文（改行は LF、最後に改行）、空行。\n"
               "markdown は「## YYYY-MM-DD(曜)」の行、空行、本文、空行。文字コードは UTF-8。\n"
               "日記は Shift-JIS でも UTF-8 でも読みます。文字として読めないバイトは U+FFFD になり、\n"
               "その日を標準エラーに示します。\n"
               "\n"
               "--from の日が --to の日より後ならエラーです。\n"
               "\n"
               "終了コード: 0 成功、2 エラー（出力ファイルは作られません）、\n"
               "141 読み手のいなくなったパイプに出力したとき\n");
}

void WarnBrokenDays(const std::vector<TYMD>& days) {
    for (const TYMD& day : days)
        CommandMessage(kName, "警告: " + FormatIsoDate(day) + " の日記に Shift-JIS として読めないバイトがあり、U+FFFD に置き換えました");
}

}  // namespace

void SetPdfExporter(TPdfExporter exporter) { pdfExporter = exporter; }

int RunExportCommand(const TCommandInput& in) {
    const auto args = ParseCommandArgs(kName, in.args, {"--folder", "--from", "--to", "--format", "-o"}, {});
    if (!args) return kExitError;
    if (args->help) {
        PrintExportHelp();
        return kExitFound;
    }
    if (!args->operands.empty()) return CommandError(kName, "余分な引数です: " + args->operands.front());
    const std::string format = args->values.contains("--format") ? args->Value("--format") : "text";
    if (format != "text" && format != "markdown" && format != "pdf")
        return CommandError(kName, "形式 " + format + " は使えません（text、markdown、pdf のどれか）");
    TYMD first{std::numeric_limits<std::int32_t>::min(), 1, 1};
    TYMD last{std::numeric_limits<std::int32_t>::max(), 12, 31};
    for (auto [option, day] : {std::pair{"--from", &first}, std::pair{"--to", &last}}) {
        if (!args->values.contains(option)) continue;
        const auto parsed = CommandDate(kName, args->Value(option));
        if (!parsed) return kExitError;
        *day = *parsed;
    }
    if (!CommandPeriod(kName, first, last)) return kExitError;
    const bool toFile = args->values.contains("-o");
    const std::string output = args->Value("-o");
    if (format == "pdf" && !toFile) return CommandError(kName, "PDF には -o で出力ファイルを指定してください");

    const auto folder = CommandFolder(kName, args->Value("--folder"), in.defaultFolder);
    if (!folder) return kExitError;
    if (toFile) {
        if (const std::string refusal = ExportTargetRefusal(output, *folder); !refusal.empty())
            return CommandError(kName, refusal);
    }
    TDayIndex index;
    if (const int err = index.Scan(*folder)) return CommandError(kName, UnreadableFolderMessage(*folder, err));
    const std::vector<TYMD> days = index.Between(first, last);

    if (format == "pdf") {
        if (!pdfExporter) return CommandError(kName, "PDF を書き出せません");
        std::vector<TYMD> broken;
        const std::string error = pdfExporter({*folder, days, output}, broken);
        if (!error.empty()) return CommandError(kName, error);
        WarnBrokenDays(broken);
        return kExitFound;
    }
    const TExportResult result =
        ExportEntries(*folder, days, format == "markdown" ? TExportFormat::Markdown : TExportFormat::Text);
    if (!result.error.empty()) return CommandError(kName, result.error);
    WarnBrokenDays(result.brokenDays);
    if (toFile) {
        if (const int err = ReplaceFileContents(output, result.output)) return CommandError(kName, FileErrorMessage(output, "書き込めません", err));
        return kExitFound;
    }
    CommandOut(result.output);
    return kExitFound;
}
