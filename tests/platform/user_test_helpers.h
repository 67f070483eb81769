// Helpers of the user-family and dialog-framework tests: driving real dialogs under the
// offscreen platform, answering message boxes, and typing into entries.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QString>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/testing/hooks.h"
#include "platform/windows.h"
#include "res/resource.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace user_test {

// The login template with its three values exchanged (the check box also bound as a control)
// and the ID limited to `idLimit` characters; counts its exchanges.
class LoginLikeDlg : public CDialog {
public:
    explicit LoginLikeDlg(int idLimit = 8) : CDialog(IDD_LOGIN), m_idLimit(idLimit) {}
    CString m_strID;
    CString m_strPassword;
    BOOL m_bSave = FALSE;
    CButton m_check;
    int exchanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        ++exchanges;
        DDX_Control(pDX, IDC_CHECK_SAVE_PASSWORD, m_check);
        DDX_Text(pDX, IDC_EDIT_ID, m_strID);
        DDV_MaxChars(pDX, m_strID, m_idLimit);
        DDX_Text(pDX, IDC_EDIT_PASSWORD, m_strPassword);
        DDX_Check(pDX, IDC_CHECK_SAVE_PASSWORD, m_bSave);
    }

private:
    int m_idLimit;
};

// The main window's template with no behaviour of its own.
class MainLikeDlg : public CDialog {
public:
    MainLikeDlg() : CDialog(IDD_PEMBLAR_DIALOG) {}
};

// Answers every message box with `answer` and records the texts, for the life of the object.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK) {
        platform_testing::SetMessageBoxAnswerer(
            [this, answer](const std::u16string& text, UINT type) {
                std::lock_guard<std::mutex> guard(m_lock);
                m_texts.push_back(text);
                m_types.push_back(type);
                return answer;
            });
    }
    ~MessageBoxRecorder() { platform_testing::SetMessageBoxAnswerer(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<std::u16string> Texts() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_texts;
    }
    std::vector<UINT> Types() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_types;
    }

private:
    std::mutex m_lock;
    std::vector<std::u16string> m_texts;
    std::vector<UINT> m_types;
};

// The control's text as the platform reads it.
inline std::u16string TextOf(HWND hWnd) {
    CString text;
    CWnd wrapper;
    wrapper.m_hWnd = hWnd;
    wrapper.GetWindowText(text);
    wrapper.m_hWnd = nullptr;
    return text.Text();
}

// Clicks the dialog's button with the id through Qt, as a user would.
inline void Click(HWND hDlg, int id) {
    auto* button = qobject_cast<QAbstractButton*>(test_support::WidgetOf(GetDlgItem(hDlg, id)));
    ASSERT_NE(button, nullptr);
    button->click();
}

// Once the event loop runs (inside a modal run), does `action` with the dialog's handle.
template <typename Action>
void WhenRunning(const CWnd& dialog, Action action) {
    QMetaObject::invokeMethod(
        qApp, [&dialog, action] { action(dialog.m_hWnd); }, Qt::QueuedConnection);
}

// Sends one key press and release to the widget.
inline void PressKey(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

// Types the text into the widget one character at a time.
inline void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) PressKey(widget, Qt::Key_unknown, QString(c));
}

}  // namespace user_test
