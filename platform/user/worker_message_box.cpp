// Worker message boxes: the worker registers its request and posts it to the UI thread, which
// opens a box and completes the request when a button is pressed or the boxes are dismissed.
#include "platform/user/worker_message_box.h"

#include <QPointer>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/user.h"
#include "platform/user/message_box_dialog.h"
#include "platform/user/thread_mailbox.h"

namespace platform_user {

namespace {

struct WorkerBoxRequest {
    std::mutex lock;
    std::condition_variable answered;
    bool done = false;
    int result = IDCANCEL;
    QPointer<QMessageBox> box;  // used on the UI thread only
};

std::mutex g_lock;
bool g_dismissed = false;
std::vector<std::shared_ptr<WorkerBoxRequest>> g_requests;

// The first answer counts; the worker wakes.
void Complete(WorkerBoxRequest& request, int result) {
    std::lock_guard<std::mutex> guard(request.lock);
    if (request.done) return;
    request.done = true;
    request.result = result;
    request.answered.notify_all();
}

bool IsDone(WorkerBoxRequest& request) {
    std::lock_guard<std::mutex> guard(request.lock);
    return request.done;
}

// Runs on the UI thread.
void OpenBox(const std::shared_ptr<WorkerBoxRequest>& request, const std::u16string& text,
             const std::u16string& caption, UINT type) {
    if (IsDone(*request)) return;
    QMessageBox* box = MakeMessageBox(MessageBoxParent(nullptr), text, caption, type).release();
    QObject::connect(box, &QDialog::finished, box, [request, box, type](int qtResult) {
        Complete(*request, MessageBoxResult(qtResult, type));
        box->deleteLater();
    });
    request->box = box;
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

}  // namespace

int ShowWorkerMessageBox(const std::u16string& text, const std::u16string& caption, UINT type) {
    auto request = std::make_shared<WorkerBoxRequest>();
    {
        std::lock_guard<std::mutex> guard(g_lock);
        ThreadMailbox* ui = ApplicationMailbox();
        if (g_dismissed || ui == nullptr) return IDCANCEL;
        g_requests.push_back(request);
        PostWork(ui, [request, text, caption, type] { OpenBox(request, text, caption, type); });
    }
    int result;
    {
        std::unique_lock<std::mutex> guard(request->lock);
        request->answered.wait(guard, [&] { return request->done; });
        result = request->result;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    std::erase(g_requests, request);
    return result;
}

void DismissWorkerMessageBoxes() {
    std::vector<std::shared_ptr<WorkerBoxRequest>> open;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_dismissed = true;
        open = g_requests;
    }
    for (const std::shared_ptr<WorkerBoxRequest>& request : open) {
        Complete(*request, IDCANCEL);
        if (request->box != nullptr) request->box->done(QMessageBox::Cancel);
    }
}

int WorkerMessageBoxCount() {
    std::lock_guard<std::mutex> guard(g_lock);
    return static_cast<int>(g_requests.size());
}

void AllowWorkerMessageBoxes() {
    std::lock_guard<std::mutex> guard(g_lock);
    g_dismissed = false;
}

}  // namespace platform_user
