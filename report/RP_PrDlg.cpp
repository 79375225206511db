#include "RP_PrDlg.h"

#include <mutex>

#include "FormReader.h"
#include "MsgBox.h"
#include "PlatformClasses.h"
#include "Printers.h"
#include "RP_Class.h"
#include "RP_Globals.h"
#include "RP_Prntr.h"
#include "RP_SpeedBtn.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace {

constexpr unsigned kRunJob = WM_USER + 1;

void RegisterWindowClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterPlatformClasses();
        RegisterSpeedButtonClasses();
        Published<TrpPrintForm>("TrpPrintForm", "TForm");
        Published<TrpProgressForm>("TrpProgressForm", "TForm");
        Published<TrpPreviewSearchForm>("TrpPreviewSearchForm", "TForm");
    });
}

template <class F>
void Bind(THandlerTable& h, const char* name, F* form, void (F::*method)(TObject*)) {
    h[name] = TNotifyEvent([form, method](TObject* s) { (form->*method)(s); });
}

}  // namespace

void rpCheckPageList(const std::string& pageList) {
    for (char c : pageList)
        if (c != ' ' && c != ',' && c != '-' && (c < '0' || c > '9'))
            throw EConvertError("'" + pageList + "' is not a list of pages");
    // Each piece between the separators must be a number.
    TrpReport probe(nullptr);
    probe.ParsePageNumbers(pageList);
}

// ------------------------------------------------------------ print dialog

TrpPrintForm::TrpPrintForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    RegisterWindowClasses();
    THandlerTable h;
    Bind(h, "CB1Change", this, &TrpPrintForm::CB1Change);
    Bind(h, "PropButtonClick", this, &TrpPrintForm::PropButtonClick);
    Bind(h, "CopiesUp", this, &TrpPrintForm::CopiesUp);
    Bind(h, "CopiesDown", this, &TrpPrintForm::CopiesDown);
    Bind(h, "E2Enter", this, &TrpPrintForm::E2Enter);
    Bind(h, "RB3Click", this, &TrpPrintForm::RB3Click);
    Bind(h, "Label3Click", this, &TrpPrintForm::Label3Click);
    Bind(h, "CollateCBClick", this, &TrpPrintForm::CollateCBClick);
    Bind(h, "PB1Paint", this, &TrpPrintForm::PB1Paint);
    h["CB1DrawItem"] = TDrawItemEvent(
        [this](TWinControl* c, int index, TRect rect, TOwnerDrawState state) { CB1DrawItem(c, index, rect, state); });
    Bind(h, "FormDeactivate", this, &TrpPrintForm::FormDeactivate);
    h["FormCloseQuery"] = TCloseQueryEvent([this](TObject* s, bool& c) { FormCloseQuery(s, c); });
    ReadComponentFromText(this, definition, h);
    GroupBox1 = rpNeedComponent<TGroupBox>(this, "GroupBox1");
    GroupBox2 = rpNeedComponent<TGroupBox>(this, "GroupBox2");
    GroupBox3 = rpNeedComponent<TGroupBox>(this, "GroupBox3");
    CB1 = rpNeedComponent<TComboBox>(this, "CB1");
    CB2 = rpNeedComponent<TComboBox>(this, "CB2");
    PropButton = rpNeedComponent<TButton>(this, "PropButton");
    Button1 = rpNeedComponent<TButton>(this, "Button1");
    Button2 = rpNeedComponent<TButton>(this, "Button2");
    E1 = rpNeedComponent<TEdit>(this, "E1");
    E2 = rpNeedComponent<TEdit>(this, "E2");
    CollateCB = rpNeedComponent<TCheckBox>(this, "CollateCB");
    RB1 = rpNeedComponent<TRadioButton>(this, "RB1");
    RB2 = rpNeedComponent<TRadioButton>(this, "RB2");
    RB3 = rpNeedComponent<TRadioButton>(this, "RB3");
    Label1 = rpNeedComponent<TLabel>(this, "Label1");
    Label2 = rpNeedComponent<TLabel>(this, "Label2");
    Label3 = rpNeedComponent<TLabel>(this, "Label3");
    Label4 = rpNeedComponent<TLabel>(this, "Label4");
    Label5 = rpNeedComponent<TLabel>(this, "Label5");
    rpSpeedButton1 = rpNeedComponent<TrpSpeedButton>(this, "rpSpeedButton1");
    rpSpeedButton2 = rpNeedComponent<TrpSpeedButton>(this, "rpSpeedButton2");
    PB1 = rpNeedComponent<TPaintBox>(this, "PB1");
    Image1 = rpNeedComponent<TImage>(this, "Image1");
    CollateImg = rpNeedComponent<TImage>(this, "CollateImg");
    NonCollateImg = rpNeedComponent<TImage>(this, "NonCollateImg");

    TrpPrinter& layer = rpPrinter();
    CB1->GetItems()->Clear();
    for (int i = 0; i < layer.VirtualPrinterIndex; ++i) CB1->GetItems()->Add(layer.Printers[size_t(i)]);
    OldIndex = layer.PrinterIndex;
    CB1->SetItemIndex(layer.IsVirtual() ? -1 : layer.PrinterIndex);
    SetCaption(LoadEngineString(53040));
    GroupBox1->SetCaption(LoadEngineString(53041));
    PropButton->SetCaption(LoadEngineString(53042));
    GroupBox3->SetCaption(LoadEngineString(53043));
    GroupBox2->SetCaption(LoadEngineString(53044));
    RB1->SetCaption(LoadEngineString(53045));
    RB2->SetCaption(LoadEngineString(53046));
    RB3->SetCaption(LoadEngineString(53047));
    Label2->SetCaption(LoadEngineString(53048));
    Label4->SetCaption(LoadEngineString(53049));
    Label1->SetCaption(LoadEngineString(53050));
    Label3->SetCaption(LoadEngineString(53051));
    Label5->SetCaption(LoadEngineString(53052));
    Button1->SetCaption(LoadEngineString(rpsOK));
    Button2->SetCaption(LoadEngineString(rpsCancel));
    CB2->GetItems()->Clear();
    for (int id : {53053, 53054, 53055}) CB2->GetItems()->Add(LoadEngineString(id));
    CB2->SetItemIndex(0);
    CB2->SetLeft(Label5->GetLeft() + Label5->GetWidth() + 11);
}

