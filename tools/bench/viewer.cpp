#include "bench/viewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "bench/camera_process.h"
#include "platform/user/window.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

QWidget* WidgetOf(HWND hWnd) {
    auto window = platform_user::LookUpWindow(hWnd);
    return window && window->windowClass ? window->windowClass->Widget() : nullptr;
}

QWidget* Control(HWND dialog, int id) {
    return WidgetOf(GetDlgItem(dialog, id));
}

// Runs the event loop until the condition holds, checking it every few milliseconds; false
// when `patience` passes without `progress` changing.
bool RunUntil(const std::function<bool()>& done, const std::function<long long()>& progress,
              std::chrono::seconds patience) {
    if (done()) return true;
    QEventLoop loop;
    QTimer check;
    bool reached = false;
    long long last = progress();
    auto lastChange = Clock::now();
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) {
            reached = true;
            loop.quit();
            return;
        }
        const long long now = progress();
        if (now != last) {
            last = now;
            lastChange = Clock::now();
        } else if (Clock::now() - lastChange > patience) {
            loop.quit();
        }
    });
    check.start(5);
    loop.exec();
    return reached;
}

// Answers the login dialog with an ID and password once it is the active modal window.
void AnswerLoginWhenShown(std::shared_ptr<bool> pending) {
    QTimer::singleShot(5, qApp, [pending] {
        if (!*pending) return;
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            AnswerLoginWhenShown(pending);
            return;
        }
        const QList<QLineEdit*> entries = dialog->findChildren<QLineEdit*>();
        for (QLineEdit* entry : entries) entry->setText(QStringLiteral("admin"));
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("OK")) button->click();
        }
        *pending = false;
    });
}

}  // namespace

Viewer::~Viewer() {
    if (m_dialog && m_dialog->m_hWnd != nullptr) m_dialog->DestroyWindow();
    if (AfxGetApp() != nullptr) AfxGetApp()->m_pMainWnd = nullptr;
}

bool Viewer::Open() {
    m_dialog = std::make_unique<BenchDialog>();
    AfxGetApp()->m_pMainWnd = m_dialog.get();
    if (!m_dialog->Create(IDD_PEMBLAR_DIALOG)) return false;
    QWidget* widget = WidgetOf(m_dialog->m_hWnd);
    if (widget == nullptr) return false;
    widget->show();
    return true;
}

void Viewer::Click() {
    if (auto* button =
            qobject_cast<QAbstractButton*>(Control(m_dialog->m_hWnd, IDC_BUTTON_CONNECT))) {
        button->click();
    }
}

bool Viewer::Connect(uint16_t port) {
    const std::pair<int, QString> texts[] = {{IDC_COMBO_IP, QStringLiteral("127.0.0.1")},
                                             {IDC_COMBO_PORT, QString::number(port)}};
    for (const auto& [id, text] : texts) {
        auto* combo = qobject_cast<QComboBox*>(Control(m_dialog->m_hWnd, id));
        if (combo == nullptr || combo->lineEdit() == nullptr) return false;
        combo->lineEdit()->setText(text);
    }
    auto pending = std::make_shared<bool>(true);
    AnswerLoginWhenShown(pending);
    Click();
    *pending = false;
    return RunUntil(
        [&] { return m_dialog->m_bConnected && !m_dialog->m_bTrying && ShownFrame() > 0; },
        [] { return 0LL; }, std::chrono::seconds(20));
}

bool Viewer::Disconnect() {
    Click();
    return RunUntil(
        [&] {
            auto* button =
                qobject_cast<QAbstractButton*>(Control(m_dialog->m_hWnd, IDC_BUTTON_CONNECT));
            return !m_dialog->m_bConnected && !m_dialog->m_bTrying && button != nullptr &&
                   button->text() == QStringLiteral("Connect");
        },
        [] { return 0LL; }, std::chrono::seconds(20));
}

bool Viewer::WaitForFrames(long long frames) {
    const long long target = ShownFrame() + frames;
    return RunUntil([&] { return ShownFrame() >= target; }, [&] { return ShownFrame(); },
                    std::chrono::seconds(20));
}

long long Viewer::ShownFrame() const {
    return FrameNumberOfCaption(static_cast<LPCWSTR>(m_dialog->m_strStamp));
}

std::set<pid_t> Viewer::Threads() {
    std::set<pid_t> threads;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        threads.insert(std::atoi(task.path().filename().c_str()));
    }
    return threads;
}

}  // namespace bench
