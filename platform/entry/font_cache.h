// The font cache when fontconfig has none it can use: with no valid system cache and a cache
// folder that cannot be written (a read-only home), fontconfig would scan the fonts at start and
// print an error for every font folder. This run gets a private cache folder instead, and one
// line on standard error says what is missing.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace platform_entry {

class FontCacheFallback {
public:
    /* Before the Qt application: when the user's font cache folder cannot be written, points
       XDG_CACHE_HOME at a private temporary folder for the rest of the process. */
    FontCacheFallback();

    /* After the fonts are loaded: when fontconfig had to write a cache into the private folder,
       there was no usable font cache; says so in one line. */
    void ReportMissingCache() const;

private:
    QString m_unwritable;  // the user's font cache folder that could not be written
    std::unique_ptr<QTemporaryDir> m_private;
};

}  // namespace platform_entry
