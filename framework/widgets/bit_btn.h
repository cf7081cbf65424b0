// A push button with a caption and a glyph: a bitmap of up to four square images side by side
// (normal, disabled, ...) whose bottom-left pixel's colour counts as transparent.
#pragma once

#include <QPixmap>
#include <QString>
#include <string>

#include "control.h"
#include "events.h"
#include "form.h"

class QPushButton;

class TBitBtn : public TWinControl {
public:
    explicit TBitBtn(TComponent* owner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    const QPixmap& Glyph() const { return glyph_; }
    // Sets NumGlyphs to the number of square images in the bitmap (1 when that is not 1 to 4).
    void SetGlyph(const QPixmap& glyph);
    // Raises EInvalidGraphic when the picture cannot be read.
    void LoadGlyph(const QString& path);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int numGlyphs);

    // Enter presses the default button, Esc the cancel button, of the button's form.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Given to the form's ModalResult on each click.
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    const TNotifyEvent& OnClick() const { return onClick_; }
    void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }

    // Sets the form's ModalResult (when ModalResult is not mrNone), then runs OnClick; an
    // exception goes to the caller. A click with the mouse or a key goes to the default
    // handler instead.
    void Click();

private:
    QPushButton* Button() const;
    void ApplyGlyph();

    std::string caption_;
    QPixmap glyph_;
    int numGlyphs_ = 1;
    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
    TNotifyEvent onClick_;
};
