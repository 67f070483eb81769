// The framework's string: construction, editing, searching and wide printf formatting.
#include <gtest/gtest.h>

#include "platform/afxstr.h"

namespace {

template <typename... Values>
std::u16string Format(LPCWSTR format, Values... values) {
    CString text;
    text.Format(format, values...);
    return text.Text();
}

TEST(CStringTest, ConstructsFromTextWithAndWithoutLength) {
    EXPECT_EQ(CString(u"abc").Text(), u"abc");
    EXPECT_TRUE(CString(static_cast<LPCWSTR>(nullptr)).IsEmpty());
    const WCHAR withZero[] = {u'a', 0, u'b'};
    const CString counted(withZero, 3);
    EXPECT_EQ(counted.GetLength(), 3);
    EXPECT_EQ(counted.GetAt(2), u'b');
    EXPECT_EQ(std::u16string(counted.GetString()), u"a");  // a reader stops at the zero unit
    EXPECT_TRUE(CString(u"abc", 0).IsEmpty());
}

TEST(CStringTest, EditsAndSearches) {
    CString text(u"192.168.0.1");
    text += u":80";
    text.AppendChar(u'!');
    EXPECT_EQ(text.Text(), u"192.168.0.1:80!");
    EXPECT_EQ(text.Find(u':'), 11);
    EXPECT_EQ(text.Find(u'.', 4), 7);
    EXPECT_EQ(text.Find(u'#'), -1);
    EXPECT_EQ(text.Find(u'1', 100), -1);
    EXPECT_EQ(text.Find(u"168"), 4);
    EXPECT_EQ(text.Find(u"0.1", 9), -1);
    EXPECT_EQ(text.Left(text.Find(u':')).Text(), u"192.168.0.1");
    EXPECT_EQ(text.Left(100).Text(), text.Text());
    EXPECT_TRUE(text.Left(0).IsEmpty());
    EXPECT_EQ(text.Mid(12).Text(), u"80!");
    EXPECT_EQ(text.Mid(4, 3).Text(), u"168");
    EXPECT_TRUE(text.Mid(40).IsEmpty());
    EXPECT_EQ((CString(u"ab") + CString(u"cd")).Text(), u"abcd");
    EXPECT_NE(CString(u"ab"), CString(u"ab", 1));
    text.Empty();
    EXPECT_EQ(text.GetLength(), 0);
    EXPECT_EQ(*static_cast<LPCWSTR>(text), 0);
}

TEST(CStringTest, FormatsIntegers) {
    EXPECT_EQ(Format(u"%04d", 110), u"0110");
    EXPECT_EQ(Format(u"%04d", 300), u"0300");
    EXPECT_EQ(Format(u"%d|%i|%u", -5, 42, 4000000000u), u"-5|42|4000000000");
    EXPECT_EQ(Format(u"%x|%X|%08x", 255, 255, 0xBEEF), u"ff|FF|0000beef");
    EXPECT_EQ(Format(u"[%5d][%-5d][%05d][%+d]", 42, 42, -42, 7), u"[   42][42   ][-0042][+7]");
    EXPECT_EQ(Format(u"[%*d][%.3d]", 4, 7, 5), u"[   7][005]");
    EXPECT_EQ(Format(u"%I64d|%lld", static_cast<long long>(1) << 40, -(1LL << 40)),
              u"1099511627776|-1099511627776");
    EXPECT_EQ(Format(u"error code is %d", 10061), u"error code is 10061");
}

TEST(CStringTest, FormatsTextCharactersAndPercent) {
    const WCHAR wide[] = {u'\u043a', u'\u0430', u'm', 0};  // Cyrillic letters pass unchanged
    EXPECT_EQ(Format(u"name = %s", wide), u"name = \u043a\u0430m");
    EXPECT_EQ(Format(u"name = %s.", u""), u"name = .");
    EXPECT_EQ(Format(u"%S|%S", "narrow", "\xE9"), u"narrow|\u00e9");
    EXPECT_EQ(Format(u"[%6s][%-6s][%.2s]", u"abc", u"abc", u"abc"), u"[   abc][abc   ][ab]");
    EXPECT_EQ(Format(u"%c%c", u'O', u'\u00df'), u"O\u00df");
    EXPECT_EQ(Format(u"100%%"), u"100%");
    EXPECT_EQ(Format(u"no placeholders"), u"no placeholders");
    // A value beyond the placeholders is ignored; an unknown conversion stays as written.
    EXPECT_EQ(Format(u"%d", 1, 2), u"1");
    EXPECT_EQ(Format(u"%q%d", 3), u"%q3");
    EXPECT_EQ(Format(u"ends with %"), u"ends with %");
}

TEST(CStringTest, FormatsFloatingPoint) {
    EXPECT_EQ(Format(u"%f", 1.5), u"1.500000");
    EXPECT_EQ(Format(u"%.2f fps", static_cast<double>(12.345f)), u"12.35 fps");
    EXPECT_EQ(Format(u"%.1f", 0.0), u"0.0");
    EXPECT_EQ(Format(u"%6.2f|%-7.1f|%07.2f", 3.14159, 2.5, -1.5), u"  3.14|2.5    |-001.50");
    EXPECT_EQ(Format(u"%.0f", 2.5), u"2");
}

}  // namespace
