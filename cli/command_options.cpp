#include "cli/command_options.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>

int CommandError(std::string_view command, std::string_view message) {
    std::cerr << "mekuri " << command << ": " << message << '\n';
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
        if (known(withValue, name)) {
            if (eq != std::string::npos) {
                out.values[name] = arg.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                out.values[name] = args[++i];
            } else {
                CommandError(command, "オプション " + name + " には値が必要です");
                return std::nullopt;
            }
        } else if (known(flags, name) && eq == std::string::npos) {
            out.flags.insert(name);
        } else {
            CommandError(command, "不明なオプションです: " + arg + "（mekuri " + std::string(command) + " --help で使い方を表示します）");
            return std::nullopt;
        }
    }
    return out;
}
