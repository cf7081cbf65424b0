// The range dialog: tells the user that the options dialog accepts 1 to 999 minutes.
#pragma once

#include "bit_btn.h"
#include "form.h"
#include "gradient.h"
#include "label.h"

class TForm4 : public TForm {
public:
    // Builds the dialog from its stored layout.
    explicit TForm4(TComponent* owner);

    TDfGradient* DfGradient1;
    TLabel* Label1;
    TBitBtn* BitBtn1;

    void BitBtn1Click(TObject* Sender);

private:
    void LoadLayout();
};

// Creates the range dialog owned by owner, shows it modally and frees it.
void ShowRangeDialog(TForm* owner);
