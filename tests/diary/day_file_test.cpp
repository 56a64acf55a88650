// Day file names, and saving, replacing and deleting day files without ever losing what
// another day, another program or another running copy wrote.
#include "diary/day_file.h"
#include "diary/day_file_name.h"
#include "diary/diary_session.h"
#include "calendar/julius.h"
#include "platform/exceptions.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_set>

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct Answers {
    std::vector<std::string> asked;
    bool answer = true;
    TDiarySession::TConfirm Confirm() {
        return [this](const std::string& q) {
            asked.push_back(q);
            return answer;
        };
    }
};

class DayFiles : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    std::string dir = tmp.path().toStdString();
    std::string Path(const char* name) const { return dir + "/" + name; }
};

}  // namespace

TEST(DayFileName, PlainRuleWithoutLeadingZeros) {
    EXPECT_EQ(DayFileName(2026, 12, 6), "2026126.dat");
    EXPECT_EQ(DayFileName(1999, 2, 3), "199923.dat");
    EXPECT_EQ(DayFileName(2027, 11, 30), "20271130.dat");
    EXPECT_EQ(DayFileName(2027, 3, 5), "202735.dat");
    EXPECT_EQ(DayFileName(2027, 1, 1), "202711.dat");
}

TEST(DayFileName, EveryClashingPairOfAYearGetsTwoFilesAndNovemberOrDecemberKeepsTheOldName) {
    for (std::int32_t year : {2026, 2027, 2028}) {
        for (unsigned d = 1; d <= 9; ++d) {
            for (unsigned tens : {1u, 2u}) {
                const unsigned month = 10 + tens;  // January 1x pairs with November, 2x with December
                const unsigned janDay = tens * 10 + d;
                SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(d));
                ASSERT_EQ(PlainDayFileName(year, 1, janDay), PlainDayFileName(year, month, d));
                EXPECT_EQ(DayFileName(year, month, d), PlainDayFileName(year, month, d));
                char expected[32];
                std::snprintf(expected, sizeof expected, "%d-01-%02u.dat", year, janDay);
                EXPECT_EQ(DayFileName(year, 1, janDay), expected);
            }
        }
    }
    // Every other day of a year keeps the name it always had, so old files are found.
    for (TJuliusDay j = YMDToJulius(2027, 1, 1); j <= YMDToJulius(2027, 12, 31); ++j) {
        TYMD day = JuliusToYMD(j);
        if (day.Month == 1 && day.Day > 10 && day.Day % 10 != 0) continue;
        EXPECT_EQ(DayFileName(day.Year, day.Month, day.Day), PlainDayFileName(day.Year, day.Month, day.Day));
    }
}

TEST(DayFileName, NoTwoDaysShareAFile) {
    std::unordered_set<std::string> names;
    const TJuliusDay first = YMDToJulius(-50, 1, 1), last = YMDToJulius(3100, 12, 31);
    for (TJuliusDay j = first; j <= last; ++j) {
        TYMD day = JuliusToYMD(j);
        ASSERT_TRUE(names.insert(DayFileName(day.Year, day.Month, day.Day)).second)
            << day.Year << "-" << int(day.Month) << "-" << int(day.Day);
    }
    // Across years the plain rule clashes too; the four-digit year keeps the plain name.
    EXPECT_EQ(DayFileName(2021, 1, 1), "202111.dat");
    EXPECT_EQ(DayFileName(202, 11, 1), "202-11-01.dat");
    EXPECT_EQ(DayFileName(20271, 1, 1), "20271-01-01.dat");
    EXPECT_EQ(DayFileName(-5, 11, 1), "-5111.dat");
    EXPECT_EQ(DayFileName(-5, 1, 11), "-5-01-11.dat");
}

TEST_F(DayFiles, SaveWritesTheBytesAndLeavesTheOtherDayOfAPairAlone) {
    TDiarySession session(dir);
    Answers answers;
    const std::string january = "\x88\xea\x8c\x8e\r\nday 11";  // CP932 "一月", no BOM added
    session.Show({2027, 1, 11});
    ASSERT_TRUE(session.Save(january, answers.Confirm()));
    session.Show({2027, 11, 1});
    ASSERT_TRUE(session.Save("", answers.Confirm()));
    EXPECT_EQ(Read(Path("2027-01-11.dat")), january);
    EXPECT_EQ(Read(Path("2027111.dat")), "");
    EXPECT_EQ(session.Show({2027, 11, 1}), Path("2027111.dat"));
    EXPECT_EQ(session.Show({2027, 1, 11}), Path("2027-01-11.dat"));
    EXPECT_FALSE(session.Show({2027, 1, 12}).has_value());
    EXPECT_TRUE(answers.asked.empty());  // nothing else touched the files: no question
}

