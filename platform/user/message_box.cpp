// MessageBoxW: answered by a test's answerer, shown modally on the UI thread, or shown for a
// worker thread on the UI thread while only the worker waits.
#include <QCoreApplication>
#include <QThread>

#include "platform/user.h"
#include "platform/user/message_box_answerer.h"
#include "platform/user/message_box_dialog.h"
#include "platform/user/window.h"
#include "platform/user/worker_message_box.h"

/* MessageBoxW: the button pressed (IDOK, IDCANCEL); 0 when no box can be shown (no Qt
   application). A NULL caption shows "Error". */
int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    const std::u16string text = lpText == nullptr ? std::u16string() : std::u16string(lpText);
    const std::u16string caption = lpCaption == nullptr ? u"Error" : std::u16string(lpCaption);
    if (std::optional<int> answer = platform_user::AnswerMessageBox(text, uType)) return *answer;

    if (!platform_user::WidgetsAvailable()) return 0;
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return platform_user::ShowWorkerMessageBox(text, caption, uType);
    }
    std::unique_ptr<QMessageBox> box =
        platform_user::MakeMessageBox(platform_user::MessageBoxParent(hWnd), text, caption, uType);
    return platform_user::MessageBoxResult(box->exec(), uType);
}
