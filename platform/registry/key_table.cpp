// The open keys: a table from handle to settings file, guarded for use from any thread.
#include "platform/registry/key_table.h"

#include <map>
#include <mutex>

namespace platform_registry {
namespace {

std::mutex g_tableLock;
std::map<uintptr_t, QString> g_openKeys;
uintptr_t g_lastHandle = 0;  // handles count up from 1 and are never reused

}  // namespace

HKEY AddOpenKey(const QString& settingsPath) {
    std::lock_guard<std::mutex> lock(g_tableLock);
    const uintptr_t handle = ++g_lastHandle;
    g_openKeys.emplace(handle, settingsPath);
    return reinterpret_cast<HKEY>(handle);
}

bool FindOpenKey(HKEY key, QString* settingsPath) {
    std::lock_guard<std::mutex> lock(g_tableLock);
    const auto entry = g_openKeys.find(reinterpret_cast<uintptr_t>(key));
    if (entry == g_openKeys.end()) return false;
    *settingsPath = entry->second;
    return true;
}

bool RemoveOpenKey(HKEY key) {
    std::lock_guard<std::mutex> lock(g_tableLock);
    return g_openKeys.erase(reinterpret_cast<uintptr_t>(key)) == 1;
}

int OpenKeyCount() {
    std::lock_guard<std::mutex> lock(g_tableLock);
    return static_cast<int>(g_openKeys.size());
}

}  // namespace platform_registry
