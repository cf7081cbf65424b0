// Test programs that can reach a clock-setting call must never hold the right to set the clock:
// they call this guard first and refuse to run when the right is there.
#pragma once

namespace test_support {

// True when CAP_SYS_TIME is in this process's effective capability set (or when that cannot be
// told, which counts as held).
bool HoldsClockRight();

// Prints why and ends the process with exit code 2 when HoldsClockRight().
void RefuseToRunWithClockRight(const char* program);

}  // namespace test_support
