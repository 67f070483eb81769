// The dialog class: caption, icons, close and paint of a dialog window.
#include "platform/user/dialog_class.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>
#include <QtMath>
#include <algorithm>

#include "platform/user.h"
#include "platform/user/icons.h"

namespace platform_user {

DialogWidget::DialogWidget(HWND hDlg, QImage* surface, QWidget* owner)
    : QDialog(owner), m_hDlg(hDlg), m_surface(surface) {
    // Every pixel comes from the surface: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DialogWidget::reject() {
    QtDispatchScope scope(m_hDlg);
    SendMessageW(m_hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void DialogWidget::paintEvent(QPaintEvent* event) {
    (void)event;
    QtDispatchScope scope(m_hDlg);
    DialogClass* dialog = OwnedDialog(m_hDlg);
    if (dialog != nullptr) {
        dialog->FollowRatio();
        SendMessageW(m_hDlg, WM_PAINT, 0, 0);
    }
    // A handler that destroyed the window leaves nothing to show.
    if (OwnedWindow(m_hDlg) == nullptr) return;
    // Copied in bands: Qt spreads larger copies over its worker threads, whose own locks the
    // thread checker cannot see, and a band this size is copied on this thread at once.
    const int kBandRows = 32;
    const qreal ratio = m_surface->devicePixelRatio();
    QPainter painter(this);
    for (int top = 0; top < m_surface->height(); top += kBandRows) {
        const int rows = std::min(kBandRows, m_surface->height() - top);
        painter.drawImage(QPointF(0, top / ratio), *m_surface,
                          QRect(0, top, m_surface->width(), rows));
    }
}

void DialogWidget::closeEvent(QCloseEvent* event) {
    // The dialog decides: its handling of WM_CLOSE ends or destroys it, or not.
    event->ignore();
    QtDispatchScope scope(m_hDlg);
    SendMessageW(m_hDlg, WM_CLOSE, 0, 0);
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->key() == Qt::Key_Enter && event->modifiers() == Qt::KeypadModifier);
    if (!enter || !plain) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter that reached the dialog, as the platform's dialog manager takes it: a focused push
    // button's click, else the default push button's (Qt's own handling), else IDOK.
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
        if (focused->isEnabled()) focused->click();
        return;
    }
    if (HasDefaultButton()) {
        QDialog::keyPressEvent(event);
        return;
    }
    QtDispatchScope scope(m_hDlg);
    SendMessageW(m_hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void DialogWidget::SettleDefaultButton() {
    // Qt makes the first push button that takes the focus the default of a dialog that has none,
    // and keeps it so after the focus moves on; such a dialog's buttons leave Enter to it.
    if (HasDefaultButton()) return;
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
}

bool DialogWidget::HasDefaultButton() const {
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const QPushButton* button) { return button->isDefault(); });
}

DialogClass::DialogClass(HWND hDlg, QSize clientSize, QWidget* owner, bool appWindow,
                         bool captionOk)
    : m_hDlg(hDlg),
      m_clientSize(clientSize),
      m_widget(std::make_unique<DialogWidget>(hDlg, &m_surface, owner)),
      m_appWindow(appWindow),
      m_captionOk(captionOk) {
    m_widget->setFixedSize(clientSize);
    FollowRatio();
    SetText(std::u16string());
}

DialogClass::~DialogClass() {
    if (m_modal->loop != nullptr) m_modal->loop->exit();
}

void DialogClass::SetText(const std::u16string& text) {
    m_text = text;
    // The application's window shows the application's name on the desktop while it has no
    // caption of its own.
    if (text.empty() && m_appWindow) {
        m_widget->setWindowTitle(QGuiApplication::applicationDisplayName());
    } else {
        m_widget->setWindowTitle(ToQString(text));
    }
}

bool DialogClass::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_CLOSE:
            // The caption-bar OK button of the application's window sends IDOK; otherwise
            // closing cancels.
            SendMessageW(m_hDlg, WM_COMMAND, MAKEWPARAM(m_captionOk ? IDOK : IDCANCEL, BN_CLICKED),
                         0);
            *result = 0;
            return true;
        case WM_SETICON: {
            HICON& slot = wParam == ICON_BIG ? m_bigIcon : m_smallIcon;
            *result = reinterpret_cast<LRESULT>(slot);
            slot = reinterpret_cast<HICON>(lParam);
            UpdateIcon();
            return true;
        }
        default:
            return false;
    }
}

QImage* DialogClass::Surface() {
    FollowRatio();
    return &m_surface;
}

// The surface has the client area's size in the device pixels of the window's screen, so that
// what the system draws reaches a HiDPI screen at its resolution. A window moved to a screen of
// another ratio gets a new surface, with the earlier picture scaled onto it until it is painted.
void DialogClass::FollowRatio() {
    // The window's ratio is its backing store's; before the window exists, its screen's.
    const QWindow* window = m_widget->windowHandle();
    const qreal ratio =
        window != nullptr ? window->devicePixelRatio() : m_widget->devicePixelRatio();
    if (!m_surface.isNull() && m_surface.devicePixelRatio() == ratio) return;
    const QSize pixels(qCeil(m_clientSize.width() * ratio), qCeil(m_clientSize.height() * ratio));
    QImage surface;
    if (m_surface.isNull()) {
        surface = QImage(pixels, QImage::Format_RGB32);
        surface.fill(m_widget->palette().color(QPalette::Window));
    } else {
        surface = m_surface.scaled(pixels).convertToFormat(QImage::Format_RGB32);
    }
    surface.setDevicePixelRatio(ratio);
    m_surface = std::move(surface);
}

void DialogClass::UpdateIcon() {
    QIcon icon = IconOf(m_bigIcon);
    if (m_smallIcon != m_bigIcon) {
        for (const QSize& size : IconOf(m_smallIcon).availableSizes()) {
            icon.addPixmap(IconOf(m_smallIcon).pixmap(size));
        }
    }
    m_widget->setWindowIcon(icon);
}

DialogClass* OwnedDialog(HWND hDlg) {
    std::shared_ptr<Window> window = OwnedWindow(hDlg);
    if (window == nullptr || window->className != u"dialog") return nullptr;
    return static_cast<DialogClass*>(window->windowClass.get());
}

}  // namespace platform_user
