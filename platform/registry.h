// Registry family: each key HKEY_CURRENT_USER\Software\<Organisation>\<Application> is a settings
// file $XDG_CONFIG_HOME/<Organisation>/<Application>.conf (written atomically, locked against
// other writers) holding REG_SZ values.
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

/* RegCreateKeyExW: opens Software\<Organisation>\<Application> ("Software" in any letter case)
   under HKEY_CURRENT_USER, making its settings file and folder when missing; *lpdwDisposition
   says which. ERROR_ACCESS_DENIED for any other key, a name that is empty, "." or ".." or holds
   '/', or a file that cannot be made or read (said once on standard error); ERROR_INVALID_HANDLE,
   ERROR_INVALID_PARAMETER for bad arguments. The other arguments are ignored. */
LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                        DWORD dwOptions, REGSAM samDesired,
                        LPSECURITY_ATTRIBUTES lpSecurityAttributes, HKEY* phkResult,
                        LPDWORD lpdwDisposition);

/* RegQueryValueExW: copies a REG_SZ value (UTF-16 with its terminator) from the file as it is now
   into lpData of *lpcbData bytes (lpData NULL asks for the size); ERROR_FILE_NOT_FOUND when
   absent, ERROR_MORE_DATA when it does not fit (lpData untouched, *lpcbData the size needed),
   ERROR_INVALID_DATA when what is stored is not a REG_SZ, ERROR_ACCESS_DENIED when the file
   cannot be read, ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER for bad arguments. */
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData);

/* RegSetValueExW: stores the cbData bytes (even) of a REG_SZ value exactly and writes the file at
   once; the name is not empty and holds no '/' or '\'. ERROR_ACCESS_DENIED when the file cannot
   be written (said once on standard error): it then holds what it held and no later write stores
   this value; ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER for bad arguments. */
LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                       const BYTE* lpData, DWORD cbData);

/* RegCloseKey: releases an open key, whose handle is never valid again; ERROR_INVALID_HANDLE when
   it is not open. */
LSTATUS RegCloseKey(HKEY hKey);
