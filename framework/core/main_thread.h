// The hand-over of a method from a worker thread to the main thread. The method runs when the
// main thread's event loop, or any nested modal loop, next handles events; the worker waits
// until it has run, and an exception it raised is raised again in the worker.
#pragma once

#include <functional>

namespace MainThread {

// Marks the calling thread as the main thread. QCoreApplication's thread is taken when this
// was never called.
void Register();
bool IsMainThread();

// From the main thread the method simply runs.
void Synchronize(const std::function<void()>& method);

// Runs the methods that wait, one after the other; returns how many ran. Main thread only.
int CheckSynchronize();

// Number of hand-overs waiting for the main thread.
int Pending();

}  // namespace MainThread
