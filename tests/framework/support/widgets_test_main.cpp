#include <gtest/gtest.h>

#include <cstdlib>

#include "application.h"

// The tests run on the main thread of a Qt application with the framework's application
// object, without a display.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    FrameworkApplication qtApplication(argc, argv);
    TApplication application;
    application.Initialize();
    application.SetTitle("Widgets Test");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