TEST_F(DayFiles, FileChangedByAnotherProgramIsReplacedOnlyWhenTheUserAgrees) {
    TDiarySession session(dir);
    Answers answers;
    Write(Path("202735.dat"), "old");
    session.Show({2027, 3, 5});
    Write(Path("202735.dat"), "written by a sync tool");
    answers.answer = false;
    EXPECT_FALSE(session.Save("mine", answers.Confirm()));
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0], "ファイル 202735.dat は、読み込んだ後にほかのプログラムで変更されました。上書きしますか？");
    EXPECT_EQ(Read(Path("202735.dat")), "written by a sync tool");
    answers.answer = true;
    EXPECT_TRUE(session.Save("mine", answers.Confirm()));
    EXPECT_EQ(Read(Path("202735.dat")), "mine");
    // Our own save is the new reference: the next one is quiet.
    EXPECT_TRUE(session.Save("mine again", answers.Confirm()));
    EXPECT_EQ(answers.asked.size(), 2u);

    // A file that appeared after the day was shown without one counts as a change too.
    session.Show({2027, 3, 6});
    Write(Path("202736.dat"), "theirs");
    answers.answer = false;
    EXPECT_FALSE(session.Save("mine", answers.Confirm()));
    EXPECT_EQ(Read(Path("202736.dat")), "theirs");
    EXPECT_EQ(answers.asked.size(), 3u);
}

// 追記 over a file the editor never showed: the file's text, a line break where it lacks
// one, the typed text, then what followed a ^Z; a save after it asks again, since the
// editor holds only part of the file.
TEST_F(DayFiles, AppendingKeepsTheFileAndAddsTheTextOnANewLine) {
    struct Case {
        std::string file, expected;
    } cases[] = {
        {"written earlier", "written earlier\r\ntyped"},
        {"line\r\n", "line\r\ntyped"},
        {"line\n", "line\ntyped"},
        {"", "typed"},
        {"text\x1a kept", "text\r\ntyped\x1a kept"},
        {"text\r\n\x1a", "text\r\ntyped"},
    };
    for (const Case& c : cases) {
        Write(Path("202735.dat"), c.file);
        TDiarySession session(dir);
        session.Forget({2027, 3, 5});
        std::vector<std::string> asked;
        const auto append = [&](const std::string& q) {
            asked.push_back(q);
            return TDiarySession::TUnshown::Append;
        };
        ASSERT_TRUE(session.Save("typed", [](const std::string&) { return false; }, false, append));
        EXPECT_EQ(Read(Path("202735.dat")), c.expected);
        EXPECT_FALSE(session.Loaded());
        EXPECT_FALSE(session.Edited());
        ASSERT_TRUE(session.Save("typed", [](const std::string&) { return false; }, false, append));
        EXPECT_EQ(asked.size(), 2u);
    }
    // A folder in the day's name takes nothing after it: it is named at once, nothing asked.
    ::unlink(Path("202735.dat").c_str());
    ::mkdir(Path("202735.dat").c_str(), 0755);
    TDiarySession session(dir);
    session.Forget({2027, 3, 5});
    Answers answers;
    bool offered = false;
    EXPECT_THROW(session.Save("typed", answers.Confirm(), false,
                              [&](const std::string&) {
                                  offered = true;
                                  return TDiarySession::TUnshown::Append;
                              }),
                 EFileError);
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_FALSE(offered);
}

TEST_F(DayFiles, TextNotTakenFromTheFileAsksBeforeReplacingIt) {
    Write(Path("202735.dat"), "written earlier");
    TDiarySession session(dir);
    Answers answers;
    answers.answer = false;
    session.Forget({2027, 3, 5});
    EXPECT_FALSE(session.Save("typed after start-up", answers.Confirm()));
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0], "ファイル 202735.dat には、エディタに表示されていない内容があります。上書きしますか？");
    EXPECT_EQ(Read(Path("202735.dat")), "written earlier");
    session.Forget({2027, 3, 6});  // no file there: nothing to ask
    EXPECT_TRUE(session.Save("x", answers.Confirm()));
    EXPECT_EQ(answers.asked.size(), 1u);
}

TEST_F(DayFiles, SecondCopyInTheSameFolderAsksBeforeEverySave) {
    TDiarySession first(dir), second(dir);
    Answers answers;
    first.Show({2027, 3, 5});
    ASSERT_TRUE(first.Save("first", answers.Confirm()));  // takes the folder's lock
    second.Show({2027, 3, 6});
    answers.answer = false;
    EXPECT_FALSE(second.Save("second", answers.Confirm()));
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0], "別の Mekuri が同じフォルダーの日記を開いています。ファイル 202736.dat を上書きしますか？");
    EXPECT_FALSE(StampOf(Path("202736.dat")).exists);
    answers.answer = true;
    EXPECT_TRUE(second.Save("second", answers.Confirm()));
    EXPECT_EQ(Read(Path("202736.dat")), "second");
    EXPECT_TRUE(first.Save("first again", answers.Confirm()));  // the holder stays quiet
    EXPECT_EQ(answers.asked.size(), 2u);
}

