// The window class of dialogs: the Qt dialog, the client surface, the caption and icons, and the
// state of a modal run.
#pragma once

#include <QDialog>
#include <QEventLoop>
#include <QImage>
#include <QPointer>
#include <memory>

#include "platform/user/window.h"

namespace platform_user {

// The widget of a dialog. Its paint dispatches WM_PAINT, whose handler draws on the surface,
// then shows the surface; closing sends WM_CLOSE,
// Escape sends IDCANCEL, and Enter clicks the focused push button, else the default one, else
// sends IDOK.
class DialogWidget : public QDialog {
public:
    DialogWidget(HWND hDlg, QImage* surface, QWidget* owner);

    void reject() override;
    /* Once the controls exist: in a dialog without a default push button, a push button takes
       Enter only while it has the focus and leaves it to the dialog otherwise. */
    void SettleDefaultButton();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool HasDefaultButton() const;

    HWND m_hDlg;
    QImage* m_surface;
};

// A modal run: shared by the dialog and the running loop, which may outlive the dialog.
struct ModalRun {
    bool ended = false;
    INT_PTR result = -1;
    QEventLoop* loop = nullptr;
};

class DialogClass : public WindowClass {
public:
    /* appWindow: the caption falls back to the application's name on the desktop. */
    DialogClass(HWND hDlg, QSize clientSize, QWidget* owner, bool appWindow, bool captionOk);
    ~DialogClass() override;
    DialogClass(const DialogClass&) = delete;
    DialogClass& operator=(const DialogClass&) = delete;

    QWidget* Widget() override { return m_widget.get(); }
    /* The client surface, at the widget's device pixel ratio (see FollowRatio). */
    QImage* Surface() override;
    std::u16string Text() const override { return m_text; }
    void SetText(const std::u16string& text) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    DialogWidget* Dialog() { return m_widget.get(); }

    /* Gives the surface the device pixel ratio of the window's screen (see the definition). */
    void FollowRatio();
    const std::shared_ptr<ModalRun>& Modal() const { return m_modal; }
    void SetInitialFocus(QWidget* widget) { m_initialFocus = widget; }
    QWidget* InitialFocus() const { return m_initialFocus.data(); }

private:
    void UpdateIcon();

    HWND m_hDlg;
    QSize m_clientSize;  // in the system's pixels
    QImage m_surface;    // in device pixels
    std::unique_ptr<DialogWidget> m_widget;
    std::u16string m_text;
    bool m_appWindow;
    bool m_captionOk;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    QPointer<QWidget> m_initialFocus;
    std::shared_ptr<ModalRun> m_modal = std::make_shared<ModalRun>();
};

/* The dialog class of the window on the calling thread; NULL for any other window. */
DialogClass* OwnedDialog(HWND hDlg);

}  // namespace platform_user
