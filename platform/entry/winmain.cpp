// The process entry of the platform: checks for a display, constructs the Qt application, takes
// the version and the application's name from the program's resources, and runs the application
// object's start-up, which is the program's life.
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/afx.h"

namespace {

// Where fontconfig keeps the user's font cache: $XDG_CACHE_HOME/fontconfig, ~/.cache/fontconfig.
QString UserFontCacheFolder() {
    QString cacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cacheHome.isEmpty()) cacheHome = QDir::homePath() + QStringLiteral("/.cache");
    return cacheHome + QStringLiteral("/fontconfig");
}

bool CanWriteIn(const QString& folder) {
    if (!QDir().mkpath(folder)) return false;
    QTemporaryFile probe(folder + QStringLiteral("/probe-XXXXXX"));
    return probe.open();
}

// The font cache when fontconfig has none it can use: with no valid system cache and a cache
// folder that cannot be written (a read-only home), fontconfig would scan the fonts at start and
// print an error for every font folder. This run gets a private cache folder instead, and one
// line on standard error says what is missing.
class FontCacheFallback {
public:
    // Before the Qt application: points XDG_CACHE_HOME at a private temporary folder when the
    // user's font cache folder cannot be written.
    FontCacheFallback() {
        const QString folder = UserFontCacheFolder();
        if (CanWriteIn(folder)) return;
        auto privateDir = std::make_unique<QTemporaryDir>();
        if (!privateDir->isValid()) return;
        m_unwritable = folder;
        m_private = std::move(privateDir);
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_private->path()));
    }

    // After the fonts are loaded: says so when fontconfig had to write a cache there.
    void ReportMissingCache() const {
        if (m_private == nullptr) return;
        (void)QFontDatabase::families();  // makes fontconfig load its fonts and caches now
        QDirIterator written(m_private->path(), QDir::Files, QDirIterator::Subdirectories);
        if (!written.hasNext()) return;  // the system's cache served: nothing is missing
        std::fprintf(stderr,
                     "%s: no font cache, and %s cannot be written: the fonts are scanned at "
                     "every start (fc-cache makes the cache)\n",
                     program_invocation_short_name, qPrintable(m_unwritable));
    }

private:
    QString m_unwritable;  // the user's font cache folder that could not be written
    std::unique_ptr<QTemporaryDir> m_private;
};

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
    const FontCacheFallback fontCache;
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
