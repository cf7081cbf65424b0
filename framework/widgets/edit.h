// A one-line edit box.
#pragma once

#include <string>

#include "control.h"

class QLineEdit;

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    std::string Text() const;
    void SetText(const std::string& text);
    void SelectAll();
    // The selected part of the text.
    std::string SelText() const;

private:
    QLineEdit* LineEdit() const;
};
