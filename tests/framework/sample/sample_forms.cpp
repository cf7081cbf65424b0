#include "sample_forms.h"

#include <QAction>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <cstdio>
#include <memory>

#include "application.h"
#include "exceptions.h"

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

TSampleMain::TSampleMain(TComponent* owner) : TForm(owner) {
    SetCaption("Corvane Sample");
    SetClientWidth(340);
    SetClientHeight(221);
    SetBorderStyle(bsSingle);
    SetBorderIcons(biMinimize);
    SetPosition(poScreenCenter);
    SetOnActivate([this](TObject* sender) { FormActivate(sender); });

    Image1 = new TImage(this);
    Image1->SetBounds(0, 0, 337, 217);
    Image1->LoadPicture(":/corvane/banner.bmp");

    DCMinTray1 = new TDCMinTray(this);
    DCMinTray1->SetHint("Corvane Sample Tip");

    MainMenu1 = new TMainMenu(this);
    Cerrar1 = new TMenuItem(this);
    Cerrar1->SetCaption("Close");
    Cerrar1->SetOnClick([this](TObject*) { Close(); });
    Dialogo1 = new TMenuItem(this);
    Dialogo1->SetCaption("Dialog");
    Dialogo1->SetOnClick([this](TObject* sender) { Dialogo1Click(sender); });
    Error1 = new TMenuItem(this);
    Error1->SetCaption("Error");
    Error1->SetOnClick([this](TObject* sender) { Error1Click(sender); });
    Minimizar1 = new TMenuItem(this);
    Minimizar1->SetCaption("Minimize");
    Minimizar1->SetOnClick([this](TObject*) { Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0); });
    for (TMenuItem* item : {Cerrar1, Dialogo1, Error1, Minimizar1}) {
        MainMenu1->Items()->Add(item);
    }
    SetMenu(MainMenu1);

    // Watches what the tray component does with the messages it takes.
    trayWindowProc_ = WindowProc();
    SetWindowProc([this](TMessage& message) { WindowProcAfterTray(message); });
}

TSampleMain::~TSampleMain() {
    // The window procedure goes back before this part of the form is gone: the form's own
    // destructor still sends WM_DESTROY through it.
    SetWindowProc(trayWindowProc_);
}

void TSampleMain::FormActivate(TObject*) {
    Say("activated");
    SayMenuPlaces();
}

void TSampleMain::Dialogo1Click(TObject*) {
    auto dialog = std::make_unique<TSampleDialog>(this);
    TModalResult result = dialog->ShowModal();
    Say("dialog closed " + std::to_string(result));
}

void TSampleMain::Error1Click(TObject*) {
    throw EInOutError("Read beyond end of file", 100);
}

void TSampleMain::WindowProcAfterTray(TMessage& message) {
    trayWindowProc_(message);
    if (message.Msg == WM_SYSCOMMAND && message.WParam == SC_MINIMIZE) {
        QSystemTrayIcon* icon = DCMinTray1->TrayIcon();
        Say(std::string(Visible() ? "minimised" : "in tray") +
            " tip=" + (icon != nullptr ? icon->toolTip().toStdString() : "") +
            " icon=" + (DCMinTray1->IconShown() ? "shown" : "none"));
    } else if (message.Msg == TDCMinTray::kCallbackMessage && message.LParam == WM_LBUTTONDBLCLK) {
        Say(std::string("double-click ") + (Visible() ? "shown" : "hidden") +
            " icon=" + (DCMinTray1->IconShown() ? "shown" : "none"));
    }
}

void TSampleMain::SayMenuPlaces() {
    // Where each item lies in the window, for the test to click it.
    QMenuBar* bar = MainMenu1->MenuBar();
    for (int i = 0; i < MainMenu1->Items()->Count(); ++i) {
        TMenuItem* item = MainMenu1->Items()->Items(i);
        QRect place = bar->actionGeometry(item->Action());
        QPoint centre = bar->mapTo(Window(), place.center());
        Say("menu " + item->Caption() + " " + std::to_string(centre.x()) + " " +
            std::to_string(centre.y()));
    }
}

TSampleDialog::TSampleDialog(TComponent* owner) : TForm(owner) {
    SetCaption("About Corvane Sample");
    SetClientWidth(339);
    SetClientHeight(340);
    SetBorderStyle(bsDialog);
    SetBorderIcons(0);
    SetPosition(poScreenCenter);
    SetOnActivate([this](TObject* sender) { FormActivate(sender); });

    DfGradient1 = new TDfGradient(this);
    DfGradient1->SetBounds(0, 104, 337, 233);
    TGradient* gradient = DfGradient1->Gradient();
    gradient->SetGradientStyle(gsLine);
    gradient->SetLineDirection(diHorizonal);
    gradient->SetLineSize(2);
    gradient->SetColorCount(4);
    gradient->SetColor1(clGray);
    gradient->SetColor2(clWhite);
    gradient->SetColor3(clGray);
    gradient->SetColor4(clWhite);
    gradient->SetColor5(clBlack);

    Image1 = new TImage(this);
    Image1->SetBounds(0, 0, 337, 105);
    Image1->LoadPicture(":/corvane/banner.bmp");

    Label1 = new TLabel(this);
    Label1->SetBounds(8, 120, 346, 13);
    Label1->SetCaption(
        "In which time interval you want to synchronize your clock with the server?");
    Label1->SetTransparent(true);
    Edit1 = new TEdit(this);
    Edit1->SetBounds(8, 144, 73, 21);
    Edit1->SetTabOrder(3);
    Label2 = new TLabel(this);
    Label2->SetBounds(88, 148, 43, 13);
    Label2->SetCaption("Minute(s)");
    Label2->SetTransparent(true);

    BitBtn1 = new TBitBtn(this);
    BitBtn1->SetBounds(136, 296, 75, 25);
    BitBtn1->SetCaption("O.K.");
    BitBtn1->SetDefault(true);
    BitBtn1->SetCancel(true);
    BitBtn1->SetModalResult(mrOk);
    BitBtn1->LoadGlyph(":/corvane/glyph-check.bmp");
    BitBtn1->SetTabOrder(0);
    BitBtn2 = new TBitBtn(this);
    BitBtn2->SetBounds(8, 256, 97, 25);
    BitBtn2->SetCaption("Visit us on-line");
    BitBtn2->LoadGlyph(":/corvane/glyph-globe.bmp");
    BitBtn3 = new TBitBtn(this);
    BitBtn3->SetBounds(128, 256, 89, 25);
    BitBtn3->SetCaption("write to us");
    BitBtn3->LoadGlyph(":/corvane/glyph-envelope.bmp");
    BitBtn3->SetEnabled(false);
}

void TSampleDialog::FormActivate(TObject*) {
    Edit1->SetText("  1.00");
    Say("dialog activated");
}