TEST_F(DayFiles, DeleteAsksWithTheFileNameAndReportsAFailure) {
    TDiarySession session(dir);
    Answers answers;
    EXPECT_FALSE(session.Delete({2027, 3, 5}, answers.Confirm()));
    EXPECT_TRUE(answers.asked.empty());  // no file: no question
    Write(Path("202735.dat"), "x");
    answers.answer = false;
    EXPECT_FALSE(session.Delete({2027, 3, 5}, answers.Confirm()));
    EXPECT_EQ(answers.asked.back(), "202735.datを削除します");
    EXPECT_TRUE(StampOf(Path("202735.dat")).exists);
    answers.answer = true;
    EXPECT_TRUE(session.Delete({2027, 3, 5}, answers.Confirm()));
    EXPECT_FALSE(StampOf(Path("202735.dat")).exists);
    // A day file that cannot be removed (here a folder in its place) is an error.
    ASSERT_EQ(::mkdir(Path("2027-01-11.dat").c_str(), 0755), 0);
    Write(Path("2027-01-11.dat") + "/keep", "k");
    try {
        session.Delete({2027, 1, 11}, answers.Confirm());
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ファイル 2027-01-11.dat を削除できません。", 0), 0u) << e.what();
    }
    EXPECT_EQ(answers.asked.back(), "2027-01-11.datを削除します");
}

