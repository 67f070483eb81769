// Registry family: each key HKEY_CURRENT_USER\Software\<Organisation>\<Application> is kept in
// the settings file $XDG_CONFIG_HOME/<Organisation>/<Application>.conf.
#include "platform/registry.h"

#include <QStringList>
#include <cstring>

#include "platform/kernel/handle_table.h"
#include "platform/registry/registry_seams.h"
#include "platform/registry/settings_file.h"

namespace platform_registry {

platform_kernel::Seam<std::function<void()>> g_writeObserver;

namespace {

// Each open key names the path of its settings file.
platform_kernel::HandleTable<const QString> g_openKeys;

std::shared_ptr<const QString> FindKey(HKEY key, LSTATUS* status) {
    std::shared_ptr<const QString> path = g_openKeys.Find(reinterpret_cast<uintptr_t>(key));
    if (path == nullptr) *status = ERROR_INVALID_HANDLE;
    return path;
}

// A folder or file name that stays inside the settings home.
bool IsSafeName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

// The organisation and application a key names; false for any other key.
bool SplitKey(LPCWSTR subKey, QString* organisation, QString* application) {
    if (subKey == nullptr) return false;
    const QStringList parts = QString::fromUtf16(subKey).split(u'\\');
    if (parts.size() != 3 || parts[0].compare(u"Software", Qt::CaseInsensitive) != 0) return false;
    if (!IsSafeName(parts[1]) || !IsSafeName(parts[2])) return false;
    *organisation = parts[1];
    *application = parts[2];
    return true;
}

// A value name the settings file can hold as one plain name: not empty, no group separator.
bool ToValueName(LPCWSTR lpValueName, QString* name) {
    if (lpValueName == nullptr || lpValueName[0] == 0) return false;
    *name = QString::fromUtf16(lpValueName);
    return !name->contains(u'/') && !name->contains(u'\\');
}

}  // namespace

int OpenKeyCount() {
    return g_openKeys.Count();
}

}  // namespace platform_registry

using namespace platform_registry;

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*Reserved*/, LPWSTR /*lpClass*/,
                        DWORD /*dwOptions*/, REGSAM /*samDesired*/,
                        LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, HKEY* phkResult,
                        LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (hKey != HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
    QString organisation;
    QString application;
    if (!SplitKey(lpSubKey, &organisation, &application)) return ERROR_ACCESS_DENIED;
    const QString path = SettingsFilePath(organisation, application);
    bool created = false;
    const LSTATUS status = PrepareSettingsFile(path, &created);
    if (status != ERROR_SUCCESS) {
        ReportSettingsFailure(path, SettingsFailure::kOpen);
        return status;
    }
    const uintptr_t handle = g_openKeys.Add(std::make_shared<const QString>(path));
    if (handle == 0) return ERROR_NOT_ENOUGH_MEMORY;
    *phkResult = reinterpret_cast<HKEY>(handle);
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    LSTATUS status = ERROR_SUCCESS;
    const std::shared_ptr<const QString> path = FindKey(hKey, &status);
    if (path == nullptr) return status;
    QString name;
    if (!ToValueName(lpValueName, &name)) return ERROR_FILE_NOT_FOUND;
    QByteArray bytes;
    status = ReadSettingsValue(*path, name, &bytes);
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

LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                       const BYTE* lpData, DWORD cbData) {
    if (dwType != REG_SZ || cbData % 2 != 0 || (lpData == nullptr && cbData != 0)) {
        return ERROR_INVALID_PARAMETER;
    }
    LSTATUS status = ERROR_SUCCESS;
    const std::shared_ptr<const QString> path = FindKey(hKey, &status);
    if (path == nullptr) return status;
    QString name;
    if (!ToValueName(lpValueName, &name)) return ERROR_INVALID_PARAMETER;
    const QByteArray bytes(reinterpret_cast<const char*>(lpData), static_cast<qsizetype>(cbData));
    status = WriteSettingsValue(*path, name, bytes);
    if (status != ERROR_SUCCESS) {
        ReportSettingsFailure(*path, SettingsFailure::kWrite);
    } else if (const auto* observer = g_writeObserver.Get()) {
        (*observer)();
    }
    return status;
}

LSTATUS RegCloseKey(HKEY hKey) {
    return g_openKeys.Remove(reinterpret_cast<uintptr_t>(hKey)) != nullptr ? ERROR_SUCCESS
                                                                           : ERROR_INVALID_HANDLE;
}
