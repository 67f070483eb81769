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
    EXPECT_TRUE(home.FolderEntries().isEmpty())
        << "nothing is loaded from or saved to the settings";
}

// Runs the program's start-up; `act` runs once the main dialog shows, and must end it.
void RunProgram(const std::function<void(HWND dialog)>& act) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        CWnd* main = AfxGetApp()->m_pMainWnd;
        if (main == nullptr || main->m_hWnd == nullptr) return;
        poll.stop();
        act(main->m_hWnd);
    });
    poll.start(10);
    EXPECT_FALSE(AfxGetApp()->InitInstance());
    EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr);
}

QComboBox* AddressList(HWND dialog) {
    return qobject_cast<QComboBox*>(test_support::WidgetOf(GetDlgItem(dialog, IDC_COMBO_IP)));
}

TEST(StartupTest, TheDialogIsTheProgramsLifeAndTheHistorySurvivesARestart) {
    ScopedSettingsHome home;
    RunProgram([](HWND dialog) {
        ASSERT_NE(AddressList(dialog), nullptr);
        EXPECT_EQ(AddressList(dialog)->count(), 0) << "first run: empty history";
        // Items added as the history's add does, through the list's own message.
        const HWND list = GetDlgItem(dialog, IDC_COMBO_IP);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"192.168.0.20"));
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"10.0.0.5"));
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    // Second run: the history was saved; the entries show item 0 of each sorted list.
    RunProgram([](HWND dialog) {
        EXPECT_EQ(AddressList(dialog)->count(), 2);
        EXPECT_EQ(AddressList(dialog)->currentText(), QStringLiteral("10.0.0.5"));
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
}

// A home where the settings folder cannot be made (read-only, or a file in the way): the program
// runs as ever, and standard error names the settings file once, not at every load and save.
TEST(StartupTest, UnusableSettingsAreSaidInOneLineAndTheProgramRunsWithoutThem) {
    ScopedSettingsHome home;
    ASSERT_TRUE(home.BlockFolderWithFile());
    bool ran = false;
    testing::internal::CaptureStderr();
    RunProgram([&](HWND dialog) {
        ran = true;
        SendMessageW(GetDlgItem(dialog, IDC_COMBO_IP), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(u"10.0.0.5"));
        SendMessageW(dialog, WM_CLOSE, 0, 0);  // saves the history
    });
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_TRUE(ran);
    const QStringList lines = said.split(u'\n').filter(home.SettingsFile());
    ASSERT_EQ(lines.size(), 1) << said.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("cannot be made or read"))) << said.toStdString();
}

}  // namespace
