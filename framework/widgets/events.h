// Event properties and the guard around every handler the message loop calls.
#pragma once

#include <exception>
#include <functional>

#include "component.h"

// Gives an exception that escaped a handler of the message loop to the application's default
// handler, which shows it; the program goes on.
void HandleLoopException(std::exception_ptr error);

// Runs a handler of the message loop (timer, menu, button, activation) so that no exception
// leaves it into the event loop.
template <class Handler>
void CallHandler(Handler&& handler) {
    std::exception_ptr error;
    try {
        handler();
    } catch (...) {
        error = std::current_exception();
    }
    // Shown outside the catch block: the box runs a nested loop, in which more can go wrong.
    if (error) {
        HandleLoopException(error);
    }
}
