// The process entry of the platform: checks for a display, constructs the Qt application, takes
// the version resource and the application's name, and runs the application object's start-up,
// which is the program's life.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/afx.h"
#include "platform/entry/font_cache.h"
#include "platform/user/window.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// A platform chosen explicitly (offscreen, xcb, wayland) or a display to open.
bool HasDisplay() {
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fputs(
            "pemblar: no display to open: set DISPLAY or WAYLAND_DISPLAY, or "
            "QT_QPA_PLATFORM=offscreen to run without one\n",
            stderr);
        return 1;
    }
    const platform_entry::FontCacheFallback fontCache;
    QApplication application(argc, argv);
    fontCache.ReportMissingCache();
    if (afxResourceTable.version != nullptr) {
        QCoreApplication::setApplicationVersion(
            platform_user::ToQString(afxResourceTable.version->fileVersion));
    }
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        std::fputs("pemblar: the program has no application object\n", stderr);
        return 1;
    }
    // The desktop shows the application's name on its window; closing windows never quits.
    QGuiApplication::setApplicationDisplayName(platform_user::ToQString(app->m_pszAppName));
    // Wayland desktops find the program's desktop entry, and so its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("pemblar"));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The framework runs no application message loop: the modal run inside InitInstance is the
    // program's life, and the program ends when InitInstance returns.
    app->InitInstance();
    return 0;
}
