#include "fuzz_environment.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "res/resources.h"

namespace fuzz_support {
namespace {

QByteArray g_settingsHome;

void RemoveSettingsHome() {
    if (!g_settingsHome.isEmpty()) QDir(QString::fromLocal8Bit(g_settingsHome)).removeRecursively();
}

}  // namespace

void StartApplication() {
    static QApplication* application = nullptr;
    if (application != nullptr) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "pemblar-fuzz";
    static char* argv[] = {name, nullptr};
    AfxSetResourceTable(&kProgramResources);
    // Never destroyed: the run ends with exit() from inside the fuzzing loop, while windows live.
    application = new QApplication(argc, argv);
}

void UseTemporarySettingsHome() {
    if (!g_settingsHome.isEmpty()) return;
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/pemblar-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Violation("a temporary settings home can be made");
    g_settingsHome = pattern;
    setenv("XDG_CONFIG_HOME", g_settingsHome.constData(), 1);
    std::atexit(RemoveSettingsHome);
}

void Violation(const char* rule) {
    std::fprintf(stderr, "pemblar fuzz: broken rule: %s\n", rule);
    std::abort();
}

}  // namespace fuzz_support
