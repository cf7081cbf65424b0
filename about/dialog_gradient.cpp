#include "dialog_gradient.h"

#include "gradient.h"

void ApplyDialogGradient(TGradient* gradient) {
    gradient->SetGradientStyle(gsLine);
    gradient->SetLineSize(2);
    gradient->SetColorCount(4);
    gradient->SetColor1(clGray);
    gradient->SetColor2(clWhite);
    gradient->SetColor3(clGray);
    gradient->SetColor4(clWhite);
    gradient->SetColor5(clBlack);
    gradient->SetLineDirection(diHorizonal);
}
