#include "AmortizationPage.h"

#include "Main.h"

#include "AlignGrid.h"
#include "Amortization.h"
#include "ExtCtrls.h"
#include "MortLib.h"
#include "StdCtrls.h"
#include "entpf.h"

namespace {

const char* const kViewAnnual = "View Annual Chart";
const char* const kViewMonthly = "View Monthly Chart";
const char* const kAnnualHint = "Click for Annual Amortization Report ...";
const char* const kMonthlyHint = "Click for Monthly Amortization Report ...";

// The hourglass while the grids fill; the default cursor returns only when
// the fill ends normally.
struct THourglass {
    THourglass() { Screen->SetCursor(crHourGlass); }
    void Done() { Screen->SetCursor(crDefault); }
};

}  // namespace

void TAmortizationPage::RegisterHandlers(THandlerTable& h) {
    h["CalcAmortization"] = TNotifyEvent([this](TObject* s) { Main.CalcAmortization(s); });
    h["btnCancelClick"] = TNotifyEvent([this](TObject* s) { Main.btnCancelClick(s); });
    BindNotify(h, "btnExtraClick", this, &TAmortizationPage::btnExtraClick);
    BindNotify(h, "rbOnePmtClick", this, &TAmortizationPage::rbOnePmtClick);
    BindNotify(h, "rbRangePmtsClick", this, &TAmortizationPage::rbRangePmtsClick);
    BindNotify(h, "rbAllPmtsClick", this, &TAmortizationPage::rbAllPmtsClick);
    BindNotify(h, "btnRecalcExtraClick", this, &TAmortizationPage::btnRecalcExtraClick);
    BindNotify(h, "btnRemoveClick", this, &TAmortizationPage::btnRemoveClick);
    BindNotify(h, "btnAnnualMonthlyClick", this, &TAmortizationPage::btnAnnualMonthlyClick);
    BindNotify(h, "cbMonthChange", this, &TAmortizationPage::cbMonthChange);
}

void TAmortizationPage::FindComponents() {
    edtMortAmt = Need<TEntPictureField>("edtMortAmt");
    edtIRate = Need<TEntPictureField>("edtIRate");
    edtNumPmts = Need<TEntPictureField>("edtNumPmts");
    edtAmortPayment = Need<TEntPictureField>("edtAmortPayment");
    edtYear = Need<TEntPictureField>("edtYear");
    edtFromPmt = Need<TEntPictureField>("edtFromPmt");
    edtToPmt = Need<TEntPictureField>("edtToPmt");
    edtExtraAmount = Need<TEntPictureField>("edtExtraAmount");
    cbMonth = Need<TComboBox>("cbMonth");
    btnAddExtra = Need<TButton>("btnAddExtra");
    btnAnnualMonthly = Need<TButton>("btnAnnualMonthly");
    PnlAddExtra = Need<TPanel>("PnlAddExtra");
    rbOnePmt = Need<TRadioButton>("rbOnePmt");
    rbRangePmts = Need<TRadioButton>("rbRangePmts");
    rbAllPmts = Need<TRadioButton>("rbAllPmts");
    LblFromPmt = Need<TLabel>("LblFromPmt");
    LblToPmt = Need<TLabel>("LblToPmt");
    grdAmortization = Need<TAlignGrid>("grdAmortization");
    grdAnnualAmortization = Need<TAlignGrid>("grdAnnualAmortization");
    memPrepayments = Need<TMemo>("memPrepayments");
}

// ---- Calculation ---------------------------------------------------------------------------

void TAmortizationPage::ReadInputs() {
    AmortPrincipal = edtMortAmt->GetAsFloat();
    AmortRate = edtIRate->GetAsFloat() / 100;
    AmortNumPayments = edtNumPmts->GetAsInteger();
    if (int month = MonthNumber(cbMonth->GetText())) AmortStartMonth = month;
    AmortStartYear = edtYear->GetAsInteger();
}

