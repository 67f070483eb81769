// Loading, adding, saving and clearing the history through a real dialog's sorted lists and a
// real settings file.
#include "history/connection_history.h"

#include <QString>
#include <string>
#include <utility>

#include "history/history_fixture.h"

namespace {

using namespace std::string_literals;

TEST_F(HistoryTest, LoadFillsEachListInSortedOrderAndSaveWritesItBackInListOrder) {
    // The first run finds no file, a later one a damaged file: the lists load empty.
    for (const char* file :
         {"", "\x01garbage\nCamera IP=dword:00000005\nCamera Port=sz:80..!@#$%..\\u00\n"}) {
        SetItems(m_dialog.m_comboIP, {u"left over"});
        SetItems(m_dialog.m_comboPort, {u"old"});
        ASSERT_TRUE(*file == 0 || m_home.WriteSettingsFile(file));
        ASSERT_TRUE(Load());
        EXPECT_EQ(Texts{}, Items(m_dialog.m_comboIP));
        EXPECT_EQ(Texts{}, Items(m_dialog.m_comboPort));
    }
    Save();  // an empty history is the NUL alone
    EXPECT_EQ(u"\0"s, Stored(HISTORY_VALUE_IP));
    EXPECT_EQ(u"\0"s, Stored(HISTORY_VALUE_PORT));

    ASSERT_TRUE(Store(HISTORY_VALUE_IP,
                      Encoded({u"camera.local", u"192.168.0.20", u"10.0.0.5",
                               std::u16string(101, u'1'), u"Alpha", u"10.0.0.5", u"a..!@#$%.b."}) +
                          u"10.0.0.9"));
    ASSERT_TRUE(Store(HISTORY_VALUE_PORT,
                      Encoded({u"8080", u"", u"123456", u"80"}) + u'\0' + Encoded({u"81"})));
    ASSERT_TRUE(Load());
    // Left out: longer than the entry takes, a tail without separator, what follows a NUL.
    const Texts ips = {u"10.0.0.5",    u"10.0.0.5", u"192.168.0.20",
                       u"a..!@#$%.b.", u"Alpha",    u"camera.local"};
    const Texts ports = {u"", u"80", u"8080"};
    EXPECT_EQ(ips, Items(m_dialog.m_comboIP));
    EXPECT_EQ(ports, Items(m_dialog.m_comboPort));
    // Saved again in list order; the texts the load left out are gone.
    Save();
    EXPECT_EQ(Encoded(ips) + u'\0', Stored(HISTORY_VALUE_IP));
    EXPECT_EQ(Encoded(ports) + u'\0', Stored(HISTORY_VALUE_PORT));
    // The clear stores the empty history whatever the lists hold.
    EXPECT_TRUE(ClearStoredHistory());
    EXPECT_EQ(u"\0"s, Stored(HISTORY_VALUE_IP));
    EXPECT_EQ(u"\0"s, Stored(HISTORY_VALUE_PORT));
    EXPECT_TRUE(m_trace.Messages().empty());
}

TEST_F(HistoryTest, AddLeavesOutEmptyTextsAndWhatAnItemBeginsWith) {
    const struct {
        Texts items, added, expected;
    } rows[] = {
        {{u"192.168.0.10", u"Camera.local", u"Camera.local"},
         {u"192.168", u"192.168.0.1", u"192.168.0.10", u"CAMERA.LOCAL", u"camera", u"",
          u"192.168.0.100"},
         {u"192.168.0.10", u"192.168.0.100", u"Camera.local", u"Camera.local"}},
        {{u"80"}, {u"8080"}, {u"80", u"8080"}},  // no item begins with 8080
        {{}, {u""}, {}},                         // an empty list matches nothing
    };
    for (const auto& [items, added, expected] : rows) {
        SetItems(m_dialog.m_comboIP, items);
        for (const std::u16string& text : added) AddToHistory(m_dialog.m_comboIP, CString(text));
        EXPECT_EQ(expected, Items(m_dialog.m_comboIP));
    }
}

TEST_F(HistoryTest, AValueOfTheLoadBufferSizeLoadsAndOneUnitMoreDoesNot) {
    // 91 items of 100 characters and one of 70 to 72 take 9999 to 10001 units with the NUL.
    Texts full;
    for (int i = 0; i < 91; ++i)
        full.push_back(QString::number(i).rightJustified(100, u'0').toStdU16String());
    const std::pair<size_t, bool> rows[] = {{9999, true}, {10000, true}, {10001, false}};
    for (const auto& [units, fits] : rows) {
        SCOPED_TRACE(units);
        full.resize(91);
        full.push_back(std::u16string(units - 1 - 91 * 109 - HISTORY_DELIMITER_LENGTH, u'z'));
        const Texts saved(full.begin(), full.end() - (fits ? 0 : 1));
        // Stored by an earlier run: a value too large for the buffer loads as an empty list.
        ASSERT_TRUE(Store(HISTORY_VALUE_IP, Encoded(full)));
        ASSERT_EQ(units, Stored(HISTORY_VALUE_IP).size());
        ASSERT_TRUE(Load());
        EXPECT_EQ(fits ? full : Texts{}, Items(m_dialog.m_comboIP));
        // Saved from the list: only whole items, so that what is saved loads again.
        SetItems(m_dialog.m_comboIP, full);
        Save();
        EXPECT_EQ(Encoded(saved) + u'\0', Stored(HISTORY_VALUE_IP));
        ASSERT_TRUE(Load());
        EXPECT_EQ(saved, Items(m_dialog.m_comboIP));
    }
}

}  // namespace
