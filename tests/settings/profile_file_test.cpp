// The sectioned key=value file under the settings component: lookup rules, writes that
// leave every other line alone, and writes that never leave a broken file.
#include "settings_fixture.h"

#include "platform/exceptions.h"
#include "platform/sjis.h"
#include "settings/profile_file.h"
#include "support/child_process.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

using ProfileFile = SettingsFolder;

TEST(ProfileText, NamesMatchWithoutCaseButDoubleByteCharactersStayExact) {
    // ア is 0x83 0x41 and ヂ is 0x83 0x61: folding their second bytes would make them equal.
    std::string a = Sjis("ア"), dji = Sjis("ヂ");
    TProfileText text("[Form]\r\nPosition.X=10\r\n[" + a + "]\r\n" + a + "=1\r\n");
    EXPECT_EQ(text.Read("FORM", "position.x", "-"), "10");
    EXPECT_EQ(text.Read(a, a, "-"), "1");
    EXPECT_EQ(text.Read(dji, a, "-"), "-");
    EXPECT_EQ(text.Read(a, dji, "-"), "-");
    // 望 ends in the byte of "]", which must not close the header.
    std::string nozomu = Sjis("望");
    EXPECT_EQ(TProfileText("[" + nozomu + "]\nk=v\n").Read(nozomu, "k", "-"), "v");
}

TEST(ProfileText, ValueRules) {
    TProfileText text(
        "[S]\r\n"
        "  eq = a=b=c  \r\n"
        "dq=  \"quoted  \"  \r\n"
        "sq='single'\r\n"
        "mixed=\"a'\r\n"
        "twice=\"\"x\"\"\r\n"
        "tab=\tx\t\r\n"
        "empty=\r\n"
        "comment line without equals\r\n"
        "lf=only\n"
        "eq=second one is shadowed\r\n"
        "[S]\r\n"
        "later=in a repeated section\r\n"
        "[T]\r\n"
        "last=no line end");
    EXPECT_EQ(text.Read("S", "eq", "-"), "a=b=c");
    EXPECT_EQ(text.Read("S", "dq", "-"), "quoted  ");
    EXPECT_EQ(text.Read("S", "sq", "-"), "single");
    EXPECT_EQ(text.Read("S", "mixed", "-"), "\"a'");
    EXPECT_EQ(text.Read("S", "twice", "-"), "\"x\"");
    EXPECT_EQ(text.Read("S", "tab", "-"), "x");
    EXPECT_EQ(text.Read("S", "empty", "-"), "");
    EXPECT_EQ(text.Read("S", "lf", "-"), "only");
    EXPECT_EQ(text.Read("S", "comment line without equals", "-"), "-");
    EXPECT_EQ(text.Read("S", "later", "-"), "-");
    EXPECT_EQ(text.Read("T", "last", "-"), "no line end");
    EXPECT_EQ(text.Read("U", "x", "  default kept as given "), "  default kept as given ");
}

TEST(ProfileText, ALoneCarriageReturnEndsALine) {
    // Files saved by older editors end lines in CR alone; read as one long line, every
    // setting would silently fall back to its default.
    const std::string cr = "[Form]\rPosition.X=10\r\r[Editor]\rFEd.Size=11\rFEd.Style=1";
    TProfileText text(cr);
    EXPECT_EQ(text.Read("Form", "Position.X", "-"), "10");
    EXPECT_EQ(text.Read("Editor", "FEd.Size", "-"), "11");
    EXPECT_EQ(text.Read("Editor", "FEd.Style", "-"), "1");
    EXPECT_EQ(TProfileText("[S]\r\nk=crlf\r\n\rj=cr\n").Read("S", "j", "-"), "cr");

    // Rewriting keeps the CR ends and puts a new key (ended in CR LF, as every line we add)
    // in its own section.
    std::string updated = ProfileUpdate(cr, "Form", {{"Position.X", "20"}, {"Position.Y", "30"}});
    EXPECT_EQ(updated, "[Form]\rPosition.X=20\rPosition.Y=30\r\n\r[Editor]\rFEd.Size=11\rFEd.Style=1");
    TProfileText reread(updated);
    EXPECT_EQ(reread.Read("Form", "Position.Y", "-"), "30");
    EXPECT_EQ(reread.Read("Editor", "FEd.Size", "-"), "11");
}

