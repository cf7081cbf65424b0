#include "main_form.h"

#include "about_dialog.h"
#include "options_dialog.h"
#include "reply_handler.h"
#include "settings_file.h"
#include "time_messages.h"
#include "timer.h"
#include "timeslot_terminal.h"
#include "window_messages.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    LoadStoredLayout();
}

// Runs once per run. A settings file error leaves the window on the screen, since the
// minimise command is not reached.
void TForm1::FormActivate(TObject* /*Sender*/) {
    if (SettingsFileExists()) {
        Timer1->SetInterval(ReadSettingsInterval());
    } else {
        Timer1->SetInterval(60000);
        WriteSettingsInterval(60000);
    }
    SendMinimizeCommand();
}

void TForm1::Timer1Timer(TObject* /*Sender*/) {
    const auto request = BuildTimeRequest();
    TimeslotTerminal1->Send(request.data(), static_cast<std::uint16_t>(request.size()));
}

void TForm1::TimeslotTerminal1NewMessage(TObject* /*Sender*/, std::int32_t /*SenderId*/,
                                         std::uint16_t MsgSize) {
    SetClockFromReply(*TimeslotTerminal1, MsgSize);
}

void TForm1::Cerrar1Click(TObject* /*Sender*/) {
    Close();
}

void TForm1::Opciones1Click(TObject* /*Sender*/) {
    ShowOptionsDialog(this, Timer1);
}

void TForm1::Ayuda1Click(TObject* /*Sender*/) {
    ShowAboutDialog(this, TAboutVariant::Client);
}

void TForm1::Minimizar1Click(TObject* /*Sender*/) {
    SendMinimizeCommand();
}

// The tray component takes the command: when this returns, the window is hidden in the tray.
void TForm1::SendMinimizeCommand() {
    Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}
