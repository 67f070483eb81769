// The stored text of a history list: the worked examples and the limits.
#include "history/history_codec.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "history/connection_history.h"

namespace {

using Texts = std::vector<std::u16string>;
const std::u16string kSep = HISTORY_DELIMITER;

Texts Decode(const std::u16string& stored, int maxItemChars = HISTORY_IP_MAX_CHARS) {
    Texts texts;
    for (const CString& entry : DecodeHistory(CString(stored), maxItemChars))
        texts.push_back(entry.Text());
    return texts;
}

std::u16string Encode(const Texts& texts) {
    std::vector<CString> items(texts.begin(), texts.end());
    return EncodeHistory(items).Text();
}

TEST(HistoryCodec, StoresEachItemFollowedByTheSeparator) {
    EXPECT_EQ(kSep, u"\u002e\u002e\u0021\u0040\u0023\u0024\u0025\u002e\u002e");
    // Each list is stored so, and its stored text decodes to it again.
    const std::pair<Texts, std::u16string> examples[] = {
        {{u"80", u"8080"}, u"80" + kSep + u"8080" + kSep},  // 24 units
        {{}, u""},
        {{u"", u"x", u"x"}, kSep + u"x" + kSep + u"x" + kSep},
        {{u"a", u"", u"b"}, u"a" + kSep + kSep + u"b" + kSep},
        {{u"a..!@#$%.b."}, u"a..!@#$%.b...!@#$%.."},  // only the whole separator counts
    };
    for (const auto& [items, stored] : examples) {
        EXPECT_EQ(Encode(items), stored);
        EXPECT_EQ(Decode(stored), items);
    }
    // A tail without separator is dropped; an item holding the separator splits into two.
    EXPECT_EQ(Decode(kSep + u"a" + kSep + u"b"), (Texts{u"", u"a"}));
    EXPECT_EQ(Decode(u"no separator at all"), Texts{});
    EXPECT_EQ(Decode(Encode({u"x" + kSep + u"y"})), (Texts{u"x", u"y"}));
}

TEST(HistoryCodec, KeepsOnlyWhatLoadsAgain) {
    // Entries longer than their entry field accepts are left out.
    const std::u16string ip100(100, u'1'), ip101(101, u'2');
    EXPECT_EQ(Decode(ip101 + kSep + ip100 + kSep), (Texts{ip100}));
    EXPECT_EQ(Decode(u"123456" + kSep + u"12345" + kSep, HISTORY_PORT_MAX_CHARS),
              (Texts{u"12345"}));

    // Whole items up to 10000 units with the NUL: 91 items of 100 characters take 9919 units, a
    // 92nd would make 10029; an item that does not fit ends the value.
    Texts items;
    for (int i = 0; i < 95; ++i)
        items.push_back(std::u16string(98, u'i') + char16_t(u'0' + i / 10) +
                        char16_t(u'0' + i % 10));
    EXPECT_EQ(Decode(Encode(items)), Texts(items.begin(), items.begin() + 91));
    const std::u16string fill(HISTORY_VALUE_UNITS - 1 - HISTORY_DELIMITER_LENGTH, u'f');
    EXPECT_EQ(Encode({fill}).size(), size_t{HISTORY_VALUE_UNITS - 1});
    EXPECT_EQ(Encode({u"a", fill, u"b"}), u"a" + kSep);
}

}  // namespace
