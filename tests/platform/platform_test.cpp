#include "platform/convert.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/sjis.h"
#include "platform/string_list.h"

#include <gtest/gtest.h>

TEST(Sjis, RoundTripIncludingExtensionsAndTrailBackslash) {
    // 表 and 能 have 0x5C as their trail byte; ① and 髙 exist only in CP932's extensions.
    std::string text = "表示能力 ①髙 abc\t～";
    std::string sjis = Utf8ToSjis(text);
    EXPECT_EQ(static_cast<unsigned char>(sjis[1]), 0x5C);
    EXPECT_EQ(SjisToUtf8(sjis), text);
}

TEST(Sjis, UnrepresentableCharacterIsRefused) {
    EXPECT_THROW(Utf8ToSjis("日記😀"), EEncodingError);
}

TEST(Sjis, BrokenBytesBecomeReplacementCharacters) {
    std::string broken = "a\x82";  // a lead byte with nothing after it
    EXPECT_EQ(SjisToUtf8(broken), "a\xEF\xBF\xBD");
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0xA0));
}

TEST(Convert, IntegersDecimalAndDollarHex) {
    EXPECT_EQ(TryStrToInt("12"), 12);
    EXPECT_EQ(TryStrToInt("-7"), -7);
    EXPECT_EQ(TryStrToInt(" 3"), 3);
    EXPECT_EQ(TryStrToInt("$1F"), 31);
    EXPECT_EQ(TryStrToInt("$80000005"), static_cast<int>(0x80000005u));
    EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(TryStrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(TryStrToInt("2147483648"));
    EXPECT_FALSE(TryStrToInt("1F"));
    EXPECT_FALSE(TryStrToInt(""));
    EXPECT_FALSE(TryStrToInt("$"));
    EXPECT_FALSE(TryStrToInt("$123456789"));
    EXPECT_FALSE(TryStrToInt("3 "));
    try {
        StrToInt(Sjis("元旦"));
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'元旦' は整数ではありません");
    }
}

TEST(StringList, ChangeNoticeAndIndexErrors) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.Add("a");
    list.Insert(0, "b");
    list.SetStrings(1, "c");
    list.Delete(0);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(list.Text(), "c\r\n");
    EXPECT_THROW(list.Strings(1), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(3, "x"), EListError);

    TStringList other{"1", "2", "3"};
    changes = 0;
    list.Assign(other);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.Count(), 3);
    list.SetText("x\r\ny\nz\r");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(2), "z");
}

TEST(StringList, CommaTextQuoting) {
    TStringList list{Sjis("春分の日"), "a b", "say \"hi\"", "x,y"};
    EXPECT_EQ(list.CommaText(), Sjis("春分の日") + ",\"a b\",\"say \"\"hi\"\"\",\"x,y\"");
    TStringList one{""};
    EXPECT_EQ(one.CommaText(), "\"\"");
    EXPECT_EQ(TStringList().CommaText(), "");
}

TEST(StringList, SplitFieldsKeepsEmptyFields) {
    EXPECT_EQ(SplitFields("", ','), std::vector<std::string>{""});
    EXPECT_EQ(SplitFields("1,1,", ','), (std::vector<std::string>{"1", "1", ""}));
}

TEST(Font, SizeAndHeightAndChangeNotice) {
    TFont f;
    int changes = 0;
    f.OnChange = [&] { ++changes; };
    f.SetHeight(-13);
    EXPECT_EQ(f.Size(), 10);
    f.SetSize(9);
    EXPECT_EQ(f.Height(), -12);
    f.SetHeight(-12);  // unchanged: no notice
    EXPECT_EQ(changes, 2);
    TFont g;
    g.SetColor(clBlue);
    g.SetHeight(-20);
    f.Assign(g);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(f.SameAs(g));
}

TEST(Font, ExtremeSizesAndHeightsSaturateInsteadOfOverflowing) {
    TFont f;
    f.SetSize(2147483647);
    EXPECT_LT(f.Height(), 0);
    EXPECT_GT(f.Size(), 0);
    f.SetSize(-2147483647 - 1);
    EXPECT_GT(f.Height(), 0);
    EXPECT_LT(f.Size(), 0);
    f.SetHeight(-2147483647 - 1);
    EXPECT_GT(f.Size(), 0);
    f.SetHeight(2147483647);
    EXPECT_LT(f.Size(), 0);
}
