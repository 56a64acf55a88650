// The typed settings component: where its file lives, fences, numbers, colours, lists,
// fonts and placements as they appear in the file and come back from it.
#include "settings_fixture.h"

#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/sjis.h"
#include "platform/string_list.h"
#include "settings/ini_store.h"

#include <unistd.h>

namespace {

const std::string kOpen(1, kFenceOpen), kClose(1, kFenceClose);

}  // namespace

class IniStore : public SettingsFolder {
protected:
    void SetUp() override {
        SettingsFolder::SetUp();
        store.SetApplicationDir(dir_.string());
        store.SetFileName("Mekuri.ini");
    }
    std::string File() const { return Get(PathOf("Mekuri.ini")); }
    void Stored(const std::string& text) const { Put(PathOf("Mekuri.ini"), text); }

    TIniStore store;
};

TEST_F(IniStore, PathFollowsFileNameAndDefaultDir) {
    TIniStore s;
    EXPECT_EQ(s.DefaultDir(), ddApplication);
    EXPECT_EQ(s.Fence(), fnNone);
    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    std::string exeDir = std::string(exe).substr(0, std::string(exe).rfind('/'));
    EXPECT_EQ(s.ApplicationDir(), exeDir);

    s.SetFileName("Mekuri.ini");
    EXPECT_EQ(s.Path(), exeDir + "/Mekuri.ini");
    s.SetDefaultDir(ddWindows);
    EXPECT_EQ(s.Path(), "/etc/xdg/Mekuri.ini");
    s.SetDefaultDir(ddNone);
    EXPECT_EQ(s.Path(), "Mekuri.ini");
    s.SetDefaultDir(ddApplication);
    s.SetFileName("sub/x.ini");
    EXPECT_EQ(s.Path(), "sub/x.ini");
}

TEST_F(IniStore, DefaultFileNameComesFromTheProgram) {
    TIniStore s;
    s.SetApplicationDir("/opt/mekuri");
    s.SetApplicationName("MEKURI.EXE");
    s.Loaded();
    EXPECT_EQ(s.FileName(), "Mekuri.ini");
    EXPECT_EQ(s.Path(), "/opt/mekuri/Mekuri.ini");

    TIniStore bare;
    bare.SetApplicationName("mekuri");
    bare.Loaded();
    EXPECT_EQ(bare.FileName(), "Mekuri.ini");

    TIniStore named;
    named.SetFileName("kept.ini");
    named.Loaded();
    EXPECT_EQ(named.FileName(), "kept.ini");
}

TEST_F(IniStore, ParenthesisFence) {
    store.SetFence(fnParenthesis);
    std::string ganjitsu = Sjis("1,1,元旦");
    store.WriteString("Weekly", "WHol.0", ganjitsu);
    EXPECT_EQ(File(), "[Weekly]\r\nWHol.0=" + kOpen + ganjitsu + kClose + "\r\n");
    EXPECT_EQ(store.ReadString("Weekly", "WHol.0", ""), ganjitsu);

    Stored("[W]\r\nquoted=\"" + ganjitsu + "\"\r\nempty=" + kOpen + kClose + "\r\nlone=" + kOpen +
           "\r\nopenOnly=" + kOpen + "abc\r\n");
    EXPECT_EQ(store.ReadString("W", "quoted", ""), ganjitsu);  // the file store drops the quotes
    EXPECT_EQ(store.ReadString("W", "empty", "d"), "");
    EXPECT_EQ(store.ReadString("W", "lone", "d"), kOpen);
    EXPECT_EQ(store.ReadString("W", "openOnly", "d"), kOpen + "abc");
    EXPECT_EQ(store.ReadString("W", "missing", " d "), " d ");
}

TEST_F(IniStore, FencesKeepBlanksOnlyWhenThereIsOne) {
    const std::string padded = "  two sides  ";
    for (TIniStoreFence fence : {fnDoubleQuote, fnParenthesis, fnVer11Mode}) {
        store.SetFence(fence);
        store.WriteString("S", "k", padded);
        EXPECT_EQ(store.ReadString("S", "k", ""), padded) << "fence " << int(fence);
    }
    store.SetFence(fnNone);
    store.WriteString("S", "k", padded);
    EXPECT_EQ(store.ReadString("S", "k", ""), "two sides");
    EXPECT_EQ(store.ReadRawString("S", "k", ""), "two sides");
}

