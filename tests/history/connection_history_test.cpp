// Loading, adding, saving and clearing the history through a real dialog's sorted lists and a
// real settings file.
#include "history/connection_history.h"

#include <QFileInfo>
#include <QString>
#include <string>
#include <vector>

#include "history/history_fixture.h"

namespace {

using namespace std::string_literals;
using Texts = std::vector<std::u16string>;

TEST_F(HistoryTest, LoadEmptiesEachListAndFillsItInSortedOrder) {
    // The first run finds no file: the key is created and the lists are emptied.
    AddItems(m_dialog.m_comboIP, {u"left over"});
    ASSERT_TRUE(Load());
    EXPECT_TRUE(QFileInfo(m_home.SettingsFile()).isFile());
    EXPECT_EQ(Items(m_dialog.m_comboIP), Texts{});
    EXPECT_EQ(Items(m_dialog.m_comboPort), Texts{});
    Save();  // an empty history is the NUL alone
    EXPECT_EQ(Stored(HISTORY_VALUE_IP).units, u"\0"s);
    EXPECT_EQ(Stored(HISTORY_VALUE_PORT).units, u"\0"s);

    ASSERT_TRUE(
        Store(HISTORY_VALUE_IP, Encoded({u"camera.local", u"192.168.0.20", u"10.0.0.5",
                                         std::u16string(101, u'1'), u"Alpha", u"10.0.0.5"})));
    ASSERT_TRUE(Store(HISTORY_VALUE_PORT, Encoded({u"8080", u"", u"123456", u"80"}) + u"554"));
    AddItems(m_dialog.m_comboPort, {u"old"});
    ASSERT_TRUE(Load());
    const Texts ips = {u"10.0.0.5", u"10.0.0.5", u"192.168.0.20", u"Alpha", u"camera.local"};
    EXPECT_EQ(Items(m_dialog.m_comboIP), ips);
    EXPECT_EQ(Items(m_dialog.m_comboPort), (Texts{u"", u"80", u"8080"}));

    // Saved again in list order; the texts the load left out are gone.
    Save();
    EXPECT_EQ(Stored(HISTORY_VALUE_IP).units, Encoded(ips) + u'\0');
    EXPECT_EQ(Stored(HISTORY_VALUE_PORT).units, Encoded({u"", u"80", u"8080"}) + u'\0');
    // The clear stores the empty history whatever the lists hold, and leaves the lists alone.
    EXPECT_TRUE(ClearStoredHistory());
    EXPECT_EQ(Stored(HISTORY_VALUE_IP).units, u"\0"s);
    EXPECT_EQ(Stored(HISTORY_VALUE_PORT).units, u"\0"s);
    EXPECT_EQ(Items(m_dialog.m_comboIP), ips);
    EXPECT_TRUE(m_trace.Messages().empty());
}

TEST_F(HistoryTest, AddLeavesOutWhatAnItemBeginsWithAndWritesNothing) {
    const struct {
        Texts items, added, expected;
    } cases[] = {
        {{u"192.168.0.10", u"Camera.local", u"Camera.local"},
         {u"192.168", u"192.168.0.1", u"192.168.0.10", u"CAMERA.LOCAL", u"camera", u"",
          u"192.168.0.100"},
         {u"192.168.0.10", u"192.168.0.100", u"Camera.local", u"Camera.local"}},
        {{u"8080"}, {u"80", u""}, {u"8080"}},
        {{u"80"}, {u"8080"}, {u"80", u"8080"}},  // the other way round: no item begins with 8080
    };
    for (const auto& [items, added, expected] : cases) {
        m_dialog.m_comboIP.ResetContent();
        AddItems(m_dialog.m_comboIP, items);
        for (const std::u16string& text : added) AddToHistory(m_dialog.m_comboIP, CString(text));
        EXPECT_EQ(Items(m_dialog.m_comboIP), expected);
    }
    EXPECT_FALSE(QFileInfo::exists(m_home.SettingsFile()));
}

TEST_F(HistoryTest, SavedListsLoadAgainInTheNextRun) {
    AddItems(m_dialog.m_comboIP,
             {u"", u"10.0.0.5", u"10.0.0.5", u"a=b;c", u"\"quoted\"", u"back\\slash\\",
              u"kamera-\u00fc\u00df-\u65e5\u672c", std::u16string(100, u'z')});
    // 720 ports would take 10080 units: the 714 first fit with the NUL.
    Texts ports;
    for (int port = 10000; port < 10720; ++port)
        ports.push_back(QString::number(port).toStdU16String());
    AddItems(m_dialog.m_comboPort, ports);
    const Texts ips = Items(m_dialog.m_comboIP);
    Save();
    EXPECT_TRUE(m_trace.Messages().empty());
    EXPECT_EQ(Stored(HISTORY_VALUE_PORT).size, (714 * 14 + 1) * 2u);

    m_dialog.DestroyWindow();
    ScopedSettingsHome nextRun;  // the next run finds only the file
    ASSERT_TRUE(m_home.CopySettingsTo(nextRun));
    HistoryDialog next;
    CreateDialog(next);
    ASSERT_TRUE(LoadConnectionHistory(next.m_comboIP, next.m_comboPort));
    EXPECT_EQ(Items(next.m_comboIP), ips);
    EXPECT_EQ(Items(next.m_comboPort), Texts(ports.begin(), ports.begin() + 714));
    next.DestroyWindow();
}

TEST_F(HistoryTest, ValuesThatCannotBeReadLoadAsEmptyLists) {
    // Exactly the load's buffer, 9999 characters and the NUL, loads; one character more does not.
    std::u16string fits;
    size_t entries = 0;
    for (; fits.size() + 109 <= 9999; ++entries)
        fits += QString::number(entries).toStdU16String() + HISTORY_DELIMITER;
    fits.resize(9999, u'x');  // a tail without separator, dropped
    ASSERT_TRUE(Store(HISTORY_VALUE_IP, fits));
    ASSERT_TRUE(Store(HISTORY_VALUE_PORT, u"80" HISTORY_DELIMITER + std::u16string(9989, u'p')));
    ASSERT_EQ(Stored(HISTORY_VALUE_PORT).size, 20002u);
    ASSERT_TRUE(Load());
    EXPECT_EQ(Items(m_dialog.m_comboIP).size(), entries);
    EXPECT_EQ(Items(m_dialog.m_comboPort), Texts{});

    // A damaged file: garbage, wrong types, a huge value.
    ASSERT_TRUE(
        m_home.WriteSettingsFile("\x01garbage\nCamera IP=dword:00000005\n"
                                 "Camera Port=sz:80..!@#$%..\\u00\nCamera Port=sz:" +
                                 QByteArray(300000, '8') + "\n"));
    ASSERT_TRUE(Load());
    EXPECT_EQ(Items(m_dialog.m_comboIP), Texts{});
    EXPECT_EQ(Items(m_dialog.m_comboPort), Texts{});
    EXPECT_TRUE(m_trace.Messages().empty());
}

TEST_F(HistoryTest, AValueOfTheLoadBufferSizeLoadsAndOneUnitMoreDoesNot) {
    // 91 items of 100 characters and one of 70 to 72 take 9999 to 10001 units with the NUL.
    Texts full;
    for (int i = 0; i < 91; ++i)
        full.push_back(QString::number(i).rightJustified(100, u'0').toStdU16String());
    const struct {
        size_t units;
        bool fits;
    } rows[] = {{9999, true}, {10000, true}, {10001, false}};
    for (const auto& [units, fits] : rows) {
        SCOPED_TRACE(units);
        full.resize(91);
        full.push_back(std::u16string(units - 1 - 91 * 109 - HISTORY_DELIMITER_LENGTH, u'z'));
        const Texts saved(full.begin(), full.end() - (fits ? 0 : 1));
        // Stored by an earlier run: a value too large for the buffer loads as an empty list.
        ASSERT_TRUE(Store(HISTORY_VALUE_IP, Encoded(full)));
        ASSERT_EQ(Stored(HISTORY_VALUE_IP).units.size(), units);
        ASSERT_TRUE(Load());
        EXPECT_EQ(Items(m_dialog.m_comboIP), fits ? full : Texts{});
        // Saved from the list: only whole items that load again.
        m_dialog.m_comboIP.ResetContent();
        AddItems(m_dialog.m_comboIP, full);
        Save();
        EXPECT_EQ(Stored(HISTORY_VALUE_IP).units, Encoded(saved) + u'\0');
        ASSERT_TRUE(Load());
        EXPECT_EQ(Items(m_dialog.m_comboIP), saved);
    }
    EXPECT_TRUE(m_trace.Messages().empty());
}

}  // namespace
