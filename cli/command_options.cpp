#include "cli/command_options.h"
#include "cli/command_output.h"

#include "diary/day_index.h"
#include "platform/file_error.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>

void CommandMessage(std::string_view command, std::string_view message) {
    FlushCommandOutput();
    std::cerr << "mekuri" << (command.empty() ? "" : " ") << command << ": " << message << std::endl;
}

int CommandError(std::string_view command, std::string_view message) {
    CommandMessage(command, message);
    return kExitError;
}

std::optional<std::string> CommandFolder(std::string_view command, const std::string& folderOption,
                                         const std::string& defaultFolder) {
    const std::string folder = folderOption.empty() ? defaultFolder : folderOption;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        CommandError(command, "日記のフォルダー " + folder + " がありません");
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode)) {
        CommandError(command, folder + " はフォルダーではありません");
        return std::nullopt;
    }
    return folder;
}

std::optional<TYMD> CommandDate(std::string_view command, const std::string& text) {
    auto day = ParseIsoDate(text);
    if (!day) CommandError(command, "日付 " + text + " が正しくありません（YYYY-MM-DD の形の、実在する日付を指定してください）");
    return day;
}

bool CommandPeriod(std::string_view command, const TYMD& first, const TYMD& last) {
    if (!DayBefore(last, first)) return true;
    CommandError(command, "開始日 " + FormatIsoDate(first) + " が終了日 " + FormatIsoDate(last) + " より後です");
    return false;
}

std::string UnreadableFileMessage(const std::string& fileName, int err) {
    return FileErrorMessage(fileName, "読めません", err);
}

std::string UnreadableFolderMessage(const std::string& folder, int err) {
    return "日記のフォルダー " + folder + " を読めません。" + FileErrorReason(err) + "。";
}

std::string TCommandArgs::Value(std::string_view name) const {
    auto at = values.find(name);
    return at == values.end() ? std::string{} : at->second;
}

std::optional<TCommandArgs> ParseCommandArgs(std::string_view command, const std::vector<std::string>& args,
                                            const std::vector<std::string_view>& withValue,
                                            const std::vector<std::string_view>& flags) {
    TCommandArgs out;
    const auto known = [](const std::vector<std::string_view>& list, std::string_view name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    const auto refuse = [&](const std::string& message) {
        CommandError(command, message + "（mekuri " + std::string(command) + " --help で使い方を表示します）");
        return std::nullopt;
    };
    bool optionsOver = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsOver || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
            out.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsOver = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const bool takesValue = known(withValue, name);
        if (!takesValue && !(known(flags, name) && eq == std::string::npos)) return refuse("不明なオプションです: " + arg);
        if (out.values.contains(name) || out.flags.contains(name))
            return refuse("オプション " + name + " が 2 回指定されています");
        if (!takesValue) {
            out.flags.insert(name);
            continue;
        }
        if (eq == std::string::npos && i + 1 == args.size()) return refuse("オプション " + name + " には値が必要です");
        std::string value = eq != std::string::npos ? arg.substr(eq + 1) : args[++i];
        if (value.empty()) return refuse("オプション " + name + " の値が空です");
        out.values[name] = std::move(value);
    }
    return out;
}
