#include "integration/viewer_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <memory>

#include "platform/testing/hooks.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace {

QString ToQ(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// Answers the login dialog once it is the active modal window; polls until it is.
void AnswerLoginWhenShown(const LoginAnswer& answer, std::shared_ptr<LoginSeen> seen,
                          std::shared_ptr<bool> pressing) {
    QTimer::singleShot(10, qApp, [answer, seen, pressing] {
        if (!*pressing) return;
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            AnswerLoginWhenShown(answer, seen, pressing);
            return;
        }
        const QList<QLineEdit*> entries = dialog->findChildren<QLineEdit*>();
        auto* box = dialog->findChild<QCheckBox*>();
        if (entries.size() != 2 || box == nullptr) return;
        // The ID entry stands above the password entry.
        QLineEdit* id = entries[0]->y() < entries[1]->y() ? entries[0] : entries[1];
        QLineEdit* password = id == entries[0] ? entries[1] : entries[0];
        seen->shown = true;
        seen->id = id->text().toStdU16String();
        seen->password = password->text().toStdU16String();
        seen->savePassword = box->isChecked();
        id->setText(ToQ(answer.id));
        password->setText(ToQ(answer.password));
        box->setChecked(answer.savePassword);
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == (answer.ok ? "OK" : "Cancel")) button->click();
        }
    });
}

QWidget* Control(HWND dialog, int id) {
    return test_support::WidgetOf(GetDlgItem(dialog, id));
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
        auto* combo = qobject_cast<QComboBox*>(Control(m_viewer->m_hWnd, id));
        ASSERT_NE(combo, nullptr);
        combo->lineEdit()->setText(ToQ(text));
    }
}

void ViewerTest::ClickConnectButton() {
    auto* button = qobject_cast<QAbstractButton*>(Control(m_viewer->m_hWnd, IDC_BUTTON_CONNECT));
    ASSERT_NE(button, nullptr);
    button->click();
}

LoginSeen ViewerTest::PressConnect(const LoginAnswer& answer, Press press) {
    // The answer waits for the login dialog of this press only: a press that shows none (the
    // button ignored while trying) leaves no answer behind for a later one.
    auto seen = std::make_shared<LoginSeen>();
    auto pressing = std::make_shared<bool>(true);
    AnswerLoginWhenShown(answer, seen, pressing);
    if (press == Press::kClick) {
        ClickConnectButton();
    } else {
        QWidget* button = Control(m_viewer->m_hWnd, IDC_BUTTON_CONNECT);
        button->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), button);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(button, &enter);
    }
    *pressing = false;
    return *seen;
}

void ViewerTest::PressDisconnect() {
    EXPECT_EQ(ButtonText(), u"Disconnect");
    ClickConnectButton();
}

LoginSeen ViewerTest::ConnectToCamera(const LoginAnswer& answer) {
    Type(u"127.0.0.1", QString::number(m_camera.Port()).toStdU16String());
    return PressConnect(answer);
}

std::u16string ViewerTest::ButtonText() const {
    auto* button = qobject_cast<QAbstractButton*>(Control(m_viewer->m_hWnd, IDC_BUTTON_CONNECT));
    return button ? button->text().toStdU16String() : u"";
}

std::vector<std::u16string> ViewerTest::Items(int id) const {
    std::vector<std::u16string> items;
    if (auto* combo = qobject_cast<QComboBox*>(Control(m_viewer->m_hWnd, id))) {
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(combo->itemText(i).toStdU16String());
    }
    return items;
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

bool ViewerTest::IsStreaming() {
    return m_viewer->m_bConnected && !m_viewer->m_bTrying && ButtonText() == u"Disconnect";
}

std::array<int, 5> ViewerTest::LiveObjects() {
    return {platform_testing::OpenSocketCount(), platform_testing::LiveThreadCount(),
            platform_testing::LiveBitmapCount(), platform_testing::LiveWindowCount(),
            platform_testing::LiveDeviceContextCount()};
}
