// The forms of a day file: the guess, and saves that keep each form byte for byte.
#include "diary/day_file_form.h"
#include "diary/diary_session.h"
#include "platform/exceptions.h"
#include "platform/grapheme.h"
#include "platform/unicode_text.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <random>

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const auto kCp932 = TDayFileForm::Cp932;
const auto kMarked = TDayFileForm::Utf8WithMark;
const auto kUtf8 = TDayFileForm::Utf8;

TEST(DayFileForm, GuessesWhereTheyCouldGoWrong) {
    struct Case {
        const char* name;
        std::string bytes;
        TDayFileForm form;
    };
    const Case cases[] = {
        {"empty", "", kCp932},
        {"ASCII only", "memo\r\n", kCp932},
        {"CP932 Japanese", "\x93\xFA\x8B\x4C\r\n", kCp932},
        {"CP932 user-defined character", "\xF0\x40", kCp932},
        // ﾃｽ is C3 BD, also UTF-8 for ý: a short text of half-width kana stays CP932.
        {"CP932 half-width kana that reads as UTF-8", "\xC3\xBD", kCp932},
        {"CP932 half-width kana", "\xB1\xB2\xB3 \xC3\xBD\xC4", kCp932},
        {"UTF-8 Latin letters alone read as that kana too", "caf\xC3\xA9", kCp932},
        {"UTF-8 Japanese", "日記 café", kUtf8},
        {"UTF-8 cut in its last character", "日記\xE8\xA8", kUtf8},
        {"UTF-8 cut before its end", "日\xE8\xA8記", kCp932},
        {"UTF-8 with a ^Z tail", "日記\x1A\xFF", kCp932},
        {"UTF-8 emoji", "\xF0\x9F\x98\x8A", kUtf8},
        {"mark alone", "\xEF\xBB\xBF", kMarked},
        {"mark followed by invalid bytes", "\xEF\xBB\xBF\xFF\x82\xA0", kMarked},
        {"mark on CP932 text", "\xEF\xBB\xBF\x93\xFA", kMarked},
    };
    for (const Case& c : cases) EXPECT_EQ(GuessDayFileForm(c.bytes), c.form) << c.name;
}

// The guess fed in pieces, as a file is read in blocks, is the guess of the whole.
TEST(DayFileForm, SeededRandomPiecesGuessAsTheWhole) {
    const std::vector<std::string> pieces = {"a", "\r\n", "日記", "😊", "é", "\xC3\xBD", "\xB1", "\x93\xFA",
                                             "\xE8\xA8", "\xF0\x9F", "\xFF", "\xEF\xBB\xBF", "\xED\xA0\x80"};
    std::mt19937 random(7);
    int utf8 = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int count = static_cast<int>(random() % 6);
        for (int k = 0; k < count; ++k) bytes += pieces[random() % pieces.size()];
        TDayFileFormGuess guess;
        for (size_t i = 0; i < bytes.size();) {
            const size_t size = std::min<size_t>(random() % 5, bytes.size() - i);
            guess.Feed(std::string_view(bytes).substr(i, size));
            i += size;
        }
        ASSERT_EQ(guess.Form(), GuessDayFileForm(bytes)) << bytes;
        utf8 += guess.Form() == kUtf8;
    }
    EXPECT_GT(utf8, 100);  // the pieces make every form often enough to matter
}

class DayFileForms : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    std::string dir = tmp.path().toStdString();
    std::string file = dir + "/202735.dat";
    TDiarySession session{dir};
    int moves = 0;
    std::vector<std::string> asked;

    void SetUp() override {
        session.OnMovedToUtf8 = [this](const TYMD&) { ++moves; };
    }
    // Shows the day as the window does: the file's text and table, read in its form.
    TDayText Show() {
        EXPECT_TRUE(session.Show({2027, 3, 5}));
        std::string bytes = Read(file);
        TDayText day = DayTextFromBytes(bytes);
        EXPECT_EQ(day.form, session.Form());
        return day;
    }
    bool Save(const std::string& text, const TExtraChars& extra) {
        return session.Save(text, extra, [this](const std::string& q) {
            asked.push_back(q);
            return true;
        });
    }
};

