// Where the about dialog's link buttons lead. Both are placeholders of this project under the
// reserved .example domain, kept here alone so that a real address replaces them in one place.
#pragma once

constexpr const char* kMakerWebPage = "https://www.corvane.example/";
constexpr const char* kMakerEMail = "info@corvane.example";
