// The process entry of the platform: checks for a display, constructs the Qt application, takes
// the version and the application's name from the program's resources, and runs the application
// object's start-up, which is the program's life.
#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/afx.h"
#include "platform/entry/font_cache.h"

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
        std::fprintf(stderr,
                     "%s: no display to open: set DISPLAY or WAYLAND_DISPLAY, or "
                     "QT_QPA_PLATFORM=offscreen to run without one\n",
                     program_invocation_short_name);
        return 1;
    }
    const platform_entry::FontCacheFallback fontCache;
    QApplication application(argc, argv);
    fontCache.ReportMissingCache();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        std::fprintf(stderr, "%s: the program has no application object\n",
                     program_invocation_short_name);
        return 1;
    }
    const AFX_RESOURCE_TABLE& resources = AfxGetResourceTable();
    if (resources.version != nullptr) {
        QCoreApplication::setApplicationVersion(QString::fromUtf16(resources.version->fileVersion));
    }
    // The desktop shows the application's name on its window; closing windows never quits.
    if (LPCWSTR name = AfxGetAppName()) {
        QGuiApplication::setApplicationDisplayName(QString::fromUtf16(name));
    }
    // Wayland desktops find the program's desktop entry, and so its icon, by the program's name.
    QGuiApplication::setDesktopFileName(QCoreApplication::applicationName());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The framework runs no application message loop: the modal run inside InitInstance is the
    // program's life, and the program ends when InitInstance returns.
    app->InitInstance();
    return 0;
}
