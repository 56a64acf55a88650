#pragma once
// The hand-over between the `mekuri` program and its window library. The program runs the
// commands without Qt, so that a script pays for none of its loading; the window and the
// PDF export, which draw with Qt, live in a library the program loads only when it needs
// them. The library shows one name to the outside: the function below, which gives its
// entries. Program and library are built together; the version keeps a library from
// another build from being called with a different idea of these types.
#include "cli/command_export.h"

constexpr int kWindowEntriesVersion = 1;
constexpr const char* kWindowEntriesName = "MekuriWindowEntries";
constexpr const char* kWindowLibraryFile = "libmekuri-window.so";

struct TWindowEntries {
    int version;
    // Opens the window as `mekuri [FOLDER]` does and returns the program's exit status.
    int (*runWindow)(int argc, char** argv);
    TPdfExporter exportPdf;
};

extern "C" {
using TWindowEntriesFunction = const TWindowEntries* (*)();
}
