// The about dialog of both programs: the banner, the program's name and version, what it does,
// and buttons that open the maker's web page and a new e-mail message to the maker. One design
// with two stored layouts that differ in texts and positions.
#pragma once

#include "bit_btn.h"
#include "form.h"
#include "go_to_web.h"
#include "gradient.h"
#include "image.h"
#include "label.h"

enum class TAboutVariant { Client, Server };

class TForm2 : public TForm {
public:
    // Builds the dialog from the variant's stored layout.
    TForm2(TComponent* owner, TAboutVariant variant);

    TDfGradient* DfGradient1;
    TImage* Image1;
    // Named Label9 in the client's layout and Label12 in the server's.
    TLabel* VersionLabel;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TBitBtn* BitBtn2;
    // Named Label7 in the client's layout and Label8 in the server's.
    TLabel* OrLabel;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn1;
    TGoToWeb* GoToWeb1;

    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void BitBtn3Click(TObject* Sender);

private:
    void LoadLayout(TAboutVariant variant);
};

// Creates the about dialog owned by owner, shows it modally and frees it, also when the modal
// run ends by an error. The programs' "Help" handlers call it.
void ShowAboutDialog(TForm* owner, TAboutVariant variant);