TEST_F(IniStore, EachFenceRemovesOnlyItsOwnMarks) {
    Stored("[S]\r\nb=" + kOpen + "x" + kClose + "\r\nq='\"x\"'\r\n");
    struct Case {
        TIniStoreFence fence;
        std::string bracketed, quoted;
    } cases[] = {
        {fnDoubleQuote, kOpen + "x" + kClose, "x"},
        {fnParenthesis, "x", "\"x\""},
        {fnVer11Mode, "x", "x"},
        {fnNone, kOpen + "x" + kClose, "\"x\""},
    };
    for (const Case& c : cases) {
        store.SetFence(c.fence);
        EXPECT_EQ(store.ReadString("S", "b", ""), c.bracketed) << "fence " << int(c.fence);
        EXPECT_EQ(store.ReadString("S", "q", ""), c.quoted) << "fence " << int(c.fence);
    }
    store.SetFence(fnVer11Mode);
    store.WriteString("S", "w", "y");
    EXPECT_EQ(store.ReadRawString("S", "w", ""), kOpen + "y" + kClose);
}

TEST_F(IniStore, Integers) {
    Stored("[S]\r\nhex=0x1F\r\ndollar=$1F\r\nbare=1F\r\nneg=-42\r\nshort=0x\r\nbig=2147483648\r\n"
           "all=0xFFFFFFFF\r\n");
    EXPECT_EQ(store.ReadInteger("S", "hex", -1), 31);
    EXPECT_EQ(store.ReadInteger("S", "dollar", -1), 31);
    EXPECT_EQ(store.ReadInteger("S", "bare", -1), -1);
    EXPECT_EQ(store.ReadInteger("S", "neg", 0), -42);
    EXPECT_EQ(store.ReadInteger("S", "short", 5), 5);
    EXPECT_EQ(store.ReadInteger("S", "big", 5), 5);
    EXPECT_EQ(store.ReadInteger("S", "all", 5), -1);
    EXPECT_EQ(store.ReadInteger("S", "missing", 9), 9);

    store.WriteInteger("T", "a", -2147483647 - 1);
    EXPECT_EQ(store.ReadRawString("T", "a", ""), "-2147483648");
}

TEST_F(IniStore, HexAndColours) {
    store.WriteColor("M", "none", -1);
    store.WriteColor("M", "sys", -2147483633);
    store.WriteHex("M", "red", 255);
    EXPECT_EQ(File(), "[M]\r\nnone=0xFFFFFFFF\r\nsys=0x8000000F\r\nred=0x000000FF\r\n");
    EXPECT_EQ(store.ReadColor("M", "none", 0), -1);
    EXPECT_EQ(store.ReadColor("M", "sys", 0), -2147483633);
    EXPECT_EQ(store.ReadHex("M", "red", 0), 255);
    EXPECT_EQ(store.ReadColor("M", "missing", clNone), clNone);

    Stored("[M]\r\ntwelve=12\r\nbare=FF0000\r\nlong=0x00FF00FF99\r\nbad=0xGG\r\n");
    try {
        store.ReadColor("M", "twelve", 0);
        FAIL() << "a two-digit colour was accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'$' は整数ではありません");
    }
    EXPECT_EQ(store.ReadColor("M", "bare", 7), 0);  // only the digits after the first two count
    EXPECT_EQ(store.ReadHex("M", "long", 7), 0x00FF00FF);
    EXPECT_THROW(store.ReadHex("M", "bad", 7), EConvertError);
}

