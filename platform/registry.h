// Registry family: the current user's settings key, stored in the settings file
// $XDG_CONFIG_HOME/MyCompany/Pemblar.conf (written atomically, locked against other writers).
#pragma once

#include "kernel.h"  // the error codes
#include "windef.h"

typedef LONG LSTATUS;
typedef DWORD REGSAM;

#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define REG_NONE 0u
#define REG_SZ 1u
#define REG_OPTION_NON_VOLATILE 0u
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u

#define ERROR_INVALID_DATA 13L  // a stored value that is not a whole REG_SZ

/* RegCreateKeyExW: opens the key under HKEY_CURRENT_USER, creating it if missing; ERROR_SUCCESS, or an
   error code when the settings store cannot be read or created. */
LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                        REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                        HKEY* phkResult, LPDWORD lpdwDisposition);

/* RegQueryValueExW: copies a REG_SZ value (UTF-16 with its terminator) into lpData of *lpcbData bytes;
   ERROR_FILE_NOT_FOUND when absent, ERROR_MORE_DATA when it does not fit (with the size needed),
   ERROR_INVALID_DATA when what is stored under the name is not a REG_SZ value. */
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData);

/* RegSetValueExW: stores cbData bytes of a REG_SZ value and writes the settings file; an error code
   when it cannot be written, the stored file then unchanged. */
LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                       const BYTE* lpData, DWORD cbData);

/* RegCloseKey: releases an open key. */
LSTATUS RegCloseKey(HKEY hKey);
