#include "range_dialog.h"

#include <memory>

#include "dialog_gradient.h"

TForm4::TForm4(TComponent* owner)
    : TForm(owner),
      DfGradient1(new TDfGradient(this)),
      Label1(new TLabel(this)),
      BitBtn1(new TBitBtn(this)) {
    LoadLayout();
}

void TForm4::LoadLayout() {
    SetName("Form4");
    SetBorderIcons(0);
    SetBorderStyle(bsDialog);
    SetCaption("Value not valid!");
    SetClientWidth(226);
    SetClientHeight(75);
    Font()->SetColor(clWindowText);
    Font()->SetHeight(-11);
    Font()->SetName("MS Sans Serif");
    SetPosition(poScreenCenter);

    DfGradient1->SetName("DfGradient1");
    DfGradient1->SetBounds(0, 0, 225, 144);
    ApplyDialogGradient(DfGradient1->Gradient());

    Label1->SetName("Label1");
    Label1->SetBounds(16, 8, 191, 13);
    Label1->SetCaption("The allowed range is  1  to  999  minutes");
    Label1->SetTransparent(true);

    BitBtn1->SetName("BitBtn1");
    BitBtn1->SetBounds(72, 40, 75, 25);
    BitBtn1->SetCaption("O.K.");
    BitBtn1->SetDefault(true);
    BitBtn1->SetCancel(true);
    BitBtn1->SetTabOrder(0);
    BitBtn1->LoadGlyph(":/corvane/glyph-ok.bmp");
    BitBtn1->SetNumGlyphs(2);
    BitBtn1->SetOnClick([this](TObject* Sender) { BitBtn1Click(Sender); });
}

void TForm4::BitBtn1Click(TObject*) {
    Close();
}

void ShowRangeDialog(TForm* owner) {
    auto dialog = std::make_unique<TForm4>(owner);
    dialog->ShowModal();
}
