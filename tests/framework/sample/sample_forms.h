// The sample's forms. Every step the desktop test waits for is written to standard output as
// one line.
#pragma once

#include "bit_btn.h"
#include "edit.h"
#include "form.h"
#include "gradient.h"
#include "image.h"
#include "label.h"
#include "menu.h"
#include "min_tray.h"

class TSampleMain : public TForm {
public:
    explicit TSampleMain(TComponent* owner);
    ~TSampleMain() override;

    TImage* Image1;
    TDCMinTray* DCMinTray1;
    TMainMenu* MainMenu1;
    TMenuItem* Cerrar1;
    TMenuItem* Dialogo1;
    TMenuItem* Error1;
    TMenuItem* Minimizar1;

private:
    void FormActivate(TObject* Sender);
    void Dialogo1Click(TObject* Sender);
    void Error1Click(TObject* Sender);
    void WindowProcAfterTray(TMessage& message);
    void SayMenuPlaces();

    TWndMethod trayWindowProc_;
};

class TSampleDialog : public TForm {
public:
    explicit TSampleDialog(TComponent* owner);

    TDfGradient* DfGradient1;
    TImage* Image1;
    TLabel* Label1;
    TLabel* Label2;
    TEdit* Edit1;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    TBitBtn* BitBtn3;

private:
    void FormActivate(TObject* Sender);
};

// Writes one line to standard output at once.
void Say(const std::string& line);
