// The client's main window: a banner, a menu bar, the tray component, the timer that paces the
// synchronisation and the terminal that sends requests and takes replies.
#pragma once

#include <cstdint>

#include "form.h"

class TImage;
class TTimer;
class TDCMinTray;
class TMainMenu;
class TMenuItem;
class TTimeslotTerminal;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* owner);

    TImage* Image1 = nullptr;
    TTimer* Timer1 = nullptr;
    TDCMinTray* DCMinTray1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Cerrar1 = nullptr;
    TMenuItem* Opciones1 = nullptr;
    TMenuItem* Ayuda1 = nullptr;
    TMenuItem* Minimizar1 = nullptr;
    TTimeslotTerminal* TimeslotTerminal1 = nullptr;

    void FormActivate(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void TimeslotTerminal1NewMessage(TObject* Sender, std::int32_t SenderId, std::uint16_t MsgSize);
    void Cerrar1Click(TObject* Sender);
    void Opciones1Click(TObject* Sender);
    void Ayuda1Click(TObject* Sender);
    void Minimizar1Click(TObject* Sender);

private:
    void LoadStoredLayout();
    void SendMinimizeCommand();
};

extern TForm1* Form1;
