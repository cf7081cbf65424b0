// The stored layout of the server's main window, applied in stored order through the writers.
#include "image.h"
#include "main_form.h"
#include "menu.h"
#include "min_tray.h"
#include "timeslot_terminal.h"

void TForm1::LoadStoredLayout() {
    SetName("Form1");
    SetBorderIcons(biMinimize);
    SetBorderStyle(bsSingle);
    SetCaption("Corvane Server");
    SetClientHeight(221);
    SetClientWidth(340);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    SetPosition(poScreenCenter);
    SetOnActivate([this](TObject* sender) { FormActivate(sender); });

    Image1 = new TImage(this);
    Image1->SetName("Image1");
    Image1->SetParent(this);
    Image1->SetBounds(0, 0, 337, 217);
    Image1->LoadPicture(":/corvane/banner.bmp");

    DCMinTray1 = new TDCMinTray(this);
    DCMinTray1->SetName("DCMinTray1");
    DCMinTray1->SetHint("Quenadi Servidor");

    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    Cerrar1 = AddMenuBarItem(MainMenu1, this, "Cerrar1", "Close",
                             [this](TObject* sender) { Cerrar1Click(sender); });
    Ayuda1 = AddMenuBarItem(MainMenu1, this, "Ayuda1", "Help",
                            [this](TObject* sender) { Ayuda1Click(sender); });
    Minimizar1 = AddMenuBarItem(MainMenu1, this, "Minimizar1", "Minimize",
                                [this](TObject* sender) { Minimizar1Click(sender); });
    SetMenu(MainMenu1);

    TimeslotTerminal1 = new TTimeslotTerminal(this);
    TimeslotTerminal1->SetName("TimeslotTerminal1");
    TimeslotTerminal1->SetOnNewMessage(
        [this](TObject* sender, std::int32_t senderId, std::uint16_t msgSize) {
            TimeslotTerminal1NewMessage(sender, senderId, msgSize);
        });
    TimeslotTerminal1->SetInterval(250);
    TimeslotTerminal1->SetTimeslotName("TimeTerminal");
    TimeslotTerminal1->SetReceiver(rcPrimaryDomain);
    TimeslotTerminal1->SetReceiverName("");
}
