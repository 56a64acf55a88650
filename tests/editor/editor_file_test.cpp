// Loading and saving files: the block reader's seams, odd bytes, and writes that never
// leave a half-written file.
#include "editor/edit_session.h"
#include "editor/row_loader.h"
#include "editor_test_support.h"
#include "platform/exceptions.h"
#include "platform/unicode_text.h"
#include "tools/diary_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Strings = std::vector<std::string>;

class FileTest : public ::testing::Test {
protected:
    // Writes `bytes`, loads them and returns the rows.
    Strings Load(std::string_view bytes) {
        WriteBytes(dir.File("in.dat"), bytes);
        lines.LoadFromFile(dir.File("in.dat"));
        return Rows(store);
    }
    // Loads `bytes` and saves them again; returns what was written.
    std::string RoundTrip(std::string_view bytes) {
        Load(bytes);
        lines.SaveToFile(dir.File("out.dat"));
        return ReadBytes(dir.File("out.dat"));
    }
    size_t FilesInDir() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++n;
        return n;
    }
    TTempDir dir;
    TEditSession session;
    TRowStore& store = session.Store();
    TEditorStrings& lines = session.Lines();
};

std::string A(size_t n, char c = 'a') { return std::string(n, c); }

}  // namespace

TEST_F(FileTest, LineEndingsAndTheMissingFinalBreak) {
    EXPECT_EQ(Load(""), Strings());
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Text(), "");

    EXPECT_EQ(RoundTrip("abc"), "abc");
    EXPECT_EQ(Rows(store), Strings({"abc/2"}));
    EXPECT_EQ(RoundTrip("abc\r\n"), "abc\r\n");
    EXPECT_EQ(Rows(store), Strings({"abc/0"}));

    EXPECT_EQ(RoundTrip("a\rb\nc"), "a\r\nb\r\nc");
    EXPECT_EQ(Rows(store), Strings({"a/0", "b/0", "c/2"}));
    EXPECT_EQ(Load("a\n\rb"), Strings({"a/0", "/0", "b/2"}));  // LF CR ends two lines
    EXPECT_EQ(Load("\r\n\r\n"), Strings({"/0", "/0"}));
}

TEST_F(FileTest, CtrlZEndsTheText) {
    EXPECT_EQ(Load("ab\x1a" "cd\r\nef"), Strings({"ab/2"}));
    EXPECT_EQ(Load("ab\r\n\x1a" "cd"), Strings({"ab/0"}));
    EXPECT_EQ(Load(A(9000) + "\x1a" "zzz\r\n"), Strings({A(9000) + "/2"}));
}

TEST_F(FileTest, LinesAcrossBlockBoundaries) {
    // A line that starts in one 8192-byte block and ends in the next.
    EXPECT_EQ(Load(A(8000) + A(500, 'b') + "\r\nx"), Strings({A(8000) + A(500, 'b') + "/0", "x/2"}));
    // CR as the last byte of a block, LF as the first of the next: one break.
    EXPECT_EQ(Load(A(8191) + "\r\nz"), Strings({A(8191) + "/0", "z/2"}));
    // Lone LF ends: an LF first in a block ends the line the previous block left open.
    EXPECT_EQ(Load(A(8192) + "\nq\n"), Strings({A(8192) + "/0", "q/0"}));
    // A lone CR last in a block, followed by text.
    EXPECT_EQ(Load(A(8191) + "\rz"), Strings({A(8191) + "/0", "z/2"}));
    // A line of 20000 bytes spans three blocks.
    std::string longLine = A(20000, 'L');
    EXPECT_EQ(RoundTrip("x\r\n" + longLine + "\r\ny"), "x\r\n" + longLine + "\r\ny");
    EXPECT_EQ(store.RowCount(), 3);
}

TEST_F(FileTest, ABreakEndingExactlyAtABlockEndAddsNoEmptyLine) {
    EXPECT_EQ(Load(A(8190) + "\r\n"), Strings({A(8190) + "/0"}));
    EXPECT_EQ(Load(A(8191) + "\n" + A(8191) + "\n"), Strings({A(8191) + "/0", A(8191) + "/0"}));
    EXPECT_EQ(lines.Count(), 2);
}

TEST_F(FileTest, NulBytesAndBrokenCharactersAreKeptAsTheyAre) {
    std::string bytes("a\0b\r\n\0\0\r\nc\x82", 11);
    EXPECT_EQ(RoundTrip(bytes), bytes);
    EXPECT_EQ(store.RowCount(), 3);
    EXPECT_EQ(store.RowText(0), std::string("a\0b", 3));
    EXPECT_EQ(store.RowWidth(2), 3);  // the lone lead byte still takes two columns
    // A NUL just before a block boundary loses nothing of the block.
    std::string nulAtSeam = A(8100) + std::string(1, '\0') + A(200, 'b') + "\r\n";
    EXPECT_EQ(RoundTrip(nulAtSeam), nulAtSeam);
}