void TAmortizationPage::CalcAmortization(TObject* Sender) {
    btnAddExtra->SetEnabled(true);
    Main.AllowPrinting(Sender);
    ReadInputs();
    try {
        // The extra payments now shown go over to the new schedule by payment number.
        Main.CreatePrepaymentList(Sender);
        if (!Main.Mortgage) Main.Mortgage = std::make_unique<TMortgage>();
        Main.Mortgage->Create(AmortNumPayments, AmortPrincipal, AmortRate, 12, AmortStartMonth, AmortStartYear);
        ApplyPrepaymentList(*Main.Mortgage, PrepaymentText);
        FillGrdAmortization();
    } catch (...) {
        FillGrdAnnualAmortization();
        throw;
    }
    FillGrdAnnualAmortization();
    Screen->SetCursor(crDefault);
}

void TAmortizationPage::CreatePrepaymentList(TObject*) {
    TAlignGrid* g = grdAmortization;
    PrepaymentText =
        PrepaymentListText(AmortNumPayments, g->GetRowCount(), [g](int c, int r) { return g->GetCells(c, r); });
    memPrepayments->SetText(PrepaymentText);
}

void TAmortizationPage::TitleGrids() {
    for (int c = 0; c < AmortizationCols && c < grdAmortization->GetColCount(); ++c) {
        grdAmortization->SetColWidths(c, AmortizationWidths[size_t(c)]);
        grdAmortization->SetCells(c, 0, AmortizationHeaders[size_t(c)]);
    }
    for (int c = 0; c < AnnualAmortizationCols && c < grdAnnualAmortization->GetColCount(); ++c) {
        grdAnnualAmortization->SetColWidths(c, AnnualAmortizationWidths[size_t(c)]);
        grdAnnualAmortization->SetCells(c, 0, AnnualAmortizationHeaders[size_t(c)]);
    }
    for (TAlignGrid* g : {grdAmortization, grdAnnualAmortization})
        if (g->GetAutoAdjustLastCol()) g->AdjustLastCol();
}

void TAmortizationPage::FillGrdAmortization() {
    THourglass wait;
    TMortgage& m = *Main.Mortgage;
    edtAmortPayment->SetAsFloat(m.Payment);
    TitleGrids();
    auto rows = BuildAmortizationRows(m);
    TAlignGrid* g = grdAmortization;
    if (rows.empty()) {
        g->SetRowCount(2);
        for (int c = 0; c < g->GetColCount(); ++c) g->SetCells(c, 1, " ");
    } else {
        g->SetRowCount(int(rows.size()) + 1);
        for (int c = 0; c < AmortizationCols; ++c) {
            int r = 1;
            for (const auto& row : rows) g->SetCells(c, r++, row[size_t(c)]);
        }
    }
    g->SetVisible(btnAnnualMonthly->GetCaption() != kViewMonthly);
    wait.Done();
}

void TAmortizationPage::FillGrdAnnualAmortization() {
    TAlignGrid* a = grdAnnualAmortization;
    a->ClearCells();
    TitleGrids();
    TAlignGrid* g = grdAmortization;
    auto rows = BuildAnnualAmortizationRows(g->GetRowCount(), [g](int c, int r) { return g->GetCells(c, r); });
    a->SetRowCount(int(rows.size()) + 1);
    int r = 1;
    for (const auto& row : rows) {
        for (int c = 0; c < AnnualAmortizationCols; ++c) a->SetCells(c, r, row[size_t(c)]);
        ++r;
    }
}

// ---- Extra payments ----------------------------------------------------------------------------

void TAmortizationPage::SetInputsEnabled(bool Enabled) {
    for (TControl* c :
         std::initializer_list<TControl*>{edtMortAmt, edtIRate, edtNumPmts, edtAmortPayment, cbMonth, edtYear})
        c->SetEnabled(Enabled);
}

void TAmortizationPage::btnExtraClick(TObject*) {
    if (grdAmortization->GetCells(0, 1).empty()) return;
    SetInputsEnabled(false);
    PnlAddExtra->SetVisible(true);
}

void TAmortizationPage::SetPrepaymentRangeMode(int Mode) {
    if (Mode == 0) LblFromPmt->SetCaption("Payment #");
    if (Mode == 1) LblFromPmt->SetCaption("From Payment #");
    LblFromPmt->SetEnabled(Mode != 2);
    edtFromPmt->SetEnabled(Mode != 2);
    LblToPmt->SetEnabled(Mode == 1);
    edtToPmt->SetEnabled(Mode == 1);
}

