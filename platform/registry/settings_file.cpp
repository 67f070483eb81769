// The settings file, read and written through QSettings: it writes through a temporary file that
// replaces the old one, under a lock file that keeps other writers out.
#include "platform/registry/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>

#include "platform/registry/settings_format.h"

namespace platform_registry {
namespace {

std::mutex g_reportedLock;
std::set<QString> g_reported;  // the files already reported

// A missing file is made later; anything but a plain file (a folder, a pipe) is no settings file.
bool CanHoldSettings(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

}  // namespace

QString SettingsFilePath(const QString& organisation, const QString& application) {
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (home.isEmpty()) return QString();
    return home + u'/' + organisation + u'/' + application + QStringLiteral(".conf");
}

LSTATUS PrepareSettingsFile(const QString& path, bool* created) {
    *created = false;
    if (path.isEmpty() || !CanHoldSettings(path)) return ERROR_ACCESS_DENIED;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return ERROR_ACCESS_DENIED;
    {
        const QSettings settings(path, SettingsFormat());
        if (settings.status() != QSettings::NoError) return ERROR_ACCESS_DENIED;
    }
    if (QFileInfo::exists(path)) return ERROR_SUCCESS;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *created = true;
        return ERROR_SUCCESS;
    }
    // Another writer may have made it in the meantime.
    return QFileInfo(path).isFile() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS ReadSettingsValue(const QString& path, const QString& name, QByteArray* bytes) {
    if (!CanHoldSettings(path)) return ERROR_ACCESS_DENIED;
    const QSettings settings(path, SettingsFormat());
    if (settings.status() != QSettings::NoError) return ERROR_ACCESS_DENIED;
    if (!settings.contains(name)) return ERROR_FILE_NOT_FOUND;
    const QVariant value = settings.value(name);
    if (value.typeId() != QMetaType::QByteArray) return ERROR_INVALID_DATA;
    *bytes = value.toByteArray();
    if (bytes->size() % 2 != 0) return ERROR_INVALID_DATA;
    return ERROR_SUCCESS;
}

LSTATUS WriteSettingsValue(const QString& path, const QString& name, const QByteArray& bytes) {
    if (!CanHoldSettings(path)) return ERROR_ACCESS_DENIED;
    QSettings writer(path, SettingsFormat());
    if (writer.status() != QSettings::NoError) return ERROR_ACCESS_DENIED;

    const bool existed = writer.contains(name);
    const QVariant previous = writer.value(name);
    writer.setValue(name, bytes);
    writer.sync();
    if (writer.status() == QSettings::NoError) return ERROR_SUCCESS;

    // The failed value stays pending in the shared state, and the next write that succeeds would
    // carry it into the file: put back what the name held.
    if (existed) {
        writer.setValue(name, previous);
    } else {
        writer.remove(name);
    }
    return ERROR_ACCESS_DENIED;
}

// The history's own reports go to the diagnostic sink, which discards them: without this line a
// read-only home would lose the history silently.
void ReportSettingsFailure(const QString& path, SettingsFailure failure) {
    {
        std::lock_guard<std::mutex> lock(g_reportedLock);
        if (!g_reported.insert(path).second) return;
    }
    const QByteArray name =
        path.isEmpty() ? QByteArrayLiteral("(no settings folder: set HOME)") : path.toLocal8Bit();
    const char* what = failure == SettingsFailure::kOpen
                           ? "cannot be made or read: the connection history is not kept"
                           : "cannot be written: the connection history is not saved";
    std::fprintf(stderr, "%s: the settings file %s %s\n", program_invocation_short_name,
                 name.constData(), what);
}

}  // namespace platform_registry
