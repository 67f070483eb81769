// Every failure of the settings store made real: a file where the settings folder should be, a
// folder where the settings file should be, a file size limit that a write runs into.
#include <QString>
#include <string>
#include <vector>

#include "history/connection_history.h"
#include "history/history_fixture.h"
#include "platform/testing/hooks.h"
#include "support/file_size_limit.h"

namespace {

using namespace std::string_literals;
using Messages = std::vector<std::string>;

// Larger than a settings file of a few short items, smaller than one with a full list.
constexpr rlim_t kFileLimit = 4096;

// Runs action with the trace cleared and file writes limited to kFileLimit bytes.
template <typename Action>
void UnderFileLimit(test_support::TraceRecorder& trace, Action action) {
    trace.Clear();
    ScopedFileSizeLimit limit(kFileLimit);
    ASSERT_TRUE(limit.Active());
    action();
}

std::vector<std::u16string> Numbers(int count, int width) {
    std::vector<std::u16string> items;
    for (int i = 0; i < count; ++i) {
        items.push_back(QString::number(i).rightJustified(width, u'0').toStdU16String());
    }
    return items;
}

TEST_F(HistoryTest, WithoutASettingsStoreEachReportsItsFirstStepAndLeavesTheListsAlone) {
    AddItems(m_dialog.m_comboIP, {u"10.0.0.5"});
    AddItems(m_dialog.m_comboPort, {u"80"});
    for (const bool blockFolder : {true, false}) {
        ScopedSettingsHome home;
        ASSERT_TRUE(blockFolder ? home.BlockFolderWithFile() : home.BlockFileWithFolder());
        m_trace.Clear();
        EXPECT_FALSE(Load());
        Save();
        EXPECT_FALSE(ClearStoredHistory());
        EXPECT_EQ(m_trace.Messages(),
                  (Messages{"error1 in OnInitDialog", "error1 in SaveIpPortControlToRegistry",
                            "error1 in OnRegistryClear"}));
        EXPECT_EQ(Items(m_dialog.m_comboIP), std::vector<std::u16string>{u"10.0.0.5"});
        EXPECT_EQ(Items(m_dialog.m_comboPort), std::vector<std::u16string>{u"80"});
    }
}

TEST_F(HistoryTest, SaveReportsTheStepThatFailedAndWritesNothingAfterIt) {
    const std::u16string old = u"1" HISTORY_DELIMITER;
    AddItems(m_dialog.m_comboIP, Numbers(91, 99));
    AddItems(m_dialog.m_comboPort, {u"80"});
    {
        ScopedSettingsHome home;  // the IP value alone exceeds the limit: nothing changes
        ASSERT_TRUE(Store(HISTORY_VALUE_IP, old) && Store(HISTORY_VALUE_PORT, old));
        const QByteArray before = home.ReadSettingsFile();
        UnderFileLimit(m_trace, [this] { Save(); });
        EXPECT_EQ(m_trace.Messages(), Messages{"error2 in SaveIpPortControlToRegistry"});
        EXPECT_EQ(home.ReadSettingsFile(), before);
    }
    m_dialog.m_comboIP.ResetContent();
    m_dialog.m_comboPort.ResetContent();
    AddItems(m_dialog.m_comboIP, {u"10.0.0.5"});
    AddItems(m_dialog.m_comboPort, Numbers(700, 5));
    ScopedSettingsHome home;  // the IP value fits, the port value does not
    ASSERT_TRUE(Store(HISTORY_VALUE_PORT, old));
    UnderFileLimit(m_trace, [this] { Save(); });
    EXPECT_EQ(m_trace.Messages(), Messages{"error3 in SaveIpPortControlToRegistry"});
    EXPECT_EQ(Stored(HISTORY_VALUE_IP).units, Encoded({u"10.0.0.5"}) + u'\0');
    EXPECT_EQ(Stored(HISTORY_VALUE_PORT).units, old + u'\0');
}

TEST_F(HistoryTest, ClearReportsTheStepThatFailedAndWritesNothingAfterIt) {
    const std::u16string ip = u"10.0.0.5" HISTORY_DELIMITER;
    {
        ScopedSettingsHome home;  // without "Camera IP" the file still exceeds the limit
        ASSERT_TRUE(Store(HISTORY_VALUE_IP, ip) &&
                    Store(HISTORY_VALUE_PORT, Encoded(Numbers(700, 5))));
        const QByteArray before = home.ReadSettingsFile();
        UnderFileLimit(m_trace, [] { EXPECT_FALSE(ClearStoredHistory()); });
        EXPECT_EQ(m_trace.Messages(), Messages{"error2 in OnRegistryClear"});
        EXPECT_EQ(home.ReadSettingsFile(), before);
    }
    // The second write can only be made to fail by changing the folder between the two writes:
    // the observer turns the settings folder into a file after the first.
    ScopedSettingsHome home;
    ASSERT_TRUE(Store(HISTORY_VALUE_IP, ip) && Store(HISTORY_VALUE_PORT, u"80" HISTORY_DELIMITER));
    int writes = 0;
    platform_testing::SetSettingsWriteObserver([&] {
        if (++writes == 1) {
            EXPECT_TRUE(home.BlockFolderWithFile());
        }
    });
    m_trace.Clear();
    EXPECT_FALSE(ClearStoredHistory());
    platform_testing::SetSettingsWriteObserver({});
    EXPECT_EQ(m_trace.Messages(), Messages{"error3 in OnRegistryClear"});
    ASSERT_TRUE(home.Unblock());
    EXPECT_EQ(Stored(HISTORY_VALUE_IP).units, u"\0"s);
    EXPECT_EQ(Stored(HISTORY_VALUE_PORT).units, u"80" HISTORY_DELIMITER u"\0"s);
}

}  // namespace
