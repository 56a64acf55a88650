// Recovery copies: what a copy holds comes back exactly, a copy that is not whole is
// never taken for one, and the files are found, passed over or set aside as they should.
#include "diary/recovery_files.h"
#include "diary/recovery_keeper.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

TRecoveryCopy Sample(TYMD day, std::string text) {
    TRecoveryCopy c;
    c.day = day;
    c.text = std::move(text);
    c.loaded = true;
    c.base = {true, 2049, 1234567, 812, 1796600000, 999999999, 1796600001, 7};
    c.folder = "/home/user/diary";
    c.writtenSec = 1796601234;
    c.writtenNsec = 5;
    return c;
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

class Folders : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "mekuri-recovery-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        diary = root / "diary";
        state = root / "state" / "Mekuri";
        fs::create_directories(diary);
    }
    void TearDown() override { fs::remove_all(root); }
    std::vector<std::string> Names(const fs::path& dir) const {
        std::vector<std::string> names;
        if (fs::exists(dir))
            for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path root, diary, state;
};

}  // namespace

TEST(RecoveryCopy, WhatIsWrittenIsReadBackExactly) {
    TRecoveryCopy other = Sample({-4712, 1, 1}, std::string("\0\r\n\x1a\x81", 5));
    other.loaded = false;
    other.base = {};
    other.folder = "/tmp/50%\nodd\rname";
    other.host = "laptop\nof Taro";  // written on another machine
    TRecoveryCopy big = Sample({2026, 12, 7}, "");
    big.base = {true, ~0ull, ~0ull, INT64_MAX, -1, 0, INT64_MIN, 1};
    TRecoveryCopy extra = Sample({2026, 12, 8}, "\xF0\x40\xF0\x41\r\n\x85\x40");
    extra.codes = {{{'\xF0', '\x41'}, "👨\u200D👩\u200D👧"}, {{'\x85', '\x40'}, "\xFF"}, {{'\xEF', '\xFC'}, "\n"}};
    const TRecoveryCopy cases[] = {
        extra,
        Sample({2026, 12, 7}, "\x93\xfa\x8b\x4c\r\nline two\r\n"),  // 日記
        Sample({2027, 1, 11}, ""),
        other,
        big,
        Sample({1582, 10, 15}, std::string(100000, 'x')),
    };
    for (const TRecoveryCopy& c : cases) {
        std::string why;
        auto back = DecodeRecoveryCopy(EncodeRecoveryCopy(c), why);
        ASSERT_TRUE(back) << why;
        EXPECT_EQ(*back, c);
    }
    // A copy written before copies named their machine reads as this machine's.
    std::string why;
    TRecoveryCopy hostless = Sample({2026, 12, 7}, "x");
    auto back = DecodeRecoveryCopy(EncodeRecoveryCopy(hostless), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->host, "");
    ::setenv("MEKURI_HOST", "desk", 1);
    EXPECT_EQ(ThisHostName(), "desk");
    ::unsetenv("MEKURI_HOST");
    EXPECT_FALSE(ThisHostName().empty());
}

// Every prefix of a copy (a write cut short) and every single damaged byte is refused,
// never read as a shorter or different text.
TEST(RecoveryCopy, NoTruncationOrDamagedByteIsAccepted) {
    TRecoveryCopy copy = Sample({2026, 12, 7}, "\x93\xfa\x8b\x4c\r\nabc\xF0\x40\r\n");
    copy.codes = {{{'\xF0', '\x40'}, "😊"}};
    const std::string bytes = EncodeRecoveryCopy(copy);
    std::string why;
    for (size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_FALSE(DecodeRecoveryCopy(std::string_view(bytes).substr(0, n), why)) << "prefix " << n;
        EXPECT_FALSE(why.empty());
    }
    EXPECT_EQ(why, "途中で切れています");
    std::mt19937 rng(7);
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string bad = bytes;
        bad[i] = static_cast<char>(bad[i] ^ (1 + rng() % 255));
        auto back = DecodeRecoveryCopy(bad, why);
        // A change the format cannot see would have to leave the copy as it was.
        EXPECT_FALSE(back) << "byte " << i << " changed, read as day " << (back ? back->day.Day : 0);
    }
    EXPECT_FALSE(DecodeRecoveryCopy(bytes + "x", why));
}

TEST(RecoveryCopy, OtherFilesAndVersionsAreRefusedWithTheirReason) {
    std::string bytes = EncodeRecoveryCopy(Sample({2026, 12, 7}, "abc"));
    std::string why;
    const std::string unknown = "Mekuri recovery 3" + bytes.substr(bytes.find('\n'));
    EXPECT_FALSE(DecodeRecoveryCopy(unknown, why));
    EXPECT_NE(why.find("版 3"), std::string::npos) << why;
    for (const std::string& garbage : {std::string("\x89PNG\r\n\x1a\n"), std::string(5000, '\0'),
                                      std::string("Mekuri recovery 1\nday 2026-02-30\n")}) {
        EXPECT_FALSE(DecodeRecoveryCopy(garbage, why));
        EXPECT_EQ(why, "復元用のコピーの形式ではありません");
    }
}