namespace {

// Runs a save of day 2027-03-05 in a child process prepared by `setUp`, so that limits
// and identities stay there. Returns the error message, or "saved".
std::string SaveInChild(const std::string& dir, const std::function<void()>& setUp) {
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        setUp();
        std::string result = "saved";
        try {
            TDiarySession session(dir);
            session.Show({2027, 3, 5});
            session.Save(std::string(100000, 'n'), [](const std::string&) { return true; });
        } catch (const std::exception& e) {
            result = e.what();
        }
        (void)!::write(fds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

}  // namespace

TEST_F(DayFiles, FolderWithoutWritePermissionKeepsTheOldFile) {
    const std::string old = "old text\r\n";
    Write(Path("202735.dat"), old);
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    // Permission bits do not stop root: the child then works as an ordinary user.
    std::string message = SaveInChild(dir, [] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
    });
    ::chmod(dir.c_str(), 0755);
    EXPECT_EQ(message, "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(Read(Path("202735.dat")), old);
}

TEST_F(DayFiles, FullDiskKeepsTheOldFile) {
    const std::string old = "old text\r\n";
    Write(Path("202735.dat"), old);
    // A file-size limit stands in for the full disk: writes past it fail with EFBIG, which
    // the message names as the limit it is.
    std::string message = SaveInChild(dir, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(message, "ファイルの大きさの上限を超えました");
    EXPECT_EQ(Read(Path("202735.dat")), old);
    // No half-written temporary file is left behind either.
    EXPECT_EQ(QDir(tmp.path()).entryList({"*202735*"}, QDir::Files | QDir::Hidden), QStringList{"202735.dat"});
}

TEST_F(DayFiles, PathThroughARegularFileFailsForEveryone) {
    Write(Path("plain"), "");
    TDiarySession session(Path("plain"));
    session.Show({2027, 3, 5});
    try {
        session.Save("x", [](const std::string&) { return true; });
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "I/O エラー (20)");
    }
    try {
        session.Save("x", [](const std::string&) { return true; }, true);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル 202735.dat を作成できません");
    }
}

// A program that rewrites the file in place with the same length and puts the time back
// leaves size and modification time as they were; the status-change time still moves.
TEST_F(DayFiles, InPlaceRewriteWithTheTimePutBackIsStillAChange) {
    TDiarySession session(dir);
    Answers answers;
    answers.answer = false;
    Write(Path("202735.dat"), "version A\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(Path("202735.dat").c_str(), &before), 0);
    session.Show({2027, 3, 5});
    // The status-change time counts in the file system's ticks: rewrite until it moves.
    struct stat after {};
    for (int i = 0; i < 1000; ++i) {
        Write(Path("202735.dat"), "version B\r\n");
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, Path("202735.dat").c_str(), times, 0), 0);
        ASSERT_EQ(::stat(Path("202735.dat").c_str(), &after), 0);
        if (after.st_ctim.tv_sec != before.st_ctim.tv_sec || after.st_ctim.tv_nsec != before.st_ctim.tv_nsec) break;
        ::usleep(2000);
    }
    ASSERT_EQ(after.st_ino, before.st_ino);
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    ASSERT_TRUE(after.st_ctim.tv_sec != before.st_ctim.tv_sec || after.st_ctim.tv_nsec != before.st_ctim.tv_nsec);
    EXPECT_FALSE(session.Save("mine\r\n", answers.Confirm()));
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(Read(Path("202735.dat")), "version B\r\n");
}

// Loading stops at the first ^Z; the rest of the file is no one's to drop. The text
// written is the editor's (here what it would show), the rest follows it unchanged.
TEST_F(DayFiles, BytesAfterTheFirstCtrlZSurviveEverySave) {
    const std::string big(1 << 20, 'x');
    struct Case {
        const char* name;
        std::string file;
        std::string shown;  // what the editor reads: up to the first ^Z
        std::string kept;   // what every save writes after the text
    };
    const Case cases[] = {
        {"at the start", "\x1A" "hidden\r\nlines\r\n" + big, "", "\x1A" "hidden\r\nlines\r\n" + big},
        {"in the middle", "seen\r\n\x1A" "unseen\x1A" "more", "seen\r\n", "\x1A" "unseen\x1A" "more"},
        {"as the last byte", "seen\r\n\x1A", "seen\r\n", ""},
        {"none", "seen\r\n", "seen\r\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDiarySession session(dir);
        Write(Path("202735.dat"), c.file);
        ASSERT_TRUE(session.Show({2027, 3, 5}));
        ASSERT_TRUE(session.Save(c.shown, [](const std::string&) { return true; }));
        EXPECT_EQ(Read(Path("202735.dat")), c.shown + c.kept);
        ASSERT_TRUE(session.Save(c.shown + "added\r\n", [](const std::string&) { return true; }));
        EXPECT_EQ(Read(Path("202735.dat")), c.shown + "added\r\n" + c.kept);
        // Another day's file has a rest of its own, or none.
        session.Show({2027, 3, 6});
        ASSERT_TRUE(session.Save("other\r\n", [](const std::string&) { return true; }));
        EXPECT_EQ(Read(Path("202736.dat")), "other\r\n");
        ::unlink(Path("202736.dat").c_str());
    }
}

// Said at once, whether the editor showed the day or could not read it: a question whether
// to overwrite would offer what cannot be done.
TEST_F(DayFiles, SomethingElseThanAFileInTheDaysPlaceIsNamedAsLoadingNamesIt) {
    ASSERT_EQ(::mkfifo(Path("202735.dat").c_str(), 0644), 0);
    ASSERT_EQ(::mkdir(Path("202736.dat").c_str(), 0755), 0);
    struct Case {
        TYMD day;
        bool atClose;
        bool shown;
        const char* message;
    };
    const Case cases[] = {
        {{2027, 3, 5}, false, true, "通常のファイルではありません"},
        {{2027, 3, 5}, true, true, "ファイル 202735.dat を作成できません。通常のファイルではありません"},
        {{2027, 3, 5}, false, false, "通常のファイルではありません"},
        {{2027, 3, 6}, false, true, "フォルダーです"},
        {{2027, 3, 6}, true, true, "ファイル 202736.dat を作成できません。フォルダーです"},
        {{2027, 3, 6}, true, false, "ファイル 202736.dat を作成できません。フォルダーです"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TDiarySession session(dir);
        if (c.shown)
            session.Show(c.day);
        else
            session.Forget(c.day);
        Answers answers;
        try {
            session.Save("text", answers.Confirm(), c.atClose);
            ADD_FAILURE() << "no error";
        } catch (const EFileError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_TRUE(answers.asked.empty());
    }
    struct stat st {};
    ASSERT_EQ(::stat(Path("202735.dat").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(DayFiles, WholeFilesAreReadFromTheFolderGivenAndNothingElseIsWaitedOn) {
    const std::string sizes[] = {"", "x", std::string(8191, 'a') + "\x1A", std::string(1 << 20, '\x82')};
    const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    for (const std::string& bytes : sizes) {
        Write(Path("2027101.dat"), bytes);
        std::string got = "left over";
        EXPECT_EQ(ReadDayFileBytes("2027101.dat", got, folder), 0);
        EXPECT_EQ(got, bytes) << bytes.size();
        EXPECT_EQ(ReadDayFileBytes(Path("2027101.dat"), got), 0);
        EXPECT_EQ(got, bytes) << bytes.size();
    }
    ASSERT_EQ(::mkfifo(Path("2027102.dat").c_str(), 0644), 0);
    ASSERT_EQ(::mkdir(Path("2027103.dat").c_str(), 0755), 0);
    std::string got;
    EXPECT_EQ(ReadDayFileBytes("2027102.dat", got, folder), EISDIR);
    EXPECT_EQ(ReadDayFileBytes("2027103.dat", got, folder), EISDIR);
    EXPECT_EQ(ReadDayFileBytes("2027104.dat", got, folder), ENOENT);
    EXPECT_TRUE(got.empty());
    ::close(folder);
}
