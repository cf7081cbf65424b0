// corvane-server: answers every time request of the network with this computer's UTC clock.
#include "application.h"
#include "main_form.h"
#include "program_icon.h"

int main(int argc, char** argv) {
    return ProgramMain(argc, argv, [] {
        Application->Initialize();
        Application->SetTitle("Corvane Server");
        Application->SetIcon(ProgramIcon());
        Application->CreateForm(Form1);
        Application->Run();
    });
}
