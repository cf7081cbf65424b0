// Runs the event loop of the test's main thread until a condition holds.
#pragma once

#include <functional>

// Handles events until condition() is true or timeoutMs have passed; returns condition().
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
// Handles events for durationMs.
void PumpFor(int durationMs);