TEST_F(FileTest, LoadingWithWordWrapCutsTheLines) {
    session.SetWordWrap(true);
    session.SetWrapByte(20);
    EXPECT_EQ(Load(A(45) + "\r\n" + A(20) + "\r\n" + kA2 + "end"),
              Strings({A(20) + "/1", A(20) + "/1", A(5) + "/0", A(20) + "/1", "/0", kA2 + "end/2"}));
    EXPECT_EQ(lines.Count(), 3);
    lines.SaveToFile(dir.File("out.dat"));
    EXPECT_EQ(ReadBytes(dir.File("out.dat")), A(45) + "\r\n" + A(20) + "\r\n" + kA2 + "end");
    lines.SaveRowsToFile(dir.File("rows.dat"));
    EXPECT_EQ(ReadBytes(dir.File("rows.dat")),
              A(20) + "\r\n" + A(20) + "\r\n" + A(5) + "\r\n" + A(20) + "\r\n\r\n" + kA2 + "end\r\n");
}

TEST_F(FileTest, LoadingNotifiesOnceAndEmptiesTheUndoLists) {
    int changes = 0;
    store.OnChange = [&] { ++changes; };
    lines.Add("typed");
    changes = 0;
    store.SetModified(false);
    Load(A(30000) + "\r\nb\r\nc");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(store.Modified());
    EXPECT_FALSE(session.UndoObj().CanUndo());
    EXPECT_EQ(session.Row(), 0);
}

TEST_F(FileTest, AFileThatCannotBeOpenedRaisesWithTheLinesCleared) {
    Load("some\r\ntext\r\n");
    std::string missing = dir.File("存在しない.dat");
    try {
        lines.LoadFromFile(missing);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        std::string what = e.what();
        EXPECT_NE(what.find(missing), std::string::npos) << what;
        EXPECT_NE(what.find("開けません"), std::string::npos) << what;
        EXPECT_NE(what.find("見つかりません"), std::string::npos) << what;
    }
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_EQ(lines.UpdateCount(), 0);
    // A folder opens but cannot be read.
    Load("x");
    EXPECT_THROW(lines.LoadFromFile(dir.Path().string()), EFileError);
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_EQ(lines.UpdateCount(), 0);
    // A device that never ends is refused instead of read forever.
    EXPECT_THROW(lines.LoadFromFile("/dev/zero"), EFileError);
}

TEST_F(FileTest, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
    Load("old\r\n");
    const std::string fifo = dir.File("2024101.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto load = std::async(std::launch::async, [&] {
        try {
            lines.LoadFromFile(fifo);
            return std::string("no error");
        } catch (const EFileError& e) {
            return std::string(e.what());
        }
    });
    if (load.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // A writer lets the blocked open return, so that the test can end.
        int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        load.wait();
        if (fd >= 0) ::close(fd);
        FAIL() << "loading a named pipe waited for a writer";
    }
    const std::string what = load.get();
    EXPECT_NE(what.find(fifo), std::string::npos) << what;
    EXPECT_NE(what.find("開けません"), std::string::npos) << what;
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_EQ(lines.UpdateCount(), 0);
}

TEST_F(FileTest, AFileLongerThanItsStatedSizeIsReadWhole) {
    // Files of /proc state a size of 0 and hold more: the store must grow as it reads, as
    // for a file that grows while it is loaded.
    const std::string file = "/proc/filesystems";
    std::string bytes = ReadBytes(file);
    if (bytes.empty()) GTEST_SKIP() << file << " is not readable here";
    std::string expected;  // its lines end in LF; the text ends them in CR LF
    for (char c : bytes) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    lines.LoadFromFile(file);
    EXPECT_EQ(lines.Text(), expected);
    EXPECT_GT(lines.Count(), 1);
}

TEST_F(FileTest, SavingReplacesTheFileWholeAndKeepsItsPermissions) {
    std::string target = dir.File("2024101.dat");
    WriteBytes(target, "old text that is longer than the new one\r\n");
    ::chmod(target.c_str(), 0640);
    lines.SetText("new");
    lines.SaveToFile(target);
    EXPECT_EQ(ReadBytes(target), "new\r\n");
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

TEST_F(FileTest, AFailedSaveRaisesAndLeavesNothingBehind) {
    lines.SetText("text");
    try {
        lines.SaveToFile(dir.File("no-such-folder/day.dat"));
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("保存できません"), std::string::npos) << e.what();
    }
    // The target is a folder: the rename fails and the folder stays as it was.
    std::filesystem::create_directory(dir.File("day.dat"));
    WriteBytes(dir.File("day.dat/inside"), "keep");
    EXPECT_THROW(lines.SaveToFile(dir.File("day.dat")), EFileError);
    EXPECT_EQ(ReadBytes(dir.File("day.dat/inside")), "keep");
    EXPECT_EQ(FilesInDir(), 1u);
    EXPECT_THROW(lines.SaveRowsToFile(""), EFileError);
}

