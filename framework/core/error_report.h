// One line on standard error, "<program>: <message>", for errors that have no window to go to.
#pragma once

#include <string>

void ReportError(const std::string& message);