// A copy from before the extra characters (version 1: no table) still reads; a table that
// gives one code twice is no copy; a copy's table comes back with the text's own codes
// reserved.
TEST(RecoveryCopy, OlderCopiesReadAndTheTableComesBack) {
    const std::string head = "Mekuri recovery 1\nday 2026-12-07\nwritten 5 6\nfolder /d\nloaded 0\n"
                             "stamp 0 0 0 0 0 0 0 0\nlength 4\n";
    char crc[32];
    std::snprintf(crc, sizeof crc, "crc32 %08x\n\n", Crc32("\x93\xfa\xF0\x40", Crc32(head)));
    std::string why;
    auto old = DecodeRecoveryCopy(head + crc + "\x93\xfa\xF0\x40", why);
    ASSERT_TRUE(old) << why;
    EXPECT_EQ(old->text, "\x93\xfa\xF0\x40");
    EXPECT_TRUE(old->codes.empty());
    EXPECT_EQ(old->day.Day, 7);

    TRecoveryCopy twice = Sample({2026, 12, 7}, "\xF0\x41");
    twice.codes = {{{'\xF0', '\x41'}, "😊"}, {{'\xF0', '\x41'}, "é"}};
    EXPECT_FALSE(DecodeRecoveryCopy(EncodeRecoveryCopy(twice), why));
    EXPECT_EQ(why, "復元用のコピーの形式ではありません");

    TRecoveryCopy copy = Sample({2026, 12, 7}, "\xF0\x40\xF0\x41\xF0\x42");  // F040 and F042 the file's own
    copy.codes = {{{'\xF0', '\x41'}, "😊"}};
    TExtraChars extra = ExtraCharsOf(*DecodeRecoveryCopy(EncodeRecoveryCopy(copy), why));
    EXPECT_EQ(extra.Codes(), copy.codes);
    EXPECT_EQ(std::string(extra.CodeFor("é")->data(), 2), "\xF0\x43");
}

TEST_F(Folders, AHeldCopyIsPassedOverAndFoundOnceItsWriterIsGone) {
    auto writer = std::make_unique<TRecoveryWriter>(diary.string(), state.string());
    TRecoveryCopy first = Sample({2026, 12, 7}, "first");
    first.folder = diary.string();
    ASSERT_EQ(writer->Write(first), 0);
    TRecoveryCopy second = Sample({2026, 12, 8}, "second");
    second.folder = diary.string();
    ASSERT_EQ(writer->Write(second), 0);
    // One copy per running program: the day's new copy replaced the other day's.
    ASSERT_EQ(Names(diary).size(), 1u);
    EXPECT_TRUE(IsRecoveryCopyName(Names(diary)[0]));
    EXPECT_EQ(Names(diary)[0].substr(0, 16), ".Mekuri-2026128-");
    EXPECT_TRUE(FindRecoveryCopies(diary.string(), state.string()).copies.empty());

    writer.reset();  // as when the program is killed
    TRecoveryScan scan = FindRecoveryCopies(diary.string(), state.string());
    ASSERT_EQ(scan.copies.size(), 1u);
    EXPECT_EQ(scan.copies[0].copy, second);
    // While offered, it is held: a second Mekuri starting now does not offer it too.
    EXPECT_TRUE(FindRecoveryCopies(diary.string(), state.string()).copies.empty());
    EXPECT_TRUE(scan.copies[0].Remove());
    EXPECT_TRUE(Names(diary).empty());
}

TEST_F(Folders, TheKeeperWritesTheNewestTextAndRemovesOnlyItsOwnCopy) {
    // Another program's copy, as a crashed session leaves it.
    TRecoveryCopy theirs = Sample({2026, 12, 6}, "theirs");
    theirs.folder = diary.string();
    {
        TRecoveryWriter crashed(diary.string(), state.string());
        ASSERT_EQ(crashed.Write(theirs), 0);
    }
    const std::vector<std::string> before = Names(diary);
    ASSERT_EQ(before.size(), 1u);
    {
        TRecoveryKeeper keeper(diary.string(), state.string());
        keeper.Discard();  // nothing of ours yet: the other copy stays
        keeper.Flush();
        EXPECT_EQ(Names(diary), before);
        for (const char* text : {"one", "two", "three"}) keeper.Keep(Sample({2026, 12, 7}, text));
        keeper.Flush();
        EXPECT_EQ(keeper.LastError(), 0);
        ASSERT_EQ(Names(diary).size(), 2u);
        keeper.Discard();
        keeper.Flush();
        EXPECT_EQ(Names(diary), before);
        keeper.Keep(Sample({2026, 12, 7}, "kept at the end"));
    }
    // The keeper's end leaves its last copy for the next start to offer.
    TRecoveryScan scan = FindRecoveryCopies(diary.string(), state.string());
    ASSERT_EQ(scan.copies.size(), 2u);
    std::vector<std::string> texts{scan.copies[0].copy.text, scan.copies[1].copy.text};
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"kept at the end", "theirs"}));
}

