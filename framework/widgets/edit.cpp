#include "edit.h"

#include <QLineEdit>

TEdit::TEdit(TComponent* owner) : TWinControl(owner, new QLineEdit()) {}

std::string TEdit::Text() const {
    return LineEdit()->text().toStdString();
}

void TEdit::SetText(const std::string& text) {
    LineEdit()->setText(QString::fromStdString(text));
}

void TEdit::SelectAll() {
    LineEdit()->selectAll();
}

std::string TEdit::SelText() const {
    return LineEdit()->selectedText().toStdString();
}

QLineEdit* TEdit::LineEdit() const {
    return static_cast<QLineEdit*>(Widget());
}
