#include "app/window_library.h"

#include "app/program_places.h"
#include "window/window_entry.h"

#include <dlfcn.h>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

#ifndef MEKURI_WINDOW_LIBRARY_DIR
#error "MEKURI_WINDOW_LIBRARY_DIR names the installed library folder relative to the program's"
#endif

namespace {

struct TLoaded {
    const TWindowEntries* entries = nullptr;
    std::string error;
};

TLoaded Load() {
    const std::string program = ProgramFile();
    if (program.empty()) return {nullptr, "プログラムの場所（/proc/self/exe）が分かりません"};
    const std::vector<std::string> places = WindowLibraryPlaces(program);
    for (const std::string& path : places) {
        std::error_code ec;
        if (!fs::exists(path, ec)) continue;
        // The window library is linked to be bound in full as it loads (BIND_NOW), so a
        // missing library or name shows here, not halfway through drawing. RTLD_NOW would
        // also bind at once the system libraries built for lazy binding (fontconfig and
        // others, which the program bound lazily when it linked Qt itself): measured, that
        // made the window start 2-3 % slower, for no check of ours.
        void* handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!handle) {
            const char* why = ::dlerror();
            return {nullptr, path + " を読み込めません: " + (why ? why : "")};
        }
        const auto entry = reinterpret_cast<TWindowEntriesFunction>(::dlsym(handle, kWindowEntriesName));
        const TWindowEntries* entries = entry ? entry() : nullptr;
        if (!entries || entries->version != kWindowEntriesVersion)
            return {nullptr, path + " はこのプログラムと同時に作られたものではありません"};
        return {entries, {}};
    }
    std::string list;
    for (const std::string& path : places) list += (list.empty() ? "" : "、") + path;
    return {nullptr, std::string(kWindowLibraryFile) + " が見つかりません（" + list + "）"};
}

const TLoaded& Loaded() {
    static const TLoaded loaded = Load();
    return loaded;
}

}  // namespace

std::vector<std::string> WindowLibraryPlaces(const std::string& programFile) {
    const fs::path dir = fs::path(programFile).parent_path();
    return {(dir / kWindowLibraryFile).string(),
            (dir / MEKURI_WINDOW_LIBRARY_DIR / kWindowLibraryFile).lexically_normal().string()};
}

int RunWindowFromLibrary(int argc, char** argv) {
    const TLoaded& loaded = Loaded();
    if (!loaded.entries) {
        std::cerr << "mekuri: ウィンドウを開けません。ウィンドウの部品 " << loaded.error << "\n"
                  << "コマンド（mekuri --help）はウィンドウなしで使えます。\n";
        return 1;
    }
    return loaded.entries->runWindow(argc, argv);
}

std::string ExportPdfFromLibrary(const TPdfExportRequest& request, std::vector<TYMD>& brokenDays) {
    const TLoaded& loaded = Loaded();
    if (!loaded.entries) return "PDF を書き出せません。描画の部品 " + loaded.error;
    return loaded.entries->exportPdf(request, brokenDays);
}
