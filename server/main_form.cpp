#include "main_form.h"

#include "about_dialog.h"
#include "request_handler.h"
#include "timeslot_terminal.h"
#include "window_messages.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    LoadStoredLayout();
}

void TForm1::FormActivate(TObject* /*Sender*/) {
    SendMinimizeCommand();
}

void TForm1::Minimizar1Click(TObject* /*Sender*/) {
    SendMinimizeCommand();
}

void TForm1::Cerrar1Click(TObject* /*Sender*/) {
    Close();
}

void TForm1::Ayuda1Click(TObject* /*Sender*/) {
    ShowAboutDialog(this, TAboutVariant::Server);
}

void TForm1::TimeslotTerminal1NewMessage(TObject* /*Sender*/, std::int32_t /*SenderId*/,
                                         std::uint16_t MsgSize) {
    AnswerTimeRequest(*TimeslotTerminal1, MsgSize);
}

// The tray component takes the command: when this returns, the window is hidden in the tray.
void TForm1::SendMinimizeCommand() {
    Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}
