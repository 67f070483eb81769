// One line on standard error per settings file the program cannot use: the history's own reports
// go to the diagnostic sink, which discards them, so without this line a read-only home would
// lose the history silently.
#include "platform/registry/settings_report.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>

namespace platform_registry {
namespace {

std::mutex g_reportedLock;
std::set<QString> g_reported;

}  // namespace

void ReportSettingsFailure(const QString& path, SettingsFailure failure) {
    {
        std::lock_guard<std::mutex> lock(g_reportedLock);
        if (!g_reported.insert(path).second) return;
    }
    const QByteArray name =
        path.isEmpty() ? QByteArrayLiteral("(no settings folder: set HOME)") : path.toLocal8Bit();
    if (failure == SettingsFailure::kOpen) {
        std::fprintf(stderr,
                     "%s: the settings file %s cannot be made or read: the connection history is "
                     "not kept\n",
                     program_invocation_short_name, name.constData());
    } else {
        std::fprintf(stderr,
                     "%s: the settings file %s cannot be written: the connection history is not "
                     "saved\n",
                     program_invocation_short_name, name.constData());
    }
}

}  // namespace platform_registry
