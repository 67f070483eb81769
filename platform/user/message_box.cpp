// Message boxes as Qt message boxes: MB_OK shows OK, MB_OKCANCEL OK and Cancel (Escape cancels);
// MB_ICONEXCLAMATION shows the warning icon. A box of the UI thread runs modally; a worker's
// request is posted to the UI thread, which opens the box and completes the request when a
// button is pressed or the boxes are dismissed, while only the worker waits.
#include "platform/user/message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <mutex>
#include <vector>

#include "platform/kernel/completion.h"
#include "platform/user.h"
#include "platform/user/thread_mailbox.h"
#include "platform/user/user_seams.h"
#include "platform/user/window.h"

namespace platform_user {

platform_kernel::Seam<MessageBoxAnswerer> g_messageBoxAnswerer;

namespace {

const UINT kButtonMask = 0x0000000Fu;
const UINT kIconMask = 0x000000F0u;

struct WorkerBoxRequest {
    platform_kernel::Completion<int> answer;
    QPointer<QMessageBox> box;  // used on the UI thread only
};

std::mutex g_lock;  // guards what follows
HWND g_mainWindow = nullptr;
bool g_dismissed = false;
std::vector<std::shared_ptr<WorkerBoxRequest>> g_requests;

// Over hWnd's window, else over the main window; NULL if neither is the calling thread's.
QWidget* BoxParent(HWND hWnd) {
    if (QWidget* over = TopLevelWidget(hWnd)) return over;
    std::unique_lock<std::mutex> guard(g_lock);
    const HWND main = g_mainWindow;
    guard.unlock();
    return TopLevelWidget(main);
}

std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, const std::u16string& text,
                                     const std::u16string& caption, UINT type) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(ToQString(caption));
    box->setText(ToQString(text));
    if ((type & kIconMask) == MB_ICONEXCLAMATION) box->setIcon(QMessageBox::Warning);
    const bool okCancel = (type & kButtonMask) == MB_OKCANCEL;
    box->setStandardButtons(okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
    box->setEscapeButton(okCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

int BoxResult(int qtResult, UINT type) {
    return (type & kButtonMask) == MB_OKCANCEL && qtResult != QMessageBox::Ok ? IDCANCEL : IDOK;
}

// Runs on the UI thread.
void OpenWorkerBox(const std::shared_ptr<WorkerBoxRequest>& request, const std::u16string& text,
                   const std::u16string& caption, UINT type) {
    if (request->answer.IsDone()) return;
    // Qt deletes the box once it is finished.
    QMessageBox* box = MakeBox(BoxParent(nullptr), text, caption, type).release();
    QObject::connect(box, &QDialog::finished, box, [request, box, type](int qtResult) {
        request->answer.Complete(BoxResult(qtResult, type));
        box->deleteLater();
    });
    request->box = box;
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

int ShowWorkerBox(const std::u16string& text, const std::u16string& caption, UINT type) {
    auto request = std::make_shared<WorkerBoxRequest>();
    {
        std::lock_guard<std::mutex> guard(g_lock);
        ThreadMailbox* ui = ApplicationMailbox();
        if (g_dismissed || ui == nullptr) return IDCANCEL;
        g_requests.push_back(request);
        PostWork(ui,
                 [request, text, caption, type] { OpenWorkerBox(request, text, caption, type); });
    }
    const int result = request->answer.Wait();
    std::lock_guard<std::mutex> guard(g_lock);
    std::erase(g_requests, request);
    return result;
}

// Called on the UI thread.
void DismissWorkerBoxes() {
    std::vector<std::shared_ptr<WorkerBoxRequest>> open;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_dismissed = true;
        open = g_requests;
    }
    for (const std::shared_ptr<WorkerBoxRequest>& request : open) {
        request->answer.Complete(IDCANCEL);
        if (request->box != nullptr) request->box->done(QMessageBox::Cancel);
    }
}

}  // namespace

void SetApplicationMainWindow(HWND hWnd) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_mainWindow = hWnd;
    g_dismissed = false;
}

bool NoteWindowDestroying(HWND hWnd) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (hWnd == nullptr || hWnd != g_mainWindow) return false;
        g_mainWindow = nullptr;
    }
    DismissWorkerBoxes();
    return true;
}

void AllowWorkerMessageBoxes() {
    std::lock_guard<std::mutex> guard(g_lock);
    g_dismissed = false;
}

int WorkerMessageBoxCount() {
    std::lock_guard<std::mutex> guard(g_lock);
    return static_cast<int>(g_requests.size());
}

}  // namespace platform_user

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    const std::u16string text = lpText == nullptr ? std::u16string() : std::u16string(lpText);
    const std::u16string caption = lpCaption == nullptr ? u"Error" : std::u16string(lpCaption);
    if (const auto* answerer = platform_user::g_messageBoxAnswerer.Get()) {
        return (*answerer)(text, uType);
    }
    if (!platform_user::WidgetsAvailable()) return 0;
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return platform_user::ShowWorkerBox(text, caption, uType);
    }
    const std::unique_ptr<QMessageBox> box =
        platform_user::MakeBox(platform_user::BoxParent(hWnd), text, caption, uType);
    return platform_user::BoxResult(box->exec(), uType);
}
