// The C library's wide-text routines.
#include "platform/crt.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(CrtTest, WcstombsConvertsOneBytePerUnitAndWritesNoMoreThanCount) {
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(wcstombs(out, u"id\u00e9\u20ac", sizeof out), 4u);
    EXPECT_EQ(std::string(out, 6), std::string("id\xE9?\0#", 6));  // Latin-1 kept, others '?'
    EXPECT_EQ(wcstombs(nullptr, u"twelve chars", 0), 12u);
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(wcstombs(out, u"abcdef", 4), 4u);  // no room for the terminator
    EXPECT_EQ(std::string(out, 5), "abcd#");
}

TEST(CrtTest, ClassifiesComparesAndCountsWideText) {
    for (WCHAR letter : {u'a', u'Z', u'\u00e9', u'\u043a', u'\u65e5', u'\u05d0'})
        EXPECT_NE(iswalpha(letter), 0) << static_cast<int>(letter);
    for (WCHAR other : {u'0', u'9', u'.', u':', u' ', u'\0', u'-', u'\u00b2', u'\u3002'})
        EXPECT_EQ(iswalpha(other), 0) << static_cast<int>(other);
    EXPECT_EQ(wcslen(u"abc\0def"), 3u);
    EXPECT_EQ(wcscmp(u"abc", u"abc"), 0);
    EXPECT_LT(wcscmp(u"abc", u"abd"), 0);
    EXPECT_GT(wcscmp(u"abc", u"ab"), 0);
    EXPECT_GT(wcscmp(u"\u00e9", u"z"), 0);  // units compare as unsigned values
    EXPECT_EQ(atoi(" +121x"), 121);
}

}  // namespace
