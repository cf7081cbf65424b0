// A label: one line of plain text in the form's font, transparent or on the form's colour, and
// by default exactly as large as its text.
#pragma once

#include <string>

#include "control.h"

class QLabel;

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Transparent lets what lies below show around the letters.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    // For the label's widget: its font changed.
    void FontChanged() { UpdateBounds(); }

protected:
    void AdjustBounds(int& width, int& height) const override;

private:
    QLabel* Label() const;

    std::string caption_;
    bool transparent_ = false;
    bool autoSize_ = true;
};
