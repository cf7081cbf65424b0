#include "about_dialog.h"

#include <memory>

#include "application.h"
#include "dialog_gradient.h"
#include "maker_contact.h"
#include "message_box.h"

namespace {

struct PlacedText {
    const char* name;
    int left;
    int top;
    const char* text;
};

struct PlacedButton {
    int left;
    int top;
    int width;
    int height;
    const char* caption;
};

// What the two stored layouts set differently; everything else they share.
struct AboutLayout {
    const char* caption;
    int clientWidth;
    int clientHeight;
    int gradientHeight;
    PlacedText version;
    PlacedText lines[4];
    PlacedButton web;
    PlacedText orLabel;
    PlacedButton mail;
    PlacedButton close;
};

constexpr AboutLayout kClientLayout{
    "About Corvane Client",
    339,
    459,
    233,
    {"Label9", 144, 232, "Corvane Client V1.41w"},
    {
        {"Label2", 8, 256, "Corvane Client connects automaticaly to a server of Corvane which"},
        {"Label3", 8, 272,
         "is locates in your local network. It automaticaly adjusts the time of the"},
        {"Label4", 8, 288, "clock in your machine to the one in the server."},
        {"Label5", 8, 304, "The interval of adjusting depends on the parameter in options."},
    },
    {8, 392, 97, 25, "Visit us on-line"},
    {"Label7", 112, 400, "or"},
    {128, 392, 89, 25, "write to us"},
    {136, 424, 75, 25, "O.K"},
};

constexpr AboutLayout kServerLayout{
    "About Corvane Server",
    341,
    469,
    249,
    {"Label12", 136, 240, "Corvane Server V1.41w"},
    {
        {"Label2", 8, 264, "Corvane Server is your server for the date and time of the internal"},
        {"Label3", 8, 280, "clocks of the machines in your local network. The clocks of all the  "},
        {"Label4", 8, 296, "machines which have Corvane client installed  are adjusted "},
        {"Label5", 8, 312, "automaticly to the date and time of this machine"},
    },
    {8, 400, 97, 25, "visit us online"},
    {"Label8", 112, 408, "or"},
    {128, 400, 89, 25, "write to us"},
    {128, 432, 75, 25, "O.K."},
};

void PlaceLabel(TLabel* label, const PlacedText& placed) {
    label->SetName(placed.name);
    label->SetLeft(placed.left);
    label->SetTop(placed.top);
    label->SetCaption(placed.text);
    label->SetTransparent(true);
}

void PlaceButton(TBitBtn* button, const char* name, const PlacedButton& placed, int tabOrder,
                 const char* glyph) {
    button->SetName(name);
    button->SetBounds(placed.left, placed.top, placed.width, placed.height);
    button->SetCaption(placed.caption);
    button->SetTabOrder(tabOrder);
    button->LoadGlyph(glyph);
    button->SetNumGlyphs(2);
}

void ShowConnectFailure() {
    Application->MessageBox("Impossible to connect...", "Error", MB_OK | MB_ICONERROR);
}

}  // namespace

TForm2::TForm2(TComponent* owner, TAboutVariant variant)
    : TForm(owner),
      // Created bottom to top: the gradient under the banner, both under the texts and buttons.
      DfGradient1(new TDfGradient(this)),
      Image1(new TImage(this)),
      VersionLabel(new TLabel(this)),
      Label2(new TLabel(this)),
      Label3(new TLabel(this)),
      Label4(new TLabel(this)),
      Label5(new TLabel(this)),
      BitBtn2(new TBitBtn(this)),
      OrLabel(new TLabel(this)),
      BitBtn3(new TBitBtn(this)),
      BitBtn1(new TBitBtn(this)),
      GoToWeb1(new TGoToWeb(this)) {
    LoadLayout(variant);
}

void TForm2::LoadLayout(TAboutVariant variant) {
    const AboutLayout& layout = variant == TAboutVariant::Client ? kClientLayout : kServerLayout;

    SetName("Form2");
    SetBorderIcons(0);
    SetBorderStyle(bsDialog);
    SetCaption(layout.caption);
    SetClientWidth(layout.clientWidth);
    SetClientHeight(layout.clientHeight);
    Font()->SetColor(clWindowText);
    Font()->SetHeight(-11);
    Font()->SetName("MS Sans Serif");
    SetPosition(poScreenCenter);

    DfGradient1->SetName("DfGradient1");
    DfGradient1->SetBounds(0, 224, 337, layout.gradientHeight);
    ApplyDialogGradient(DfGradient1->Gradient());

    Image1->SetName("Image1");
    Image1->SetBounds(0, 8, 337, 217);
    Image1->LoadPicture(":/corvane/banner.bmp");

    PlaceLabel(VersionLabel, layout.version);
    PlaceLabel(Label2, layout.lines[0]);
    PlaceLabel(Label3, layout.lines[1]);
    PlaceLabel(Label4, layout.lines[2]);
    PlaceLabel(Label5, layout.lines[3]);

    PlaceButton(BitBtn2, "BitBtn2", layout.web, 1, ":/corvane/glyph-globe.bmp");
    BitBtn2->SetOnClick([this](TObject* Sender) { BitBtn2Click(Sender); });

    PlaceLabel(OrLabel, layout.orLabel);

    PlaceButton(BitBtn3, "BitBtn3", layout.mail, 2, ":/corvane/glyph-envelope.bmp");
    BitBtn3->SetOnClick([this](TObject* Sender) { BitBtn3Click(Sender); });

    PlaceButton(BitBtn1, "BitBtn1", layout.close, 0, ":/corvane/glyph-check.bmp");
    BitBtn1->SetDefault(true);
    BitBtn1->SetCancel(true);
    BitBtn1->SetOnClick([this](TObject* Sender) { BitBtn1Click(Sender); });

    GoToWeb1->SetName("GoToWeb1");
    GoToWeb1->SetBrowserState(gwMaximized);
    GoToWeb1->SetEMailSubject("");
}

void TForm2::BitBtn1Click(TObject*) {
    Close();
}

void TForm2::BitBtn2Click(TObject*) {
    GoToWeb1->SetUrl(kMakerWebPage);
    if (!GoToWeb1->OpenUrl()) {
        ShowConnectFailure();
    }
}

void TForm2::BitBtn3Click(TObject*) {
    GoToWeb1->SetEMail(kMakerEMail);
    if (!GoToWeb1->OpenEMail()) {
        ShowConnectFailure();
    }
}

void ShowAboutDialog(TForm* owner, TAboutVariant variant) {
    auto dialog = std::make_unique<TForm2>(owner, variant);
    dialog->ShowModal();
}
