// The C library's wide-text routines.
#include "platform/crt.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(CrtTest, WcstombsConvertsOneBytePerUnit) {
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(wcstombs(out, u"id\u00e9\u20ac", sizeof out), 4u);
    EXPECT_EQ(std::string(out, 5), std::string("id\xE9?\0", 5));  // Latin-1 kept, others '?'
    EXPECT_EQ(out[5], '#');                                       // nothing beyond the terminator
    EXPECT_EQ(wcstombs(nullptr, u"twelve chars", 0), 12u);

    // Exactly count bytes: no room for the terminator, and nothing written past count.
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(wcstombs(out, u"abcdef", 4), 4u);
    EXPECT_EQ(std::string(out, 5), "abcd#");
    EXPECT_EQ(wcstombs(out, u"", sizeof out), 0u);
    EXPECT_EQ(out[0], '\0');
}

TEST(CrtTest, IswalphaKnowsLettersOfEveryScript) {
    for (WCHAR letter : {u'a', u'Z', u'\u00e9', u'\u043a', u'\u65e5', u'\u05d0'}) {
        EXPECT_NE(iswalpha(letter), 0) << static_cast<int>(letter);
    }
    for (WCHAR other : {u'0', u'9', u'.', u':', u' ', u'\0', u'-', u'\u00b2', u'\u3002'}) {
        EXPECT_EQ(iswalpha(other), 0) << static_cast<int>(other);
    }
}

TEST(CrtTest, WcslenAndWcscmpStopAtTheZeroUnit) {
    EXPECT_EQ(wcslen(u""), 0u);
    EXPECT_EQ(wcslen(u"abc\0def"), 3u);
    EXPECT_EQ(wcscmp(u"abc", u"abc"), 0);
    EXPECT_LT(wcscmp(u"abc", u"abd"), 0);
    EXPECT_GT(wcscmp(u"abc", u"ab"), 0);
    EXPECT_GT(wcscmp(u"\u00e9", u"z"), 0);  // units compare as unsigned values
    EXPECT_EQ(atoi(" +121x"), 121);
}

}  // namespace
