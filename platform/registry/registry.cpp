// Registry family: the current user's key Software\MyCompany\Pemblar, kept in the settings file.
#include "platform/registry.h"

#include <cstring>

#include "platform/registry/key_table.h"
#include "platform/registry/registry_seams.h"
#include "platform/registry/settings_file.h"
#include "platform/registry/settings_report.h"

namespace {

// The one key this store holds.
const QString kSettingsKey = QStringLiteral("Software\\MyCompany\\Pemblar");

/* A value name the settings file can hold as one plain name: not empty, no group separator. */
bool ToValueName(LPCWSTR lpValueName, QString* name) {
    if (lpValueName == nullptr || lpValueName[0] == 0) return false;
    *name = QString::fromUtf16(lpValueName);
    return !name->contains(u'/') && !name->contains(u'\\');
}

}  // namespace

/******************************************************************************
 *           RegCreateKeyExW
 *
 * Opens HKEY_CURRENT_USER\Software\MyCompany\Pemblar, making its settings file (and the
 * file's folder) when missing.
 *
 * PARAMS
 *  hKey            [I] HKEY_CURRENT_USER
 *  lpSubKey        [I] Software\MyCompany\Pemblar, letter case ignored
 *  Reserved, lpClass, dwOptions, samDesired, lpSecurityAttributes [I] ignored
 *  phkResult       [O] the open key, NULL on failure
 *  lpdwDisposition [O] REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY (may be NULL)
 *
 * RETURNS
 *  Success: ERROR_SUCCESS
 *  Failure: ERROR_ACCESS_DENIED when the settings file cannot be read or made (said once on
 *           standard error), or for any other key; ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER
 *           for bad arguments.
 */
LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*Reserved*/, LPWSTR /*lpClass*/,
                        DWORD /*dwOptions*/, REGSAM /*samDesired*/,
                        LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, HKEY* phkResult,
                        LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (hKey != HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
    if (lpSubKey == nullptr ||
        QString::fromUtf16(lpSubKey).compare(kSettingsKey, Qt::CaseInsensitive) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    const QString path = platform_registry::SettingsFilePath();
    bool created = false;
    const LSTATUS status = platform_registry::PrepareSettingsFile(path, &created);
    if (status != ERROR_SUCCESS) {
        platform_registry::ReportSettingsFailure(path, platform_registry::SettingsFailure::kOpen);
        return status;
    }
    *phkResult = platform_registry::AddOpenKey(path);
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return ERROR_SUCCESS;
}

/******************************************************************************
 *           RegQueryValueExW
 *
 * Reads a REG_SZ value of an open key from the settings file as it is now.
 *
 * PARAMS
 *  hKey        [I] an open key
 *  lpValueName [I] the value's name
 *  lpReserved  [I] NULL
 *  lpType      [O] REG_SZ (may be NULL)
 *  lpData      [O] the value's bytes (may be NULL to ask for the size)
 *  lpcbData    [I/O] size of lpData in bytes; receives the value's size
 *
 * RETURNS
 *  Success: ERROR_SUCCESS
 *  Failure: ERROR_FILE_NOT_FOUND for a missing value, ERROR_MORE_DATA when lpData is too small
 *           (lpData untouched, *lpcbData the size needed), ERROR_INVALID_DATA when the name holds
 *           no whole UTF-16 text, ERROR_ACCESS_DENIED when the file cannot be read,
 *           ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER for bad arguments.
 */
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    QString path;
    if (!platform_registry::FindOpenKey(hKey, &path)) return ERROR_INVALID_HANDLE;
    QString name;
    if (!ToValueName(lpValueName, &name)) return ERROR_FILE_NOT_FOUND;
    QByteArray bytes;
    const LSTATUS status = platform_registry::ReadSettingsValue(path, name, &bytes);
    if (status != ERROR_SUCCESS) return status;
    if (static_cast<unsigned long long>(bytes.size()) > 0xFFFFFFFFull) return ERROR_INVALID_DATA;

    if (lpType != nullptr) *lpType = REG_SZ;
    if (lpcbData == nullptr) return ERROR_SUCCESS;
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (lpData != nullptr && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData != nullptr && size > 0) std::memcpy(lpData, bytes.constData(), size);
    *lpcbData = size;
    return ERROR_SUCCESS;
}

/******************************************************************************
 *           RegSetValueExW
 *
 * Stores a REG_SZ value of an open key and writes the settings file at once.
 *
 * PARAMS
 *  hKey        [I] an open key
 *  lpValueName [I] the value's name: not empty, without '/' or '\'
 *  Reserved    [I] ignored
 *  dwType      [I] REG_SZ
 *  lpData      [I] the value's bytes, stored exactly as given
 *  cbData      [I] their number, even (whole UTF-16 units; the terminator's included)
 *
 * RETURNS
 *  Success: ERROR_SUCCESS
 *  Failure: ERROR_ACCESS_DENIED when the file cannot be written (said once on standard error):
 *           the file then holds what it held, and no later write stores this value;
 *           ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER for bad arguments.
 */
LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                       const BYTE* lpData, DWORD cbData) {
    if (dwType != REG_SZ || cbData % 2 != 0 || (lpData == nullptr && cbData != 0)) {
        return ERROR_INVALID_PARAMETER;
    }
    QString path;
    if (!platform_registry::FindOpenKey(hKey, &path)) return ERROR_INVALID_HANDLE;
    QString name;
    if (!ToValueName(lpValueName, &name)) return ERROR_INVALID_PARAMETER;
    const QByteArray bytes(reinterpret_cast<const char*>(lpData), static_cast<qsizetype>(cbData));
    const LSTATUS status = platform_registry::WriteSettingsValue(path, name, bytes);
    if (status == ERROR_SUCCESS) {
        platform_registry::NotifyValueWritten();
    } else {
        platform_registry::ReportSettingsFailure(path, platform_registry::SettingsFailure::kWrite);
    }
    return status;
}

/******************************************************************************
 *           RegCloseKey
 *
 * Releases an open key; its handle is never valid again.
 *
 * RETURNS
 *  Success: ERROR_SUCCESS
 *  Failure: ERROR_INVALID_HANDLE when the key is not open.
 */
LSTATUS RegCloseKey(HKEY hKey) {
    return platform_registry::RemoveOpenKey(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
