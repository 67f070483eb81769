#include "integration/viewer_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "platform/testing/hooks.h"
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

void ViewerTest::SetUp() {
    ASSERT_TRUE(m_camera.Start());
    m_threadsBefore = platform_testing::LiveThreadCount();
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
    for (auto [id, text] : {std::pair{IDC_COMBO_IP, ip}, std::pair{IDC_COMBO_PORT, port}}) {
        auto* combo = Control<QComboBox>(id);
        ASSERT_NE(combo, nullptr);
        combo->lineEdit()->setText(QString::fromStdU16String(text));
    }
}

void ViewerTest::ClickConnectButton() {
    auto* button = Control<QAbstractButton>(IDC_BUTTON_CONNECT);
    ASSERT_NE(button, nullptr);
    button->click();
}

Login ViewerTest::PressConnect(const Login& answer) {
    auto seen = std::make_shared<Login>();
    seen->ok = false;
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
    auto* button = Control<QAbstractButton>(IDC_BUTTON_CONNECT);
    return button ? button->text().toStdU16String() : u"";
}

std::vector<std::u16string> ViewerTest::Items(int comboId) const {
    std::vector<std::u16string> items;
    if (auto* combo = Control<QComboBox>(comboId)) {
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(combo->itemText(i).toStdU16String());
    }
    return items;
}

bool ViewerTest::IsStreaming() {
    return m_viewer->m_bConnected && !m_viewer->m_bTrying && ButtonText() == u"Disconnect";
}

std::array<int, 5> ViewerTest::LiveObjects() {
    return {platform_testing::OpenSocketCount(), platform_testing::LiveThreadCount(),
            platform_testing::LiveBitmapCount(), platform_testing::LiveWindowCount(),
            platform_testing::LiveDeviceContextCount()};
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

QMessageBox* ViewerTest::WaitForMessageBox(const QString& text) {
    QMessageBox* found = nullptr;
    test_support::PumpEventsUntil([&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible() && box->text() == text) found = box;
        }
        return found != nullptr;
    });
    return found;
}

void ViewerTest::ExpectTraced(const std::vector<std::string>& texts) {
    // A retired thread reports once its receive has been woken, which may follow the wait.
    test_support::PumpEventsUntil([&] {
        return std::ranges::all_of(texts,
                                   [&](const std::string& t) { return m_trace.Count(t) > 0; });
    });
    for (const std::string& text : texts) {
        EXPECT_GE(m_trace.Count(text), 1)
            << text << " among " << ::testing::PrintToString(m_trace.Messages());
    }
}