TEST(ProfileText, LongValuesAreCutWithoutSplittingACharacter) {
    std::string ascii(3000, 'a');
    EXPECT_EQ(ProfileValue(ascii), std::string(2047, 'a'));
    // 2046 ASCII bytes and then ア: the character would straddle the limit, so it goes.
    std::string straddling = std::string(2046, 'a') + Sjis("アア");
    EXPECT_EQ(ProfileValue(straddling), std::string(2046, 'a'));
    std::string fitting = std::string(2045, 'a') + Sjis("アア");
    EXPECT_EQ(ProfileValue(fitting), std::string(2045, 'a') + Sjis("ア"));
}

TEST_F(ProfileFile, MissingFileSectionOrKeyGivesTheDefault) {
    TProfileFile missing(PathOf("none.ini"));
    EXPECT_EQ(missing.ReadString("S", "k", "def"), "def");
    TProfileFile folder(dir_.string());  // a folder is no settings file either
    EXPECT_EQ(folder.ReadString("S", "k", "def"), "def");
    Put(PathOf("a.ini"), "[S]\r\nk=v\r\n");
    TProfileFile file(PathOf("a.ini"));
    EXPECT_EQ(file.ReadString("T", "k", "def"), "def");
    EXPECT_EQ(file.ReadString("S", "x", "def"), "def");
    EXPECT_EQ(file.ReadString("S", "k", "def"), "v");
}

TEST_F(ProfileFile, WritesCreateTheFileAndAppendSections) {
    TProfileFile file(PathOf("new.ini"));
    file.WriteString("Form", "Position.X", "192");
    EXPECT_EQ(Get(file.Path()), "[Form]\r\nPosition.X=192\r\n");
    file.WriteString("Monthly", "CMBack", "0x1FFFFFFF");
    file.WriteString("form", "position.y", "107");
    EXPECT_EQ(Get(file.Path()),
              "[Form]\r\nPosition.X=192\r\nposition.y=107\r\n"
              "\r\n[Monthly]\r\nCMBack=0x1FFFFFFF\r\n");
    // Each read sees the file as it is now: a second store on the same file agrees.
    EXPECT_EQ(TProfileFile(file.Path()).ReadString("FORM", "Position.Y", ""), "107");
}

TEST_F(ProfileFile, WritesLeaveEveryOtherLineAsItWas) {
    const std::string before =
        "; made by hand\n"
        "[Form]\n"
        "  Position.X = 1   ; trailing note\n"
        "Position.Y=2\n"
        "\n"
        "; about the calendars\n"
        "[Weekly]\n"
        "WHol.Count=1\n"
        "WHol.0=x";  // no line end at all
    Put(PathOf("a.ini"), before);
    TProfileFile file(PathOf("a.ini"));

    file.WriteString("FORM", "POSITION.X", "300");
    EXPECT_EQ(Get(file.Path()),
              "; made by hand\n[Form]\n  Position.X =300\nPosition.Y=2\n\n; about the calendars\n"
              "[Weekly]\nWHol.Count=1\nWHol.0=x");

    // A new key goes after the section's last entry, before the blank line and the comment
    // that lead to the next section.
    file.WriteString("Form", "Position.Show", "1");
    file.WriteString("Weekly", "WSpe.Count", "0");
    file.WriteString("Editor", "FEd.Size", "11");
    EXPECT_EQ(Get(file.Path()),
              "; made by hand\n[Form]\n  Position.X =300\nPosition.Y=2\nPosition.Show=1\r\n\n"
              "; about the calendars\n[Weekly]\nWHol.Count=1\nWHol.0=x\r\nWSpe.Count=0\r\n"
              "\r\n[Editor]\r\nFEd.Size=11\r\n");

    // Writing a value that is already there does not touch the file.
    auto stamp = std::filesystem::last_write_time(file.Path());
    std::filesystem::last_write_time(file.Path(), stamp - std::chrono::hours(1));
    file.WriteString("editor", "fed.size", "11");
    EXPECT_EQ(std::filesystem::last_write_time(file.Path()), stamp - std::chrono::hours(1));
}

