#include "fuzz_environment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "res/resources.h"

namespace fuzz_support {

void StartApplication() {
    if (QApplication::instance() != nullptr) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "pemblar-fuzz";
    static char* argv[] = {name, nullptr};
    AfxSetResourceTable(&kProgramResources);
    // Never destroyed: the run ends with exit() from inside the fuzzing loop, while windows live.
    new QApplication(argc, argv);
}

void UseTemporarySettingsHome() {
    static const QTemporaryDir home(QDir::tempPath() + "/pemblar-fuzz-XXXXXX");
    if (!home.isValid()) Violation("a temporary settings home can be made");
    setenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()).constData(), 1);
}

void Violation(const char* rule) {
    std::fprintf(stderr, "pemblar fuzz: broken rule: %s\n", rule);
    std::abort();
}

}  // namespace fuzz_support
