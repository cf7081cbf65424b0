// The options dialog: shows the synchronisation interval in minutes, takes a new one from 1 to
// 999 minutes, applies it to the synchronisation timer at once and stores it in the settings
// file.
#pragma once

#include <string>

#include "bit_btn.h"
#include "edit.h"
#include "form.h"
#include "gradient.h"
#include "label.h"
#include "timer.h"

class TForm3 : public TForm {
public:
    // syncTimer holds the interval in milliseconds and is read and set directly; the client
    // passes its main window's Timer1. It must outlive the dialog.
    TForm3(TComponent* owner, TTimer* syncTimer);

    TDfGradient* DfGradient1;
    TLabel* Label1;
    TEdit* Edit1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;

    void FormActivate(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);

private:
    void LoadLayout();
    // The timer's interval in minutes as the dialog shows it, e.g. "  1.00".
    std::string IntervalText() const;
    void SelectInterval(const std::string& text);

    TTimer* syncTimer_;
};

// Creates the options dialog owned by owner, shows it modally and frees it, also when the modal
// run ends by an error.
void ShowOptionsDialog(TForm* owner, TTimer* syncTimer);
