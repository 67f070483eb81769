// The open keys of the registry family: each handle names the settings file it was opened on.
#pragma once

#include <QString>

#include "platform/registry.h"

namespace platform_registry {

/* Registers an open key on the settings file at path; a handle that is never handed out again. */
HKEY AddOpenKey(const QString& settingsPath);

/* The settings file of an open key; false when the handle is not open. */
bool FindOpenKey(HKEY key, QString* settingsPath);

/* Releases an open key; false when the handle is not open. */
bool RemoveOpenKey(HKEY key);

/* The number of keys open now. */
int OpenKeyCount();

}  // namespace platform_registry