int TrpPrintForm::Copies() const { return StrToInt(Trim(E1->GetText())); }

void TrpPrintForm::CB1Change(TObject*) {
    if (CB1->GetItemIndex() >= 0) rpPrinter().SetPrinterIndex(CB1->GetItemIndex());
}

void TrpPrintForm::PropButtonClick(TObject*) { rpPrinter().PropertiesDlg(); }

void TrpPrintForm::CopiesUp(TObject*) { E1->SetText(std::to_string(Copies() + 1)); }

void TrpPrintForm::CopiesDown(TObject*) { E1->SetText(std::to_string(std::max(Copies() - 1, 1))); }

void TrpPrintForm::E2Enter(TObject*) { RB3->SetChecked(true); }

void TrpPrintForm::RB3Click(TObject*) {
    if (E2->CanFocus()) E2->SetFocus();
}

void TrpPrintForm::Label3Click(TObject*) { CollateCB->SetChecked(!CollateCB->GetChecked()); }

void TrpPrintForm::CollateCBClick(TObject*) { PB1->Invalidate(); }

void TrpPrintForm::PB1Paint(TObject*) {
    TCanvas* c = PB1->GetCanvas();
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(PB1->GetClientRect());
    if (CollateCB->GetChecked())
        c->BrushCopy(TRect{8, 0, 82, 53}, CollateImg->GetPicture()->GetBitmap(), TRect{0, 0, 74, 53}, clSilver);
    else
        c->BrushCopy(TRect{0, 8, 92, 48}, NonCollateImg->GetPicture()->GetBitmap(), TRect{0, 0, 92, 40}, clSilver);
}

void TrpPrintForm::CB1DrawItem(TWinControl*, int index, TRect rect, TOwnerDrawState) {
    TCanvas* c = CB1->GetCanvas();
    c->FillRect(rect);
    if (index < 0 || index >= CB1->GetItems()->Count()) return;
    c->BrushCopy(TRect{rect.Left + 2, rect.Top, rect.Left + 20, rect.Top + 16}, Image1->GetPicture()->GetBitmap(),
                 TRect{0, 0, 18, 16}, clOlive);
    c->TextOut(rect.Left + 24, rect.Top + 1, CB1->GetItems()->Get(index));
}

