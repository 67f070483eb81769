// Helpers of the window and dialog tests: real dialogs offscreen, clicks and keys as a user's.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <algorithm>

#include "platform/testing/hooks.h"
#include "platform/windows.h"
#include "res/resource.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace user_test {

// The login template, its three values exchanged, the ID limited to 8; counts its exchanges.
class LoginLikeDlg : public CDialog {
public:
    LoginLikeDlg() : CDialog(IDD_LOGIN) {}
    CString m_strID, m_strPassword;
    BOOL m_bSave = FALSE;
    CButton m_check;
    int exchanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        ++exchanges;
        DDX_Control(pDX, IDC_CHECK_SAVE_PASSWORD, m_check);
        DDX_Text(pDX, IDC_EDIT_ID, m_strID);
        DDV_MaxChars(pDX, m_strID, 8);
        DDX_Text(pDX, IDC_EDIT_PASSWORD, m_strPassword);
        DDX_Check(pDX, IDC_CHECK_SAVE_PASSWORD, m_bSave);
    }
};

// The window's text as the platform reads it.
inline std::u16string TextOf(HWND hWnd) {
    std::u16string text(GetWindowTextLengthW(hWnd) + 1, u'\0');
    text.resize(GetWindowTextW(hWnd, text.data(), static_cast<int>(text.size())));
    return text;
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

// Sends one key press and release to the widget, or one of each for every character of text.
inline void PressKey(QWidget* widget, int key, const QString& text = QString()) {
    for (int i = 0; i < std::max<qsizetype>(1, text.size()); ++i) {
        const QString typed = text.isEmpty() ? text : text.mid(i, 1);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(widget, &release);
    }
}

}  // namespace user_test
