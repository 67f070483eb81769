// A temporary XDG_CONFIG_HOME for tests of the settings file.
#include "support/settings_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char kVariable[] = "XDG_CONFIG_HOME";

QString KeptAside(const QString& path) {
    return path + QStringLiteral(".aside");
}

}  // namespace

ScopedSettingsHome::ScopedSettingsHome()
    : m_previous(qgetenv(kVariable)), m_hadPrevious(qEnvironmentVariableIsSet(kVariable)) {
    qputenv(kVariable, QFile::encodeName(m_dir.path()));
}

ScopedSettingsHome::~ScopedSettingsHome() {
    if (m_hadPrevious) {
        qputenv(kVariable, m_previous);
    } else {
        qunsetenv(kVariable);
    }
}

QByteArray ScopedSettingsHome::ReadSettingsFile() const {
    QFile file(SettingsFile());
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

bool ScopedSettingsHome::WriteSettingsFile(const QByteArray& bytes) const {
    if (!QDir().mkpath(Folder())) return false;
    QFile file(SettingsFile());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool ScopedSettingsHome::CopySettingsTo(const ScopedSettingsHome& other) const {
    QFile::remove(other.SettingsFile());
    return QDir().mkpath(other.Folder()) && QFile::copy(SettingsFile(), other.SettingsFile());
}

bool ScopedSettingsHome::BlockFolderWithFile() const {
    if (QFileInfo::exists(Folder()) && !QDir().rename(Folder(), KeptAside(Folder()))) return false;
    QFile blocker(Folder());
    return blocker.open(QIODevice::WriteOnly | QIODevice::NewOnly) && blocker.write("x", 1) == 1;
}

bool ScopedSettingsHome::Unblock() const {
    if (!QFileInfo(Folder()).isFile()) return true;
    return QFile::remove(Folder()) && (!QFileInfo::exists(KeptAside(Folder())) ||
                                       QDir().rename(KeptAside(Folder()), Folder()));
}

QStringList ScopedSettingsHome::FolderEntries() const {
    return QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                    QDir::Name);
}
