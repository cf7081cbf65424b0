// A picture at the control's top-left corner, clipped to the control; it takes no input.
#pragma once

#include <QPixmap>
#include <QString>

#include "control.h"
#include "exceptions.h"

CORVANE_EXCEPTION_CLASS(EInvalidGraphic, Exception);

class TImage : public TControl {
public:
    explicit TImage(TComponent* owner);

    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);
    // From a file or a Qt resource path (":/..."); raises EInvalidGraphic when it cannot be read.
    void LoadPicture(const QString& path);

private:
    QPixmap picture_;
};

// Reads a picture, raising EInvalidGraphic "Cannot read the picture <path>" when it cannot.
QPixmap ReadPicture(const QString& path);
