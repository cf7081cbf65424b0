#include "options_dialog.h"

#include <cstdint>
#include <memory>

#include "dialog_gradient.h"
#include "exceptions.h"
#include "range_dialog.h"
#include "settings_file.h"
#include "text_conversion.h"

namespace {

constexpr long double kMinimumMinutes = 1;
constexpr long double kMaximumMinutes = 999;

// In extended precision, every product rounded to a 64-bit mantissa and the result truncated:
// a decimal input such as 8.03 gives one millisecond less than the exact product, which shows
// as the same minutes again and gives the same milliseconds when confirmed again.
std::uint32_t MinutesToMilliseconds(long double minutes) {
    const long double milliMinutes = minutes * 1000;
    const long double milliseconds = milliMinutes * 60;
    return static_cast<std::uint32_t>(milliseconds);
}

}  // namespace

TForm3::TForm3(TComponent* owner, TTimer* syncTimer)
    : TForm(owner),
      DfGradient1(new TDfGradient(this)),
      Label1(new TLabel(this)),
      Edit1(new TEdit(this)),
      Label2(new TLabel(this)),
      Label3(new TLabel(this)),
      Label4(new TLabel(this)),
      Label5(new TLabel(this)),
      BitBtn1(new TBitBtn(this)),
      BitBtn2(new TBitBtn(this)),
      syncTimer_(syncTimer) {
    LoadLayout();
}

void TForm3::LoadLayout() {
    SetName("Form3");
    SetBorderIcons(0);
    SetBorderStyle(bsDialog);
    SetCaption("Options of Corvane Client");
    SetClientWidth(360);
    SetClientHeight(121);
    Font()->SetColor(clWindowText);
    Font()->SetHeight(-11);
    Font()->SetName("MS Sans Serif");
    SetPosition(poScreenCenter);
    SetOnActivate([this](TObject* Sender) { FormActivate(Sender); });

    DfGradient1->SetName("DfGradient1");
    DfGradient1->SetBounds(0, 0, 361, 144);
    ApplyDialogGradient(DfGradient1->Gradient());

    Label1->SetName("Label1");
    Label1->SetBounds(8, 16, 346, 13);
    Label1->SetCaption(
        "In which time interval you want to synchronize your clock with the server?");
    Label1->SetTransparent(true);

    Edit1->SetName("Edit1");
    Edit1->SetBounds(8, 40, 73, 21);
    Edit1->SetTabOrder(2);
    Edit1->SetText("Edit1");

    Label2->SetName("Label2");
    Label2->SetBounds(88, 40, 43, 13);
    Label2->SetCaption("Minute(s)");
    Label2->SetTransparent(true);

    Label3->SetName("Label3");
    Label3->SetBounds(8, 64, 93, 13);
    Label3->SetCaption("The actual value is:");
    Label3->SetTransparent(true);

    Label4->SetName("Label4");
    Label4->SetBounds(112, 64, 32, 13);
    Label4->SetCaption("Label4");
    Label4->SetTransparent(true);

    Label5->SetName("Label5");
    Label5->SetBounds(152, 64, 43, 13);
    Label5->SetCaption("Minute(s)");
    Label5->SetTransparent(true);

    BitBtn1->SetName("BitBtn1");
    BitBtn1->SetBounds(8, 88, 75, 25);
    BitBtn1->SetCaption("O.K.");
    BitBtn1->SetDefault(true);
    BitBtn1->SetTabOrder(0);
    BitBtn1->LoadGlyph(":/corvane/glyph-ok.bmp");
    BitBtn1->SetNumGlyphs(2);
    BitBtn1->SetOnClick([this](TObject* Sender) { BitBtn1Click(Sender); });

    BitBtn2->SetName("BitBtn2");
    BitBtn2->SetBounds(232, 88, 75, 25);
    BitBtn2->SetCaption("Cancel");
    BitBtn2->SetCancel(true);
    BitBtn2->SetTabOrder(1);
    BitBtn2->LoadGlyph(":/corvane/glyph-cancel.bmp");
    BitBtn2->SetNumGlyphs(2);
    BitBtn2->SetOnClick([this](TObject* Sender) { BitBtn2Click(Sender); });
}

void TForm3::FormActivate(TObject*) {
    const std::string text = IntervalText();
    Label4->SetCaption(text);
    SelectInterval(text);
}

void TForm3::BitBtn1Click(TObject*) {
    bool valid = true;
    long double minutes = 0;
    try {
        minutes = StrToFloat(Trim(Edit1->Text()));
    } catch (const EConvertError&) {
        // Text that is no number is an invalid value like any other, without a message.
        valid = false;
    }
    if (valid && (minutes > kMaximumMinutes || minutes < kMinimumMinutes)) {
        ShowRangeDialog(this);
        valid = false;
    }
    if (!valid) {
        SelectInterval(IntervalText());
        return;
    }
    const std::uint32_t interval = MinutesToMilliseconds(minutes);
    syncTimer_->SetInterval(interval);
    // A file error leaves the dialog open with the new interval already running.
    WriteSettingsInterval(interval);
    Close();
}

void TForm3::BitBtn2Click(TObject*) {
    Close();
}

std::string TForm3::IntervalText() const {
    // The interval is taken as signed, so a stored value past 2^31 shows as negative minutes.
    const auto interval = static_cast<std::int32_t>(syncTimer_->Interval());
    const long double minutes = interval * 0.001L / 60;
    return Format("%6.2f", minutes);
}

void TForm3::SelectInterval(const std::string& text) {
    Edit1->SetText(text);
    Edit1->SelectAll();
    Edit1->SetFocus();
}

void ShowOptionsDialog(TForm* owner, TTimer* syncTimer) {
    auto dialog = std::make_unique<TForm3>(owner, syncTimer);
    dialog->ShowModal();
}
