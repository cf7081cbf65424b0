// The server's main window: a banner, a menu bar, the tray component and the terminal that
// answers every time request.
#pragma once

#include <cstdint>

#include "form.h"

class TImage;
class TDCMinTray;
class TMainMenu;
class TMenuItem;
class TTimeslotTerminal;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* owner);

    TImage* Image1 = nullptr;
    TDCMinTray* DCMinTray1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Cerrar1 = nullptr;
    TMenuItem* Ayuda1 = nullptr;
    TMenuItem* Minimizar1 = nullptr;
    TTimeslotTerminal* TimeslotTerminal1 = nullptr;

    void FormActivate(TObject* Sender);
    void Minimizar1Click(TObject* Sender);
    void Cerrar1Click(TObject* Sender);
    void Ayuda1Click(TObject* Sender);
    void TimeslotTerminal1NewMessage(TObject* Sender, std::int32_t SenderId, std::uint16_t MsgSize);

private:
    void LoadStoredLayout();
    void SendMinimizeCommand();
};

extern TForm1* Form1;
