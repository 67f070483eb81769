// The text form of the settings file, registered with QSettings (which keeps writing it through a
// temporary file under a lock file). One line per value:
//
//     Camera IP=sz:192.168.0.10..!@#$%..\u0000
//
// the name, '=', the type "sz:" and the value's UTF-16 units: printable ASCII as it is, a backslash
// as "\\", every other unit as "\uXXXX". So any text reads back exactly, the file stays plain
// ASCII, and a line that says anything else is kept as it stands but reads as no REG_SZ value.
#pragma once

#include <QSettings>

namespace platform_registry {

/* The registered format; value names in it are exact, letter case included (Qt keeps settings
   keys case-sensitive on this system). */
QSettings::Format SettingsFormat();

}  // namespace platform_registry
