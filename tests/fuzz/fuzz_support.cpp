#include "fuzz_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/frame_buffer.h"
#include "res/resources.h"

void StartApplication() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "pemblar-fuzz";
    static char* argv[] = {name, nullptr};
    AfxSetResourceTable(&kProgramResources);
    // Never destroyed: the run ends with exit() from inside the fuzzing loop, while windows live.
    new QApplication(argc, argv);
}

void UseTemporarySettingsHome() {
    static const QTemporaryDir home(QDir::tempPath() + "/pemblar-fuzz-XXXXXX");
    Require(home.isValid(), "a temporary settings home can be made");
    setenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()).constData(), 1);
}

void Require(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "pemblar fuzz: broken rule: %s\n", rule);
    std::abort();
}

size_t LoadFrameBuffer(const uint8_t* data, size_t size) {
    size = std::min<size_t>(size, MAX_IMAGE_DATA_LENGTH);
    std::memset(ImageData, 0, sizeof ImageData);
    if (size != 0) std::memcpy(ImageData, data, size);
    ImageDataLength = static_cast<int32_t>(size);
    return size;
}
