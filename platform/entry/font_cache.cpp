#include "platform/entry/font_cache.h"

#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>

namespace platform_entry {
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

}  // namespace

FontCacheFallback::FontCacheFallback() {
    const QString folder = UserFontCacheFolder();
    if (CanWriteIn(folder)) return;
    auto privateDir = std::make_unique<QTemporaryDir>();
    if (!privateDir->isValid()) return;
    m_unwritable = folder;
    m_private = std::move(privateDir);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_private->path()));
}

void FontCacheFallback::ReportMissingCache() const {
    if (m_private == nullptr) return;
    (void)QFontDatabase::families();  // makes fontconfig load its fonts and caches now
    QDirIterator written(m_private->path(), QDir::Files, QDirIterator::Subdirectories);
    if (!written.hasNext()) return;  // the system's cache served: nothing is missing
    std::fprintf(stderr,
                 "%s: no font cache, and %s cannot be written: the fonts are scanned at every "
                 "start (fc-cache makes the cache)\n",
                 program_invocation_short_name, qPrintable(m_unwritable));
}

}  // namespace platform_entry
