// A fresh, empty home for the settings file: XDG_CONFIG_HOME points at a new temporary folder for
// the object's lifetime and gets its earlier value back afterwards.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class ScopedSettingsHome {
public:
    ScopedSettingsHome();
    ~ScopedSettingsHome();
    ScopedSettingsHome(const ScopedSettingsHome&) = delete;
    ScopedSettingsHome& operator=(const ScopedSettingsHome&) = delete;

    /* The folder XDG_CONFIG_HOME names. */
    QString Root() const { return m_dir.path(); }
    /* Root/MyCompany, the settings folder. */
    QString Folder() const { return Root() + QStringLiteral("/MyCompany"); }
    /* Root/MyCompany/Pemblar.conf, the settings file. */
    QString SettingsFile() const { return Folder() + QStringLiteral("/Pemblar.conf"); }

    /* The settings file's bytes; empty when it cannot be read. */
    QByteArray ReadSettingsFile() const;
    /* Writes the settings file (and its folder) with exactly these bytes; false on failure. */
    bool WriteSettingsFile(const QByteArray& bytes) const;
    /* Copies this home's settings file into other's, as a later run on another machine would find
       it: nothing in this process has seen that path yet. */
    bool CopySettingsTo(const ScopedSettingsHome& other) const;

    /* Puts a plain file where the settings folder should be; the folder's content is kept aside. */
    bool BlockFolderWithFile() const;
    /* Takes that file away and puts back what was kept aside. */
    bool Unblock() const;

    /* The names in the settings folder, sorted. */
    QStringList FolderEntries() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};
