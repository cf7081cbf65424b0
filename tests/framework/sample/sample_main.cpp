#include "application.h"
#include "program_icon.h"
#include "sample_forms.h"

TSampleMain* SampleMain = nullptr;

int main(int argc, char** argv) {
    return ProgramMain(argc, argv, [] {
        Application->Initialize();
        Application->SetTitle("Corvane Sample");
        Application->SetIcon(ProgramIcon());
        Application->CreateForm(SampleMain);
        Application->Run();
    });
}