TEST_F(ProfileFile, SeveralEntriesGoInOneReplacement) {
    Put(PathOf("a.ini"), "[W]\r\nL.Count=3\r\nL.1=b\r\n");
    TProfileFile file(PathOf("a.ini"));
    file.WriteEntries("W", {{"L.Count", "2"}, {"L.0", "x"}, {"L.1", "y"}, {"l.0", "z"}});
    EXPECT_EQ(Get(file.Path()), "[W]\r\nL.Count=2\r\nL.1=y\r\nL.0=z\r\n");
}

TEST_F(ProfileFile, AFailedWriteReportsThePathAndKeepsTheOldFile) {
    std::filesystem::create_directory(PathOf("Mekuri.ini"));
    TProfileFile onFolder(PathOf("Mekuri.ini"));
    try {
        onFolder.WriteString("S", "k", "v");
        FAIL() << "writing over a folder succeeded";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), PathOf("Mekuri.ini") + " に書き込めません");
    }
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("Mekuri.ini")));

    TProfileFile noFolder(PathOf("missing/Mekuri.ini"));
    EXPECT_THROW(noFolder.WriteString("S", "k", "v"), EFileError);

    // A file-size limit stands in for a full disk (permissions do not stop root).
    const std::string old = "[S]\r\nk=old\r\n";
    Put(PathOf("a.ini"), old);
    TProfileFile file(PathOf("a.ini"));
    int before = FileCount();
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message = "no error";
    try {
        file.WriteString("S", "k", std::string(500, 'n'));
    } catch (const EFileError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(message, file.Path() + " に書き込めません。ファイルの大きさの上限を超えました");
    EXPECT_EQ(Get(file.Path()), old);
    EXPECT_EQ(FileCount(), before);  // no temporary file left behind
}

TEST_F(ProfileFile, EntriesThatWouldBreakTheFileAreRefused) {
    const std::string old = "[S]\r\nk=old\r\n";
    Put(PathOf("a.ini"), old);
    TProfileFile file(PathOf("a.ini"));
    EXPECT_THROW(file.WriteString("S", "k", "two\r\n[lines]"), EFileError);
    EXPECT_THROW(file.WriteString("S]x", "k", "v"), EFileError);
    EXPECT_THROW(file.WriteString("S", "a=b", "v"), EFileError);
    EXPECT_THROW(file.WriteString("S", "[k", "v"), EFileError);
    EXPECT_THROW(file.WriteEntries("S", {{"ok", "1"}, {"", "2"}}), EFileError);
    EXPECT_EQ(Get(file.Path()), old);
}

TEST_F(ProfileFile, KeepsPermissionsAndSymbolicLinks) {
    Put(PathOf("real.ini"), "[S]\r\nk=1\r\n");
    std::filesystem::permissions(PathOf("real.ini"), std::filesystem::perms(0640));
    std::filesystem::create_symlink(PathOf("real.ini"), PathOf("link.ini"));
    TProfileFile file(PathOf("link.ini"));
    file.WriteString("S", "k", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(PathOf("link.ini")));
    EXPECT_EQ(Get(PathOf("real.ini")), "[S]\r\nk=2\r\n");
    EXPECT_EQ(std::filesystem::status(PathOf("real.ini")).permissions(), std::filesystem::perms(0640));
}

TEST_F(ProfileFile, APipeOrADeviceInPlaceOfTheFileNeitherHangsNorIsReplaced) {
    const std::string fifo = PathOf("Mekuri.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // Opening a pipe with no writer blocks for ever; the child shows whether we do.
    TChildResult r = RunInChild(
        [&] {
            TProfileFile file(fifo);
            if (file.ReadString("S", "k", "def") != "def") return 1;
            try {
                file.WriteString("S", "k", "v");
                return 2;
            } catch (const EFileError&) {
            }
            return 0;
        },
        10);
    ASSERT_TRUE(r.finished) << "reading a named pipe hung";
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    // An endless device must not be read to the end either.
    r = RunInChild([] { return TProfileFile("/dev/zero").ReadString("S", "k", "def") == "def" ? 0 : 1; }, 10);
    ASSERT_TRUE(r.finished) << "reading a device never ended";
    EXPECT_EQ(r.exitCode, 0);
}
