#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widget tests need one application object for the whole run, on the
// offscreen platform.
int main(int argc, char** argv) {
    InstallTestEnvironment();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
