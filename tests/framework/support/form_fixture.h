// Forms for tests: a main form made the way a program makes it, and dialogs owned by it.
#pragma once

#include <QApplication>
#include <memory>

#include "application.h"
#include "form.h"

// Handles every event and queued call that is waiting, without waiting for new ones.
inline void FlushEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Creates the application's main form (the first form created while none exists) and frees it
// at the end of the test, so that the next test's form is the main form again.
template <class T = TForm>
std::unique_ptr<T> MakeMainForm() {
    T* form = nullptr;
    Application->CreateForm(form);
    return std::unique_ptr<T>(form);
}
