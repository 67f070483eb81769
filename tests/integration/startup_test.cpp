// The program's start-up: the socket-layer check and the modal main dialog whose end is the
// program's end, with the history kept from one run to the next.
#include <QComboBox>
#include <QTimer>

#include "app/pemblar_app.h"
#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/window_pixels.h"

namespace {

TEST(StartupTest, AFailedSocketLayerShowsItsMessageAndNeverOpensTheDialog) {
    ScopedSettingsHome home;
    std::vector<std::u16string> boxes;
    platform_testing::SetMessageBoxAnswerer([&](const std::u16string& text, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    platform_testing::FailSocketLayerStartup(true);
    const int windowsBefore = platform_testing::LiveWindowCount();
    EXPECT_FALSE(AfxGetApp()->InitInstance());
    platform_testing::FailSocketLayerStartup(false);
    platform_testing::SetMessageBoxAnswerer(nullptr);
    EXPECT_EQ(boxes, std::vector<std::u16string>{u"Windows CE sockets initialization failed."});
    EXPECT_EQ(platform_testing::LiveWindowCount(), windowsBefore);
    EXPECT_TRUE(home.FolderEntries().isEmpty()) << "the settings are neither loaded nor saved";
}

// Runs the program's start-up: adds `add` to the address list once the main dialog shows, then
// closes it; the address list's items as the dialog showed them, then the entry's text.
std::string RunProgram(const std::u16string& add) {
    QStringList shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        CWnd* main = AfxGetApp()->m_pMainWnd;
        if (main == nullptr || main->m_hWnd == nullptr) return;
        poll.stop();
        const HWND list = GetDlgItem(main->m_hWnd, IDC_COMBO_IP);
        auto* combo = qobject_cast<QComboBox*>(test_support::WidgetOf(list));
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        shown << combo->currentText();
        // As the history's add does, through the list's own message.
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(add.c_str()));
        SendMessageW(main->m_hWnd, WM_CLOSE, 0, 0);
    });
    poll.start(10);
    EXPECT_FALSE(AfxGetApp()->InitInstance());
    EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr);
    return shown.join(u',').toStdString();
}

// The history survives a restart; the entry shows item 0 of the sorted list. Where the settings
// folder cannot be made, the program runs as ever and standard error names the file once.
TEST(StartupTest, TheHistorySurvivesARestartAndUnusableSettingsAreSaidOnce) {
    {
        ScopedSettingsHome home;
        EXPECT_EQ(RunProgram(u"192.168.0.20"), "") << "first run: empty history";
        RunProgram(u"10.0.0.5");
        EXPECT_EQ(RunProgram(u"10.0.0.5"), "10.0.0.5,192.168.0.20,10.0.0.5");
    }
    ScopedSettingsHome home;
    ASSERT_TRUE(home.BlockFolderWithFile());
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunProgram(u"10.0.0.5"), "");
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    const QStringList lines = said.split(u'\n').filter(home.SettingsFile());
    ASSERT_EQ(lines.size(), 1) << said.toStdString();
    EXPECT_TRUE(lines[0].contains("cannot be made or read")) << said.toStdString();
}

}  // namespace
