// The settings file behind a key of the current user, each value kept as exactly the bytes the
// caller stored. One line per value:
//
//     Camera IP=sz:192.168.0.10..!@#$%..\u0000
//
// the name, '=', the type "sz:" and the value's UTF-16 units: printable ASCII as it is, a backslash
// as "\\", every other unit as "\uXXXX". So any text reads back exactly, the file stays plain
// ASCII, and a line that says anything else is kept as it stands but reads as no REG_SZ value.
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/registry.h"

namespace platform_registry {

/* $XDG_CONFIG_HOME/<organisation>/<application>.conf as the environment names it now; empty
   without a home. */
QString SettingsFilePath(const QString& organisation, const QString& application);

/* Makes the file's folder and the file itself if missing and checks that the file can be read;
   ERROR_SUCCESS with *created telling whether the file was made now, else ERROR_ACCESS_DENIED. */
LSTATUS PrepareSettingsFile(const QString& path, bool* created);

/* Reads the bytes stored under name: ERROR_FILE_NOT_FOUND when there are none, ERROR_INVALID_DATA
   when something else than whole UTF-16 text is stored there, ERROR_ACCESS_DENIED when the file
   cannot be read. */
LSTATUS ReadSettingsValue(const QString& path, const QString& name, QByteArray* bytes);

/* Stores bytes under name and writes the file; ERROR_ACCESS_DENIED when it cannot be written, the
   file and every later write then as if this one had not been asked for. */
LSTATUS WriteSettingsValue(const QString& path, const QString& name, const QByteArray& bytes);

enum class SettingsFailure { kOpen, kWrite };

/* Says on standard error, once per settings file and process, that the file cannot be made or
   read (kOpen) or written (kWrite), naming it: the program runs on without its history. */
void ReportSettingsFailure(const QString& path, SettingsFailure failure);

}  // namespace platform_registry