TEST_F(IniStore, StringLists) {
    store.SetFence(fnParenthesis);
    TStringList list;
    for (int i = 0; i < 13; ++i) list.Add("line " + std::to_string(i));
    store.WriteStrings("Weekly", "WHol", list);
    EXPECT_EQ(store.ReadInteger("Weekly", "WHol.Count", 0), 13);
    EXPECT_EQ(store.ReadRawString("Weekly", "WHol.12", ""), kOpen + "line 12" + kClose);

    list.Delete(12);
    store.WriteStrings("Weekly", "WHol", list);
    EXPECT_EQ(store.ReadRawString("Weekly", "WHol.12", ""), kOpen + "line 12" + kClose);  // left over
    TStringList read{"something else"};
    store.ReadStrings("Weekly", "WHOL", read);
    EXPECT_EQ(read.Lines(), list.Lines());

    // More counted than stored: the list's own lines fill in, then empty lines.
    Stored("[W]\r\nL.Count=4\r\nL.0=" + kOpen + "stored" + kClose + "\r\n");
    TStringList partial{"a", "b"};
    int changes = 0;
    partial.OnChange = [&] { ++changes; };
    store.ReadStrings("W", "L", partial);
    EXPECT_EQ(partial.Lines(), (std::vector<std::string>{"stored", "b", "", ""}));
    EXPECT_GE(changes, 1);

    // No count keeps the list; a zero or negative count empties it.
    TStringList kept{"x", "y"};
    store.ReadStrings("W", "Other", kept);
    EXPECT_EQ(kept.Lines(), (std::vector<std::string>{"x", "y"}));
    for (const char* count : {"0", "-3"}) {
        Stored(std::string("[W]\r\nL.Count=") + count + "\r\n");
        TStringList emptied{"x"};
        store.ReadStrings("W", "L", emptied);
        EXPECT_EQ(emptied.Count(), 0) << count;
    }
}

TEST_F(IniStore, AnAbsurdListCountIsTakenAsDamage) {
    Stored("[W]\r\nL.Count=2000000000\r\nL.0=a\r\n");
    TStringList list{"x", "y"};
    store.ReadStrings("W", "L", list);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "y"}));
}

TEST_F(IniStore, Fonts) {
    TFont font;
    font.SetName(Sjis("ＭＳ ゴシック"));
    font.SetSize(11);
    font.SetStyle(fsBold | fsUnderline);
    font.SetColor(clWindowText);
    store.SetFence(fnParenthesis);
    store.WriteFont("Editor", "FEd", font);
    EXPECT_EQ(File(), "[Editor]\r\nFEd.Name=" + Sjis("ＭＳ ゴシック") +
                          "\r\nFEd.Size=11\r\nFEd.Style=5\r\nFEd.Color=0x80000008\r\n");

    TFont read;
    read.SetCharset(DEFAULT_CHARSET);
    int changes = 0;
    read.OnChange = [&] { ++changes; };
    store.ReadFont("Editor", "FEd", read);
    EXPECT_TRUE(read.SameAs(font));
    EXPECT_EQ(read.Charset(), SHIFTJIS_CHARSET);  // a new font's character set, not the old one
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(store.Fence(), fnParenthesis);

    // The face name is written without a fence, so its outer blanks are lost; either
    // fence around a stored name is removed whatever Fence says.
    font.SetName("  Face  ");
    store.WriteFont("Editor", "FEd", font);
    store.ReadFont("Editor", "FEd", read);
    EXPECT_EQ(read.Name(), "Face");
    store.SetFence(fnNone);
    Stored("[E]\r\nA.Name=" + kOpen + "Bracketed" + kClose + "\r\nB.Name='Quoted'\r\nB.Style=255\r\n");
    store.ReadFont("E", "A", read);
    EXPECT_EQ(read.Name(), "Bracketed");
    store.ReadFont("E", "B", read);
    EXPECT_EQ(read.Name(), "Quoted");
    EXPECT_EQ(read.Style(), fsBold | fsItalic | fsUnderline | fsStrikeOut);

    // Missing keys keep the font's values.
    TFont copy(read);
    store.ReadFont("E", "Missing", copy);
    EXPECT_TRUE(copy.SameAs(read));
}

TEST_F(IniStore, DamagedFontSizesAreClampedAndWrittenBackSane) {
    Stored("[M]\r\nA.Size=1610612736\r\nB.Size=2147483647\r\nC.Size=-2147483648\r\nD.Size=-9\r\n"
           "E.Size=0\r\n");
    const struct {
        const char* name;
        int size;
    } cases[] = {{"A", kMaxFontSize}, {"B", kMaxFontSize}, {"C", -kMaxFontSize}, {"D", -9}, {"E", 0}};
    for (const auto& c : cases) {
        TFont font;
        store.ReadFont("M", c.name, font);
        EXPECT_EQ(font.Size(), c.size) << c.name;
        EXPECT_EQ(font.Height() < 0, c.size > 0) << c.name;
        store.WriteFont("M", c.name, font);
        EXPECT_EQ(store.ReadInteger("M", std::string(c.name) + ".Size", 12345), c.size) << c.name;
    }
}