void TAmortizationPage::rbOnePmtClick(TObject*) { SetPrepaymentRangeMode(0); }
void TAmortizationPage::rbRangePmtsClick(TObject*) { SetPrepaymentRangeMode(1); }
void TAmortizationPage::rbAllPmtsClick(TObject*) { SetPrepaymentRangeMode(2); }

void TAmortizationPage::btnRecalcExtraClick(TObject*) {
    ReadInputs();
    if (PnlAddExtra->GetVisible()) {
        if (rbOnePmt->GetChecked()) {
            ExtraMode = 0;
            ExtraFrom = edtFromPmt->GetAsInteger();
        } else if (rbRangePmts->GetChecked()) {
            ExtraMode = 1;
            ExtraFrom = edtFromPmt->GetAsInteger();
            ExtraTo = edtToPmt->GetAsInteger();
        } else {
            ExtraMode = 2;
        }
        ExtraAmount = edtExtraAmount->GetAsFloat();
    }
    if (!Main.Mortgage) Main.Mortgage = std::make_unique<TMortgage>();
    TMortgage& m = *Main.Mortgage;
    try {
        switch (ExtraMode) {
        case 0: m.SetExtraPayment(ExtraFrom, ExtraAmount); break;
        case 1: m.SetExtraPaymentRange(ExtraFrom, ExtraTo, ExtraAmount); break;
        default: m.SetExtraPaymentFrom(1, ExtraAmount); break;
        }
    } catch (EPaymentNumbers& e) {
        // Refused numbers change nothing: the user is told and the grids still
        // show the schedule just read.
        Main.AppOnException(&Main, e);
    }
    FillGrdAmortization();
    FillGrdAnnualAmortization();
}

void TAmortizationPage::btnRemoveClick(TObject*) {
    if (Main.Mortgage) Main.Mortgage->ClearExtraPayments();
    edtExtraAmount->SetAsFloat(0);
    edtFromPmt->SetAsInteger(0);
    edtToPmt->SetAsInteger(0);
    if (!Main.Mortgage) return;
    FillGrdAmortization();
    FillGrdAnnualAmortization();
}

void TAmortizationPage::btnCancelClick(TObject*) {
    SetInputsEnabled(true);
    PnlAddExtra->SetVisible(false);
}

void TAmortizationPage::btnAnnualMonthlyClick(TObject*) {
    const bool toAnnual = btnAnnualMonthly->GetCaption() == kViewAnnual;
    btnAnnualMonthly->SetCaption(toAnnual ? kViewMonthly : kViewAnnual);
    grdAmortization->SetVisible(!toAnnual);
    grdAnnualAmortization->SetVisible(toAnnual);
    btnAnnualMonthly->Hint = toAnnual ? kMonthlyHint : kAnnualHint;
}

void TAmortizationPage::cbMonthChange(TObject*) {
    if (MonthNumber(cbMonth->GetText()) == 0) cbMonth->SetText("Jan");
}

// ---- Reset steps --------------------------------------------------------------------------------

void TAmortizationPage::ClearSelection() {
    // No cell stays selected: the selection goes to a corner the grid does not show as chosen.
    grdAmortization->SetSelection(TGridRect{grdAmortization->GetFixedCols(), grdAmortization->GetFixedRows(),
                                            grdAmortization->GetFixedCols(), grdAmortization->GetFixedRows()});
}

void TAmortizationPage::CloseExtraPanel(TObject* Sender) {
    if (!PnlAddExtra->GetVisible()) return;
    edtFromPmt->SetAsInteger(0);
    edtToPmt->SetAsInteger(0);
    edtExtraAmount->SetAsFloat(0);
    PnlAddExtra->SetVisible(false);
    Main.btnCancelClick(Sender);
}

void TAmortizationPage::ClearGrids() {
    grdAmortization->ClearCells();
    grdAnnualAmortization->ClearCells();
    TitleGrids();
}