TEST_F(FileTest, AGeneratedDiaryLoadsAndSavesByteForByte) {
    const std::string file = dir.File("diary.txt");
    const std::string bytes = DiaryText(2000000, 40000);
    WriteBytes(file, bytes);

    lines.LoadFromFile(file);
    EXPECT_EQ(lines.Count(), 40000);
    EXPECT_EQ(lines.Text(), bytes);

    session.SetWordWrap(true);
    EXPECT_GT(store.RowCount(), 40000);
    EXPECT_EQ(lines.Count(), 40000);
    EXPECT_EQ(lines.Text(), bytes);
    for (int r = 0; r < store.RowCount(); ++r)
        if (store.RowKind(r) == rkWrap) {
        ASSERT_GE(store.RowWidth(r), store.WrapByte() - 1) << r;
    }
    session.SetWordWrap(false);
    EXPECT_EQ(store.RowCount(), 40000);
    lines.SaveToFile(dir.File("copy.txt"));
    EXPECT_EQ(ReadBytes(dir.File("copy.txt")), bytes);
}

TEST_F(FileTest, LoadingWithWordWrapCutsAsWrappingAfterTheLoadDoes) {
    // The loader cuts lines as it reads them, from tab counts taken with the line ends;
    // wrapping a loaded text walks the rows instead. Tabs, lead bytes whose trail byte is a
    // tab, lines as wide as a row and line ends around the 64- and 8192-byte seams.
    std::mt19937 rng(80);
    const std::vector<std::string> pieces = {"a", "\t", kA2, "\x81\t", "\r\n", "\n", "\r", std::string(70, 'x'),
                                             std::string(8100, 'y'), "\t\t\t\t\t\t\t\t\t\t"};
    std::vector<std::string> texts = {DiaryText(300000, 6000)};
    for (int round = 0; round < 60; ++round) {
        std::string bytes;
        for (int n = std::uniform_int_distribution<int>(0, 80)(rng); n > 0; --n)
            bytes += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
        texts.push_back(bytes);
    }
    for (size_t t = 0; t < texts.size(); ++t) {
        for (int tabs : {2, 8}) {
            store.SetTabSpaceCount(tabs);
            session.SetWordWrap(false);
            Load(texts[t]);
            session.SetWordWrap(true);
            const Strings wrappedAfter = Rows(store);
            ASSERT_EQ(Load(texts[t]), wrappedAfter) << "text " << t << " tabs " << tabs;
        }
    }
}

TEST_F(FileTest, CountingAndReadingPassesAgreeOnEveryLayout) {
    // Terminators land on every offset around the 64-byte and 8192-byte seams.
    std::mt19937 rng(932);
    const std::vector<std::string> pieces = {"a", "bc", kA2, "\r", "\n", "\r\n", "\n\r", std::string(61, 'x'),
                                             std::string(8180, 'y')};
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        int n = std::uniform_int_distribution<int>(0, 60)(rng);
        for (int i = 0; i < n; ++i) bytes += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
        if (round % 10 == 0) bytes.insert(std::uniform_int_distribution<size_t>(0, bytes.size())(rng), "\x1a");
        Load(bytes);
        ASSERT_EQ(CountFileLines(dir.File("in.dat")), static_cast<size_t>(store.RowCount())) << "round " << round;
    }
}

// A UTF-8 day file converted where it is read gives the rows and the table that the text
// converted on its own gives: with and without the mark, a ^Z tail, lone CR and LF, a byte
// that forms no character (early, late, last), a character cut at the end, clusters of
// every kind, a line of 100,000 characters, word wrap off and on.
TEST_F(FileTest, Utf8FileLoadsAsItsConvertedText) {
    const std::string mark = "\xEF\xBB\xBF";
    std::string longLine;
    for (int i = 0; i < 100000; ++i) longLine += i % 7 ? "日" : "😀";
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"mark", mark + "日記 😀 café\r\n𠮷野家\r\n"},
        {"no mark", "日記 e\xCC\x81 👨‍👩‍👧 🇯🇵\n二行目"},
        {"empty after the mark", mark},
        {"^Z tail", mark + "前\r\n\x1A後 😀"},
        {"lone CR and LF", mark + "a\rb\nc\r\n\r"},
        {"broken byte early", mark + "\xFF日😀\r\n" + longLine},
        {"broken bytes late and last", mark + longLine + "\xC3(\r\nend\xE6\x97"},
        {"long line", longLine + "\r\n" + longLine},
    };
    for (const auto& c : cases) {
        for (const bool wrap : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (wrap ? " wrap" : ""));
            WriteBytes(dir.File("u.dat"), c.file);
            TEditSession loaded;
            loaded.SetWrapByte(40);
            loaded.SetWordWrap(wrap);
            loaded.LoadUnicodeFile(dir.File("u.dat"));
            std::string_view body(c.file);
            if (body.substr(0, 3) == mark) body.remove_prefix(3);
            body = body.substr(0, body.find('\x1A'));
            TExtraChars extra;
            const std::string text = TextFromUnicode(body, extra);
            TEditSession expected;
            expected.SetWrapByte(40);
            expected.SetWordWrap(wrap);
            expected.LoadText(text, extra);
            EXPECT_TRUE(Rows(loaded.Store()) == Rows(expected.Store()));
            EXPECT_TRUE(UnicodeFromText(loaded.Lines().Text(), loaded.Extra(), TBrokenBytes::Keep) ==
                        UnicodeFromText(expected.Lines().Text(), extra, TBrokenBytes::Keep));
        }
    }
}