TEST_F(IniStore, ABadFontColourLeavesTheFontUnchanged) {
    Stored("[E]\r\nF.Name=Other\r\nF.Size=30\r\nF.Color=zz\r\n");
    TFont font;
    TFont before(font);
    EXPECT_THROW(store.ReadFont("E", "F", font), EConvertError);
    EXPECT_TRUE(font.SameAs(before));
}

TEST_F(IniStore, Positions) {
    TWindowPlacement p;
    p.Flags = 2;
    p.ShowCmd = kShowMaximized;
    p.MaxPosition = {-8, -8};
    p.NormalPosition = {192, 107, 807, 547};
    store.WritePosition("Form", "Position", p);
    EXPECT_EQ(File(),
              "[Form]\r\nPosition.Flags=2\r\nPosition.Show=3\r\nPosition.MaxX=-8\r\nPosition.MaxY=-8\r\n"
              "Position.X=192\r\nPosition.Y=107\r\nPosition.XSize=807\r\nPosition.YSize=547\r\n");

    Stored("[Form]\r\nPosition.X=10\r\nPosition.YSize=oops\r\n");
    TWindowPlacement read = p;
    read.MinPosition = {3, 4};
    store.ReadPosition("Form", "Position", read);
    EXPECT_EQ(read.NormalPosition.Left, 10);
    EXPECT_EQ(read.NormalPosition.Top, 107);
    EXPECT_EQ(read.NormalPosition.Bottom, 547);
    EXPECT_EQ(read.ShowCmd, kShowMaximized);
    EXPECT_EQ(read.MinPosition.X, 3);
}

TEST_F(IniStore, ABatchReadsTheFileOnceAndWritesItOnce) {
    Stored("[S]\r\na=1\r\n");
    store.Batch([&] {
        EXPECT_EQ(store.ReadInteger("S", "a", 0), 1);
        Stored("[S]\r\na=2\r\n");  // changed behind the batch's back after its one read
        EXPECT_EQ(store.ReadInteger("S", "a", 0), 1);
        store.WriteInteger("S", "b", 5);
        store.WriteColor("T", "c", 255);
        EXPECT_EQ(store.ReadInteger("S", "b", 0), 5);  // its own writes are seen at once,
        store.WriteInteger("S", "a", 7);                 // also over a key read before
        EXPECT_EQ(store.ReadInteger("S", "a", 0), 7);
        store.WriteInteger("S", "a", 1);
        EXPECT_EQ(File(), "[S]\r\na=2\r\n");          // and reach the disk only at the end
    });
    EXPECT_EQ(File(), "[S]\r\na=1\r\nb=5\r\n\r\n[T]\r\nc=0x000000FF\r\n");
    // Outside a batch every read sees the file as it is now again.
    Stored("[S]\r\na=3\r\n");
    EXPECT_EQ(store.ReadInteger("S", "a", 0), 3);
}

TEST_F(IniStore, AnErrorInABatchKeepsTheWritesBeforeIt) {
    store.SetFence(fnParenthesis);
    TStringList bad{"ok", "two\nlines"};
    EXPECT_THROW(store.Batch([&] {
        store.WriteInteger("S", "a", 1);
        store.WriteStrings("W", "L", bad);
        store.WriteInteger("S", "z", 2);
    }),
                 EFileError);
    EXPECT_EQ(File(), "[S]\r\na=1\r\n");

    // A batch that cannot replace the file fails as a whole and leaves the old one.
    std::filesystem::remove(PathOf("Mekuri.ini"));
    std::filesystem::create_directory(PathOf("Mekuri.ini"));
    EXPECT_THROW(store.Batch([&] { store.WriteInteger("S", "a", 1); }), EFileError);
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("Mekuri.ini")));
}

TEST_F(IniStore, AFailedListWriteLeavesTheOldListWhole) {
    store.SetFence(fnParenthesis);
    TStringList list{"a", "b"};
    store.WriteStrings("W", "L", list);
    const std::string before = File();
    list.Add("bad\nline");
    EXPECT_THROW(store.WriteStrings("W", "L", list), EFileError);
    EXPECT_EQ(File(), before);
}