TEST_F(Folders, AFolderThatCannotBeWrittenSendsTheCopyToTheStateFolderAndBack) {
    const fs::path gone = root / "not-there";
    TRecoveryWriter writer(gone.string(), state.string());
    TRecoveryCopy c = Sample({2026, 12, 7}, "text");
    c.folder = gone.string();
    ASSERT_EQ(writer.Write(c), 0);
    ASSERT_EQ(Names(state).size(), 1u);
    EXPECT_EQ(fs::status(state).permissions() & fs::perms::all, fs::perms::owner_all);
    fs::create_directories(gone);
    ASSERT_EQ(writer.Write(c), 0);
    EXPECT_TRUE(Names(state).empty());
    EXPECT_EQ(Names(gone).size(), 1u);
    EXPECT_EQ(TRecoveryWriter(gone.string(), "").Write(Sample({2026, 12, 7}, "")), 0);
    EXPECT_NE(TRecoveryWriter((root / "x").string(), "").Write(c), 0);
}

TEST_F(Folders, TheStateFolderOffersOnlyThisDiarysCopiesNewestFirst) {
    const std::string here = fs::canonical(diary).string();
    auto put = [&](const fs::path& dir, const char* name, std::string folder, std::int64_t sec) {
        TRecoveryCopy c = Sample({2026, 12, 7}, name);
        c.folder = std::move(folder);
        c.writtenSec = sec;
        fs::create_directories(dir);
        Write(dir / (std::string(".Mekuri-2026127-") + name + ".recovery"), EncodeRecoveryCopy(c));
    };
    put(diary, "old", "/elsewhere", 100);  // beside the diary: travelled with it
    put(state, "mine", here, 300);
    put(state, "theirs", "/other/diary", 400);
    put(diary, "new", here, 500);
    TRecoveryScan scan = FindRecoveryCopies(diary.string(), state.string());
    std::vector<std::string> texts;
    for (const TFoundCopy& f : scan.copies) texts.push_back(f.copy.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"new", "mine", "old"}));
    EXPECT_TRUE(scan.damaged.empty());
    EXPECT_EQ(Names(state).size(), 2u);
}

TEST_F(Folders, DamagedCopiesAreSetAsideAndNamedInOneMessage) {
    const std::string whole = EncodeRecoveryCopy(Sample({2026, 12, 7}, "whole text"));
    Write(diary / ".Mekuri-2026127-cut.recovery", whole.substr(0, whole.size() - 3));
    Write(diary / ".Mekuri-2026127-junk.recovery", "not a copy at all");
    Write(diary / ".Mekuri-2026127-junk.damaged", "set aside before");
    Write(diary / "2026127.dat", "the day file");
    // Too large: refused from its size, without reading it.
    {
        std::ofstream big(diary / ".Mekuri-2026127-big.recovery", std::ios::binary);
        big << whole;
    }
    fs::resize_file(diary / ".Mekuri-2026127-big.recovery", kMaxRecoveryCopyBytes + (1 << 20));

    TRecoveryScan scan = FindRecoveryCopies(diary.string(), state.string());
    EXPECT_TRUE(scan.copies.empty());
    ASSERT_EQ(scan.damaged.size(), 3u);
    EXPECT_EQ(Names(diary), (std::vector<std::string>{".Mekuri-2026127-big.damaged", ".Mekuri-2026127-cut.damaged",
                                                     ".Mekuri-2026127-junk-2.damaged", ".Mekuri-2026127-junk.damaged",
                                                     "2026127.dat"}));
    EXPECT_EQ(Read(diary / ".Mekuri-2026127-junk-2.damaged"), "not a copy at all");
    const std::string message = DamagedCopiesMessage(scan.damaged);
    for (const char* part : {"途中で切れています", "大きすぎます", "復元用のコピーの形式ではありません",
                             ".Mekuri-2026127-junk-2.damaged", "消さずに残してあります"})
        EXPECT_NE(message.find(part), std::string::npos) << part;
    // Set aside once: the next start says nothing more.
    EXPECT_TRUE(FindRecoveryCopies(diary.string(), state.string()).damaged.empty());
}

TEST(RecoveryStateFolder, FollowsTheBaseDirectoryRules) {
    EXPECT_EQ(RecoveryStateFolder("/x/state", "/home/u"), "/x/state/Mekuri");
    EXPECT_EQ(RecoveryStateFolder("relative", "/home/u"), "/home/u/.local/state/Mekuri");
    EXPECT_EQ(RecoveryStateFolder(nullptr, "/home/u"), "/home/u/.local/state/Mekuri");
    EXPECT_EQ(RecoveryStateFolder("", nullptr), "");
}
