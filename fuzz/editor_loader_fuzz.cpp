// Writes arbitrary bytes to a file and loads it into the editor's rows, with word wrap off
// and on, and checks the rows against the lines the file holds.
//
// Input: the file itself. Its first byte also gives the WrapByte (clamped to 20..250 by the
// store), its second the tab width and its third how far before the loader's 8192-byte
// block end a second copy starts, behind a run of filler bytes, so that line ends, CR LF
// pairs and ^Z also meet the block boundary.
#include "editor/edit_session.h"
#include "editor/row_loader.h"
#include "editor/row_store.h"
#include "platform/exceptions.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kBlockSize = 8192;  // the loader's read size

void Check(bool condition) {
    if (!condition) std::abort();
}

// One private folder per process, on a memory file system where there is one: saving
// flushes to the disk, which would otherwise dominate every run. The name is kept in plain
// storage, so that it outlives the static strings when the folder is removed at exit.
char folderName[4096];

void RemoveFolder() {
    const std::string folder = folderName;
    std::remove((folder + "/input.txt").c_str());
    std::remove((folder + "/saved.txt").c_str());
    rmdir(folder.c_str());
}

const std::string& Folder() {
    static const std::string folder = [] {
        const char* tmp = getenv("TMPDIR");
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp ? tmp : "/tmp");
        std::string name = base + "/mekuri-editor-fuzz-XXXXXX";
        if (name.size() >= sizeof folderName || !mkdtemp(name.data())) std::abort();
        std::memcpy(folderName, name.c_str(), name.size() + 1);
        std::atexit(RemoveFolder);
        return name;
    }();
    return folder;
}

void WriteFile(const std::string& path, std::string_view data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!data.empty() && std::fwrite(data.data(), 1, data.size(), f) != data.size()) std::abort();
    if (std::fclose(f) != 0) std::abort();
}

// The lines a file holds, worked out byte by byte: ^Z ends the text; CR LF, CR and LF end a
// line; a last line without a break counts when it has bytes.
struct Lines {
    std::vector<std::string_view> text;
    bool lastUnbroken = false;
};

Lines FileLines(std::string_view data) {
    Lines lines;
    data = data.substr(0, data.find('\x1A'));
    size_t start = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        lines.text.push_back(data.substr(start, i - start));
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < data.size()) {
        lines.text.push_back(data.substr(start));
        lines.lastUnbroken = true;
    }
    return lines;
}

std::string ExpectedText(const Lines& lines) {
    std::string text;
    for (std::string_view line : lines.text) {
        text.append(line);
        text.append("\r\n");
    }
    if (lines.lastUnbroken) text.resize(text.size() - 2);
    return text;
}

struct Row {
    std::string text;
    int kind;
    bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const TRowStore& store) {
    std::vector<Row> rows;
    for (int r = 0; r < store.RowCount(); ++r) rows.push_back({store.RowText(r), store.RowKind(r)});
    return rows;
}

// Row invariants: no row holds a line end; rkEnd stands only on the last row, and there
// exactly when the text ends without a break; rkWrap only with word wrap on.
void CheckRows(const TRowStore& store, const Lines& lines) {
    const int count = store.RowCount();
    for (int r = 0; r < count; ++r) {
        std::string_view row = store.RowView(r);
        Check(row.find_first_of(std::string_view("\r\n\x1A", 3)) == std::string_view::npos);
        const int kind = store.RowKind(r);
        Check(kind == rkBreak || kind == rkWrap || kind == rkEnd);
        if (kind == rkEnd) Check(r == count - 1);
        if (kind == rkWrap) Check(store.WordWrap());
    }
    if (count > 0) Check((store.RowKind(count - 1) == rkEnd) == lines.lastUnbroken);
}

// The cuts of word wrap: a cut row holds bytes and fills its width up to the last column
// (a double-byte character that would straddle the edge may leave that one empty); no row
// without a tab is wider than WrapByte.
void CheckWrapWidths(const TRowStore& store) {
    const int wrap = store.WrapByte();
    for (int r = 0; r < store.RowCount(); ++r) {
        std::string_view row = store.RowView(r);
        const int width = store.RowWidth(r);
        if (row.find('\t') == std::string_view::npos) Check(width <= wrap);
        if (store.RowKind(r) == rkWrap) {
            Check(!row.empty());
            Check(width >= wrap - 1);
        }
    }
}

void CheckLines(const TEditorStrings& strings, const Lines& lines) {
    Check(strings.Count() == static_cast<int>(lines.text.size()));
    for (int i = 0; i < strings.Count(); ++i) Check(strings.Strings(i) == lines.text[i]);
}

void CheckFile(const std::string& path, std::string_view data, int wrapByte, int tabs) {
    const std::string saved = Folder() + "/saved.txt";
    WriteFile(path, data);
    const Lines lines = FileLines(data);
    const std::string expected = ExpectedText(lines);
    Check(CountFileLines(path) == lines.text.size());

    {
        TEditSession session;
        TRowStore& store = session.Store();
        store.SetTabSpaceCount(tabs);
        TEditorStrings& strings = session.Lines();
        strings.LoadFromFile(path);
        Check(store.RowCount() == static_cast<int>(lines.text.size()));
        CheckRows(store, lines);
        CheckLines(strings, lines);
        Check(strings.Text() == expected);
        Check(store.TextLength() == static_cast<int64_t>(expected.size()));
    }

    TEditSession session;
    TRowStore& store = session.Store();
    store.SetTabSpaceCount(tabs);
    session.SetWrapByte(wrapByte);
    session.SetWordWrap(true);
    TEditorStrings& strings = session.Lines();
    strings.LoadFromFile(path);
    CheckRows(store, lines);
    CheckWrapWidths(store);
    CheckLines(strings, lines);
    Check(strings.Text() == expected);
    const std::vector<Row> wrapped = Rows(store);

    // Joining and cutting again changes no byte of the text and gives the same rows.
    store.UnwrapAll();
    Check(store.RowCount() == static_cast<int>(lines.text.size()));
    CheckRows(store, lines);
    Check(strings.Text() == expected);
    store.RewrapAll();
    Check(Rows(store) == wrapped);
    Check(strings.Text() == expected);

    // What is saved loads back as the same text, and the save leaves no stray file behind.
    strings.SaveToFile(saved);
    strings.LoadFromFile(saved);
    Check(strings.Text() == expected);
    Check(Rows(store) == wrapped);
    DIR* dir = opendir(Folder().c_str());
    Check(dir != nullptr);
    int entries = 0;
    while (dirent* e = readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) ++entries;
    closedir(dir);
    Check(entries == 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const int wrapByte = size > 0 ? bytes[0] : 80;
    const int tabs = size > 1 ? bytes[1] : 8;
    const size_t before = size > 2 ? bytes[2] % 64 : 1;
    const std::string path = Folder() + "/input.txt";

    CheckFile(path, data, wrapByte, tabs);

    // The same bytes again, starting `before` bytes ahead of the first block's end.
    std::string padded(kBlockSize - before, 'x');
    padded.append(data);
    CheckFile(path, padded, wrapByte, tabs);
    return 0;
}
