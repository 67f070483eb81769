#include "integration/viewer_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "support/pump_events.h"

namespace {

// Answers the login dialog once it is the active modal window, polling until it is or until the
// press has returned (a press ignored while trying shows none).
void AnswerLoginWhenShown(const Login& answer, std::shared_ptr<Login> seen,
                          std::shared_ptr<bool> pressing) {
    QTimer::singleShot(10, qApp, [answer, seen, pressing] {
        if (!*pressing) return;
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return AnswerLoginWhenShown(answer, seen, pressing);
        QList<QLineEdit*> entries = dialog->findChildren<QLineEdit*>();
        auto* box = dialog->findChild<QCheckBox*>();
        if (entries.size() != 2 || box == nullptr) return;
        // The ID entry stands above the password entry.
        if (entries[0]->y() > entries[1]->y()) std::swap(entries[0], entries[1]);
        *seen = {entries[0]->text().toStdU16String(), entries[1]->text().toStdU16String(),
                 box->isChecked(), true};
        entries[0]->setText(QString::fromStdU16String(answer.id));
        entries[1]->setText(QString::fromStdU16String(answer.password));
        box->setChecked(answer.savePassword);
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == (answer.ok ? "OK" : "Cancel")) button->click();
        }
    });
}

}  // namespace

void WaitOffTheUiThread(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ViewerTest::TearDown() {
    if (m_viewer && m_viewer->m_hWnd != nullptr) CloseViewer();
    m_viewer.reset();
    m_camera.Stop();
}

void ViewerTest::StartViewer() {
    m_viewer = std::make_unique<ViewerDialog>();
    // The application's main window, as the start-up makes it before the dialog runs.
    AfxGetApp()->m_pMainWnd = m_viewer.get();
    ASSERT_TRUE(m_viewer->Create(IDD_PEMBLAR_DIALOG));
    test_support::WidgetOf(m_viewer->m_hWnd)->show();
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(50));
}

void ViewerTest::CloseViewer() {
    m_viewer->DestroyWindow();
    AfxGetApp()->m_pMainWnd = nullptr;
}

void ViewerTest::Type(const std::u16string& ip, const std::u16string& port) {
    Control<QComboBox>(IDC_COMBO_IP)->lineEdit()->setText(QString::fromStdU16String(ip));
    Control<QComboBox>(IDC_COMBO_PORT)->lineEdit()->setText(QString::fromStdU16String(port));
}

void ViewerTest::ClickConnectButton() {
    Control<QAbstractButton>(IDC_BUTTON_CONNECT)->click();
}

Login ViewerTest::PressConnect(const Login& answer) {
    auto seen = std::make_shared<Login>(Login{{}, {}, false, false});
    auto pressing = std::make_shared<bool>(true);
    AnswerLoginWhenShown(answer, seen, pressing);
    ClickConnectButton();
    *pressing = false;
    return *seen;
}

Login ViewerTest::ConnectToCamera(const Login& answer) {
    Type(u"127.0.0.1", QString::number(m_camera.Port()).toStdU16String());
    return PressConnect(answer);
}

std::u16string ViewerTest::ButtonText() const {
    return Control<QAbstractButton>(IDC_BUTTON_CONNECT)->text().toStdU16String();
}

std::vector<std::u16string> ViewerTest::Items(int comboId) const {
    std::vector<std::u16string> items;
    auto* combo = Control<QComboBox>(comboId);
    for (int i = 0; i < combo->count(); ++i) items.push_back(combo->itemText(i).toStdU16String());
    return items;
}

bool ViewerTest::IsStreaming() {
    return m_viewer->m_bConnected && !m_viewer->m_bTrying && ButtonText() == u"Disconnect";
}

bool ViewerTest::WaitForFrames(int n) {
    const int target = m_camera.FramesSent() + n;
    return test_support::PumpEventsUntil([&] { return m_camera.FramesSent() >= target; },
                                         std::chrono::seconds(20));
}

bool ViewerTest::WaitForDisconnected() {
    return test_support::PumpEventsUntil([&] {
        return !m_viewer->m_bConnected && !m_viewer->m_bTrying && ButtonText() == u"Connect";
    });
}
