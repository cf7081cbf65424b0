// A GoogleTest main for test programs that can reach a clock-setting call.
#include <gtest/gtest.h>

#include "clock_guard.h"

int main(int argc, char** argv) {
    test_support::RefuseToRunWithClockRight(argv[0]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
