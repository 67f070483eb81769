// The dialog's commands, and the host, port and connection state the camera thread works with.
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "dialog/dialog_fixture.h"
#include "platform/testing/hooks.h"

namespace {

TEST_F(DialogTest, TheHostAndPortAreTheEntriesTextsUpToAColonAndAsANumber) {
    CreateDialog();
    const struct {
        const char16_t *ip, *host, *port, *portText;
        int number;
    } rows[] = {
        {u"10.0.0.7", u"10.0.0.7", u"8080", u"8080", 8080},
        {u"10.0.0.7:81", u"10.0.0.7", u" 80", u" 80", 80},
        {u"cam:1:2", u"cam", u"80x", u"80x", 80},
        {u":81", u"", u"", u"", 0},
        {u"", u"", u"65536", u"65536", 65536},
        {u"h", u"h", u"123456", u"12345", 12345},  // cut to what the port entry accepts
        {u"h", u"h", u"-1", u"-1", -1},
        {u"h", u"h", u"x80", u"x80", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        m_dialog->m_strIP = row.ip;
        m_dialog->m_strPort = row.port;
        EXPECT_EQ(std::u16string(row.host), m_dialog->GetCameraHost().Text());
        CString text;
        EXPECT_EQ(row.number, m_dialog->GetCameraPort(&text));
        EXPECT_EQ(std::u16string(row.portText), text.Text());
    }
}

TEST_F(DialogTest, TheClearButtonEmptiesBothListsAndTheStoredHistory) {
    CreateDialog();
    m_dialog->m_comboIP.AddString(u"10.0.0.7");
    m_dialog->m_comboPort.AddString(u"80");
    m_dialog->DestroyWindow();  // saves the history
    CreateDialog();
    ASSERT_EQ(1, m_dialog->m_comboIP.GetCount());
    ASSERT_EQ(1, m_dialog->m_comboPort.GetCount());

    Click(IDC_BUTTON_CLEAR);
    EXPECT_EQ(0, m_dialog->m_comboIP.GetCount());
    EXPECT_EQ(0, m_dialog->m_comboPort.GetCount());
    TestDialog another;  // loads what the clear left stored
    ASSERT_TRUE(another.Create(IDD_PEMBLAR_DIALOG));
    EXPECT_EQ(0, another.m_comboIP.GetCount());
    EXPECT_EQ(0, another.m_comboPort.GetCount());
    another.DestroyWindow();
}

TEST_F(DialogTest, OnlyTheLatestConnectionsTicketChangesTheStateUntilTheDialogCloses) {
    CreateDialog();
    const DWORD stale = m_dialog->GetConnectionTicket();
    // Connect with no camera thread to be had, the login accepted (or closed after 10 s).
    platform_testing::FailThreadCreations(1);
    bool answered = false;
    int polls = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || answered) return;
        for (QPushButton* button : modal->findChildren<QPushButton*>())
            if (button->text() == "OK") answered = (button->click(), true);
        if (!answered && ++polls == 1000) modal->close();
    });
    answer.start(10);
    Click(IDC_BUTTON_CONNECT);
    answer.stop();
    ASSERT_TRUE(answered) << "the login never showed (or had no OK button)";
    const DWORD current = m_dialog->GetConnectionTicket();
    ASSERT_NE(stale, current);
    CString label;
    m_dialog->m_btnConnect.GetWindowText(label);
    EXPECT_EQ(u"Connect", label.Text());
    EXPECT_FALSE(m_dialog->m_bTrying || m_dialog->m_bConnected || m_dialog->m_bRunning);
    ASSERT_TRUE(m_dialog->m_bFirstFrame);

    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);  // closed by the dialog's close
    for (DWORD ticket : {stale, current}) {
        const bool latest = ticket == current;
        SCOPED_TRACE(latest ? "latest ticket" : "stale ticket");
        EXPECT_EQ(latest, m_dialog->IsCurrentConnection(ticket) != FALSE);
        EXPECT_EQ(latest, m_dialog->SetSocket(ticket, s) != FALSE);
        m_dialog->SetConnected(ticket, TRUE);
        m_dialog->SetTrying(ticket, TRUE);
        m_dialog->SetFirstFrame(ticket, FALSE);
        EXPECT_EQ(latest ? s : 0, m_dialog->m_socket);
        EXPECT_EQ(latest, m_dialog->m_bConnected != FALSE);
        EXPECT_EQ(latest, m_dialog->m_bTrying != FALSE);
        EXPECT_EQ(!latest, m_dialog->m_bFirstFrame != FALSE);
    }
    m_dialog->DestroyWindow();
    EXPECT_FALSE(m_dialog->IsCurrentConnection(current));
    EXPECT_FALSE(m_dialog->SetSocket(current, s + 1));
    EXPECT_EQ(s, m_dialog->m_socket);
}

}  // namespace
