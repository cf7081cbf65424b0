// corvane-client: sets this computer's clock from the time server of the network, once per
// synchronisation interval.
#include "application.h"
#include "main_form.h"
#include "program_icon.h"

int main(int argc, char** argv) {
    return ProgramMain(argc, argv, [] {
        Application->Initialize();
        Application->SetTitle("Corvane Client");
        Application->SetIcon(ProgramIcon());
        Application->CreateForm(Form1);
        Application->Run();
    });
}
