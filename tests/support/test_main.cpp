// The main of every test program: the program's resources, a Qt application (offscreen unless a
// platform is chosen), then every test.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "res/resources.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    AfxSetResourceTable(&kProgramResources);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