void TrpPrintForm::FormCloseQuery(TObject*, bool& canClose) {
    if (GetModalResult() != mrOk) return;
    std::string problem;
    int copies = 0;
    if (!TryStrToInt(Trim(E1->GetText()), copies) || copies < 1)
        problem = "The number of copies must be a whole number of at least 1.";
    else if (RB3->GetChecked()) {
        try {
            rpCheckPageList(E2->GetText());
        } catch (const EConvertError&) {
            problem = LoadEngineString(53048);
        }
    }
    if (problem.empty()) return;
    canClose = false;
    MessageBox(problem, LoadEngineString(rpsError), MB_OK | MB_ICONERROR);
}

void TrpPrintForm::FormDeactivate(TObject*) {
    if (GetModalResult() != mrOk && GetModalResult() != mrNone) rpPrinter().SetPrinterIndex(OldIndex);
}

// ------------------------------------------------------------ progress

TrpProgressForm::TrpProgressForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    RegisterWindowClasses();
    THandlerTable h;
    Bind(h, "Button1Click", this, &TrpProgressForm::Button1Click);
    ReadComponentFromText(this, definition, h);
    Label1 = rpNeedComponent<TLabel>(this, "Label1");
    Label2 = rpNeedComponent<TLabel>(this, "Label2");
    Button1 = rpNeedComponent<TButton>(this, "Button1");
}

int TrpProgressForm::ShowAndRun(TrpReport* report) {
    Button1->SetCaption(LoadEngineString(rpsCancel));
    Report = report;
    Label2->SetCaption("");
    FError = nullptr;
    PostMessage(this, kRunJob);
    int result = ShowModal();
    if (FError) std::rethrow_exception(FError);
    return result;
}

void TrpProgressForm::WndProc(TMessage& message) {
    if (message.Msg != kRunJob) {
        TForm::WndProc(message);
        return;
    }
    try {
        if (OnWork) OnWork(this);
    } catch (...) {
        // The window closes; the caller gets the error once the modal loop is left.
        FError = std::current_exception();
        SetModalResult(mrAbort);
    }
}

void TrpProgressForm::Button1Click(TObject*) {
    if (Report) Report->Stopped = true;
    SetModalResult(mrCancel);
}

// ------------------------------------------------------------ search

TrpPreviewSearchForm::TrpPreviewSearchForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    RegisterWindowClasses();
    THandlerTable h;
    Bind(h, "FormActivate", this, &TrpPreviewSearchForm::FormActivate);
    ReadComponentFromText(this, definition, h);
    Label1 = rpNeedComponent<TLabel>(this, "Label1");
    Edit1 = rpNeedComponent<TEdit>(this, "Edit1");
    GroupBox1 = rpNeedComponent<TGroupBox>(this, "GroupBox1");
    GroupBox2 = rpNeedComponent<TGroupBox>(this, "GroupBox2");
    CB1 = rpNeedComponent<TCheckBox>(this, "CB1");
    RB1 = rpNeedComponent<TRadioButton>(this, "RB1");
    RB2 = rpNeedComponent<TRadioButton>(this, "RB2");
    Button1 = rpNeedComponent<TButton>(this, "Button1");
    Button2 = rpNeedComponent<TButton>(this, "Button2");
    SetCaption(LoadEngineString(53000));
    Label1->SetCaption(LoadEngineString(53001));
    GroupBox1->SetCaption(LoadEngineString(53002));
    CB1->SetCaption(LoadEngineString(53003));
    GroupBox2->SetCaption(LoadEngineString(53004));
    RB1->SetCaption(LoadEngineString(53005));
    RB2->SetCaption(LoadEngineString(53006));
    Button1->SetCaption(LoadEngineString(rpsOK));
    Button2->SetCaption(LoadEngineString(rpsCancel));
}

void TrpPreviewSearchForm::FormActivate(TObject*) {
    if (Edit1->CanFocus()) Edit1->SetFocus();
    Edit1->SelectAll();
}
