// What the history does on each failure of the settings store, made real: a file where the
// settings folder should be, a file size limit that a write runs into, the folder taken away
// between two writes.
#include <QString>
#include <optional>
#include <string>

#include "history/history_fixture.h"
#include "platform/testing/hooks.h"
#include "support/file_size_limit.h"

namespace {

enum class Op { kLoad, kSave, kClear };
// The lists hold {a} and {80}, both values {1} before the operation.
enum class Fault { kNoFolder, kManyIps, kManyPorts, kManyStoredPorts, kNoFolderAfterFirstWrite };

TEST_F(HistoryTest, EachFailureIsReportedAndEndsTheOperationLeavingTheLists) {
    using enum Op;
    using enum Fault;
    // 700 ports take 9800 units: more than the 4096-byte file limit set with each kMany fault.
    Texts many;
    for (int port = 10000; port < 10700; ++port)
        many.push_back(QString::number(port).toStdU16String());
    const std::u16string old = Encoded({u"1"});
    const struct Row {
        Op op;
        Fault fault;
        std::string message;
        std::u16string ipAfter, portAfter;
    } rows[] = {
        {kLoad, kNoFolder, "error1 in OnInitDialog", old, old},
        {kSave, kNoFolder, "error1 in SaveIpPortControlToRegistry", old, old},
        {kClear, kNoFolder, "error1 in OnRegistryClear", old, old},
        {kSave, kManyIps, "error2 in SaveIpPortControlToRegistry", old, old},
        {kSave, kManyPorts, "error3 in SaveIpPortControlToRegistry", Encoded({u"a"}), old},
        {kClear, kManyStoredPorts, "error2 in OnRegistryClear", old, Encoded(many)},
        {kClear, kNoFolderAfterFirstWrite, "error3 in OnRegistryClear", u"", old},
    };
    for (const auto& [op, fault, message, ipAfter, portAfter] : rows) {
        SCOPED_TRACE(message);
        ScopedSettingsHome home;
        ASSERT_TRUE(Store(HISTORY_VALUE_IP, old));
        ASSERT_TRUE(Store(HISTORY_VALUE_PORT, fault == kManyStoredPorts ? Encoded(many) : old));
        SetItems(m_dialog.m_comboIP, fault == kManyIps ? many : Texts{u"a"});
        SetItems(m_dialog.m_comboPort, fault == kManyPorts ? many : Texts{u"80"});
        const Texts ips = Items(m_dialog.m_comboIP), ports = Items(m_dialog.m_comboPort);
        m_trace.Clear();
        const bool blocked = fault == kNoFolder || fault == kNoFolderAfterFirstWrite;
        std::optional<ScopedFileSizeLimit> limit;
        ASSERT_TRUE(blocked || limit.emplace(4096).Active());
        ASSERT_TRUE(fault != kNoFolder || home.BlockFolderWithFile());
        if (fault == kNoFolderAfterFirstWrite)
            platform_testing::SetSettingsWriteObserver([&] { home.BlockFolderWithFile(); });
        EXPECT_FALSE(op == kLoad ? Load() : op == kSave ? (Save(), false) : ClearStoredHistory());
        platform_testing::SetSettingsWriteObserver({});
        limit.reset();
        ASSERT_TRUE(!blocked || home.Unblock());
        EXPECT_EQ(std::vector<std::string>{message}, m_trace.Messages());
        EXPECT_EQ(ips, Items(m_dialog.m_comboIP));
        EXPECT_EQ(ports, Items(m_dialog.m_comboPort));
        EXPECT_EQ(ipAfter + u'\0', Stored(HISTORY_VALUE_IP));
        EXPECT_EQ(portAfter + u'\0', Stored(HISTORY_VALUE_PORT));
    }
}

}  // namespace
