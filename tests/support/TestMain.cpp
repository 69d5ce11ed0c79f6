#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

// Every test program runs with the offscreen platform and its own settings
// folder, so no test touches the user's settings or needs a display.
int main(int argc, char** argv) {
    vt::test::isolateEnvironment();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
