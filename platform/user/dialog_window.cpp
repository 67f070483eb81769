// Making a dialog from its template: the dialog font's units place the controls; the
// application's window (WS_EX_APPWINDOW without DS_MODALFRAME) has the handheld's screen area as
// its client area; an owned dialog's position is taken in its owner's client area.
#include "platform/user/dialog_window.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "platform/gdi/default_font.h"
#include "platform/user.h"
#include "platform/user/control_class.h"
#include "platform/user/dialog_class.h"

namespace platform_user {

namespace {

// Template coordinates scaled by the dialog font's base units, as the platform does it: a
// horizontal unit is a quarter of the average width of the 52 Latin letters (rounded), a
// vertical unit an eighth of the font height; rounded half away from zero.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        const QString letters =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const int width = metrics.horizontalAdvance(letters);
        m_baseX = std::max(1, (width + 26) / 52);
        m_baseY = std::max(1, metrics.height());
    }
    int ToPixelsX(int units) const { return Scale(units, m_baseX, 4); }
    int ToPixelsY(int units) const { return Scale(units, m_baseY, 8); }
    QRect ToPixels(int x, int y, int cx, int cy) const {
        return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
    }

private:
    static int Scale(int units, int base, int parts) {
        const long long product = static_cast<long long>(units) * base;
        return static_cast<int>(product >= 0 ? (product + parts / 2) / parts
                                             : (product - parts / 2) / parts);
    }

    int m_baseX;
    int m_baseY;
};

const QSize kScreenArea(240, 268);  // the handheld's screen area, in pixels
const int kEntryHeightUnits = 12;   // a combo box's entry; the rest of its height is its list

// The top-left corner of the area the template position is taken in.
QPoint Origin(QWidget* owner) {
    if (owner != nullptr) return owner->mapToGlobal(QPoint(0, 0));
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? QPoint(0, 0) : screen->geometry().topLeft();
}

std::u16string LowerCase(LPCWSTR text) {
    return text == nullptr ? std::u16string() : FromQString(QString::fromUtf16(text).toLower());
}

void AddControl(Window& dialog, const DLGITEM_RESOURCE& item, const DialogUnits& units) {
    auto* dialogClass = static_cast<DialogClass*>(dialog.windowClass.get());
    const std::u16string className = LowerCase(item.className);
    std::unique_ptr<ControlClass> control = MakeControl(className, item, dialogClass->Dialog());
    if (control == nullptr) return;
    const std::shared_ptr<Window> window = NewWindow(className);
    if (window == nullptr) return;
    window->parent = dialog.handle;
    window->id = item.id;
    window->style = item.style;

    QRect area = units.ToPixels(item.x, item.y, item.cx, item.cy);
    if (window->className == u"combobox") {
        area.setHeight(std::min(area.height(), units.ToPixelsY(kEntryHeightUnits)));
    }
    QWidget* widget = control->Widget();
    widget->setGeometry(area);
    if ((item.style & WS_TABSTOP) != 0) {
        widget->setFocusPolicy(Qt::StrongFocus);
    } else if (widget->focusPolicy() != Qt::NoFocus) {
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    if ((item.style & WS_VISIBLE) == 0) widget->hide();

    control->NotifyDialog(dialog.handle, window->handle, item.id);
    window->windowClass = std::move(control);
    dialog.children.push_back(window->handle);
}

}  // namespace

const DLGTEMPLATE_RESOURCE* FindDialogTemplate(UINT id) {
    for (int i = 0; i < AfxGetResourceTable().dialogCount; ++i) {
        if (AfxGetResourceTable().dialogs[i]->id == id) return AfxGetResourceTable().dialogs[i];
    }
    return nullptr;
}

HWND CreateDialogWindow(const DLGTEMPLATE_RESOURCE& dialogTemplate, HWND owner,
                        WindowProcedure procedure, void* frameworkObject) {
    if (!WidgetsAvailable()) return nullptr;
    const QFont font = platform_gdi::DefaultFont();
    const DialogUnits units(font);
    const bool appWindow = (dialogTemplate.exStyle & WS_EX_APPWINDOW) != 0 &&
                           (dialogTemplate.style & DS_MODALFRAME) == 0;
    const bool captionOk = (dialogTemplate.exStyle & WS_EX_CAPTIONOKBTN) != 0;
    const QSize clientSize =
        appWindow ? kScreenArea
                  : QSize(units.ToPixelsX(dialogTemplate.cx), units.ToPixelsY(dialogTemplate.cy));
    QWidget* ownerWidget = TopLevelWidget(owner);

    const std::shared_ptr<Window> window = NewWindow(u"dialog");
    if (window == nullptr) return nullptr;
    window->style = dialogTemplate.style;
    window->procedure = std::move(procedure);
    window->frameworkObject = frameworkObject;
    auto dialogClass = std::make_unique<DialogClass>(window->handle, clientSize, ownerWidget,
                                                     appWindow, captionOk);
    DialogWidget* widget = dialogClass->Dialog();
    if (appWindow && ownerWidget == nullptr) widget->setWindowFlags(Qt::Window);
    widget->setFont(font);
    widget->setGeometry(QRect(Origin(ownerWidget) + QPoint(units.ToPixelsX(dialogTemplate.x),
                                                           units.ToPixelsY(dialogTemplate.y)),
                              clientSize));
    dialogClass->SetText(dialogTemplate.caption == nullptr
                             ? std::u16string()
                             : std::u16string(dialogTemplate.caption));
    window->windowClass = std::move(dialogClass);
    for (int i = 0; i < dialogTemplate.itemCount; ++i) {
        AddControl(*window, dialogTemplate.items[i], units);
    }
    widget->SettleDefaultButton();
    return window->handle;
}

std::u16string WindowClassName(HWND hWnd) {
    std::shared_ptr<Window> window = LookUpWindow(hWnd);
    return window == nullptr ? std::u16string() : window->className;
}

}  // namespace platform_user