// An unedited save writes the bytes it read, in every form; an edit keeps the form.
TEST_F(DayFileForms, EachFormIsWrittenBackAsItWasRead) {
    struct Case {
        const char* name;
        std::string bytes;
        TDayFileForm form;
        std::string added;  // typed at the end, and how the file then ends
        std::string written;
    };
    const Case cases[] = {
        {"CP932 with broken bytes, a lone CR and a ^Z tail", "\x93\xFA\x82\r\xF0\x40\x85\x40x\x1A\x82\xA0\xFF", kCp932,
         "あ", "\x93\xFA\x82\r\xF0\x40\x85\x40x\x82\xA0\x1A\x82\xA0\xFF"},
        {"UTF-8 without the mark", "日記 😊\r\n", kUtf8, "é", "日記 😊\r\né"},
        {"UTF-8 with the mark and invalid bytes", "\xEF\xBB\xBF\xFF日\xE8\xA8", kMarked, "👍🏽",
         "\xEF\xBB\xBF\xFF日\xE8\xA8👍🏽"},
        {"UTF-8 with a ^Z tail", "\xEF\xBB\xBF" "a\x1A\xFF", kMarked, "〜", "\xEF\xBB\xBF" "a〜\x1A\xFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(file, c.bytes);
        TDayText day = Show();
        EXPECT_EQ(day.form, c.form);
        ASSERT_TRUE(Save(day.text, day.extra));
        EXPECT_EQ(Read(file), c.bytes);
        ASSERT_TRUE(Save(day.text + TextFromUnicode(c.added, day.extra), day.extra));
        EXPECT_EQ(Read(file), c.written);
        EXPECT_EQ(session.Form(), c.form);
    }
    EXPECT_EQ(moves, 0);
    EXPECT_TRUE(asked.empty());
}

// A CP932 file that no longer fits moves to UTF-8 with the mark, once, and nothing of it
// is lost: its own user-defined characters read as they did, broken bytes stay as they
// were, the ^Z tail follows unchanged.
TEST_F(DayFileForms, Cp932TextThatNoLongerFitsMovesToUtf8Once) {
    Write(file, "\x93\xFA\x8B\x4C\r\n\xF0\x40\x85\x40\x82\r\n\x1A\x82\xA0\xFF");
    TDayText day = Show();
    const std::string text = day.text + TextFromUnicode("😊", day.extra);
    EXPECT_EQ(session.FormToWrite(text, day.extra), kMarked);
    ASSERT_TRUE(Save(text, day.extra));
    const std::string utf8 = "\xEF\xBB\xBF日記\r\n\uE000\x85\x40\x82\r\n😊\x1A\x82\xA0\xFF";
    EXPECT_EQ(Read(file), utf8);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(session.Form(), kMarked);
    ASSERT_TRUE(Save(text, day.extra));
    EXPECT_EQ(moves, 1);
    // Read again, it shows the same characters and writes the same bytes.
    TDayText again = Show();
    EXPECT_EQ(UnicodeFromText(again.text, again.extra), UnicodeFromText(text, day.extra));
    ASSERT_TRUE(Save(again.text, again.extra));
    EXPECT_EQ(Read(file), utf8);
    // Text that only had a code and lost it again fits, and a CP932 file stays CP932.
    Write(file, "\x93\xFA");
    TDayText plain = Show();
    TextFromUnicode("😊", plain.extra);
    ASSERT_TRUE(Save(plain.text, plain.extra));
    EXPECT_EQ(Read(file), "\x93\xFA");
    EXPECT_EQ(moves, 1);
}

// A caller that reads day files as bytes, without their form, saves what it read: a UTF-8
// file's bytes are written back as they are, never converted a second time.
TEST_F(DayFileForms, TextSavedWithoutItsTableIsTheFilesOwnBytes) {
    const std::string file8 = "\xEF\xBB\xBF日記😊\r\n\x1A\xFF";
    Write(file, file8);
    ASSERT_TRUE(session.Show({2027, 3, 5}));
    const std::string read = file8.substr(0, file8.find('\x1A'));
    ASSERT_TRUE(session.Save(read, [](const std::string&) { return true; }));
    EXPECT_EQ(Read(file), file8);
    ASSERT_TRUE(session.Save(read + "x", [](const std::string&) { return true; }));
    EXPECT_EQ(Read(file), read + "x\x1A\xFF");
    EXPECT_EQ(session.Form(), kMarked);
}

TEST_F(DayFileForms, NewFilesFollowTheSetting) {
    struct Case {
        bool utf8Setting;
        const char* typed;
        std::string written;
    };
    const Case cases[] = {
        {false, "日記", "\x93\xFA\x8B\x4C"},
        {false, "日記😊", "\xEF\xBB\xBF日記😊"},
        {true, "日記", "\xEF\xBB\xBF日記"},
        {true, "", "\xEF\xBB\xBF"},
    };
    for (const Case& c : cases) {
        ::unlink(file.c_str());
        session.SetNewFilesUtf8(c.utf8Setting);
        EXPECT_FALSE(session.Show({2027, 3, 5}));
        TExtraChars extra;
        ASSERT_TRUE(Save(TextFromUnicode(c.typed, extra, TCp932Fit::LookAlike), extra));
        EXPECT_EQ(Read(file), c.written) << c.typed;
    }
    EXPECT_EQ(moves, 0);
}

TEST(DayFileForm, AFileWithMoreExtraCharactersThanCodesIsRefused) {
    std::string bytes = "\xEF\xBB\xBF";
    for (char32_t c = 0x4E00; c < 0x4E00 + 8000; ++c) {
        AppendUtf8(0x20000 + c, bytes);  // CJK extension B: none of it is CP932's
    }
    EXPECT_THROW(DayTextFromBytes(bytes), EFileError);
}

}  // namespace
