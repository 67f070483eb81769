// The framework's string: construction, editing, searching and wide printf formatting.
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "platform/afxstr.h"
#include "support/scoped_locale.h"

namespace {

template <typename... Values>
std::u16string Format(LPCWSTR format, Values... values) {
    CString text;
    text.Format(format, values...);
    return text.Text();
}

TEST(CStringTest, ConstructsEditsAndSearches) {
    const WCHAR withZero[] = {u'a', 0, u'b'};
    const CString counted(withZero, 3);
    EXPECT_EQ(counted.GetLength(), 3);
    EXPECT_EQ(counted.Text(), std::u16string(withZero, 3));
    EXPECT_EQ(std::u16string(counted.GetString()), u"a");  // a reader stops at the zero unit
    EXPECT_NE(CString(u"ab"), CString(u"ab", 1));

    CString text(u"192.168.0.1");
    text += u":80";
    text.AppendChar(u'!');
    const std::pair<int, int> found[] = {{text.Find(u':'), 11},  {text.Find(u'.', 4), 7},
                                         {text.Find(u'#'), -1},  {text.Find(u'1', 100), -1},
                                         {text.Find(u"168"), 4}, {text.Find(u"0.1", 9), -1}};
    for (const auto& [actual, expected] : found) EXPECT_EQ(actual, expected);
    const std::pair<CString, std::u16string> parts[] = {
        {text, u"192.168.0.1:80!"},
        {text.Left(text.Find(u':')), u"192.168.0.1"},
        {text.Left(100), u"192.168.0.1:80!"},
        {text.Left(0), u""},
        {text.Mid(12, 100), u"80!"},
        {text.Mid(4, 3), u"168"},
        {text.Mid(40, 1), u""},
        {CString(u"ab") += CString(u"cd"), u"abcd"},
        {CString(static_cast<LPCWSTR>(nullptr)), u""},
        {CString(u"abc", 0), u""},
    };
    for (const auto& [actual, expected] : parts) EXPECT_EQ(actual.Text(), expected);
    text.Empty();
    EXPECT_EQ(text.GetLength(), 0);
    EXPECT_EQ(*static_cast<LPCWSTR>(text), 0);
}

TEST(CStringTest, FormatsLikeWidePrintf) {
    const WCHAR wide[] = {u'\u043a', u'\u0430', u'm', 0};  // Cyrillic letters pass unchanged
    const std::pair<std::u16string, std::u16string> formatted[] = {
        {Format(u"%04d", 110), u"0110"},
        {Format(u"%d|%i|%u", -5, 42, 4000000000u), u"-5|42|4000000000"},
        {Format(u"%x|%X|%08x", 255, 255, 0xBEEF), u"ff|FF|0000beef"},
        {Format(u"[%5d][%-5d][%05d][%+d]", 42, 42, -42, 7), u"[   42][42   ][-0042][+7]"},
        {Format(u"[%*d][%.3d]", 4, 7, 5), u"[   7][005]"},
        {Format(u"%I64d|%lld", 1LL << 40, -(1LL << 40)), u"1099511627776|-1099511627776"},
        {Format(u"name = %s.", wide), u"name = \u043a\u0430m."},
        {Format(u"[%s]", u""), u"[]"},
        {Format(u"%S|%S", "narrow", "\xE9"), u"narrow|\u00e9"},
        {Format(u"[%6s][%-6s][%.2s]", u"abc", u"abc", u"abc"), u"[   abc][abc   ][ab]"},
        {Format(u"%c%c", u'O', u'\u00df'), u"O\u00df"},
        {Format(u"100%%"), u"100%"},
        {Format(u"%d", 1, 2), u"1"},   // a value beyond the placeholders is ignored
        {Format(u"%q%d", 3), u"%q3"},  // an unknown conversion stays as written
        {Format(u"ends with %"), u"ends with %"},
        {Format(u"%f", 1.5), u"1.500000"},
        {Format(u"%.2f fps", static_cast<double>(12.345f)), u"12.35 fps"},
        {Format(u"%6.2f|%-7.1f|%07.2f", 3.14159, 2.5, -1.5), u"  3.14|2.5    |-001.50"},
        {Format(u"%.0f|%.1f", 2.5, 0.0), u"2|0.0"},
    };
    for (const auto& [actual, expected] : formatted) EXPECT_EQ(actual, expected);
}

TEST(CStringTest, NumbersKeepTheirFormUnderADesktopLocaleWithADecimalComma) {
    // Set after the application object, which puts the process under the desktop's locale.
    const test_support::ScopedLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.InForce());
    ASSERT_EQ(test_support::DecimalPoint(), ",");
    EXPECT_EQ(Format(u"%f", static_cast<double>(12.5f)), u"12.500000");
    EXPECT_EQ(Format(u"rate %.2f after %d frames, %e s", 12.5, 1234567, 0.25),
              u"rate 12.50 after 1234567 frames, 2.500000e-01 s");
    // The process keeps the desktop's locale for everything else.
    char narrow[16];
    std::snprintf(narrow, sizeof narrow, "%.1f", 0.5);
    EXPECT_STREQ(narrow, "0,5");
}

}  // namespace
