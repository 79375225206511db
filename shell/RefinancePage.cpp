#include "RefinancePage.h"

#include "Main.h"

#include "ExtCtrls.h"
#include "entpf.h"

namespace {

const char* const kFeeFields[ClosingCostItems] = {
    "edtDiscountPoints", "edtOriginationPoints", "edtCreditCheck",       "edtAttyFeeY",
    "edtAttyFeeL",       "edtTitleSearchFee",    "edtTitleInsuranceFee", "edtAppraisalFee",
    "edtInspections",    "edtLocalFees",         "edtOtherFees",         "edtPrepaymentPenalty",
};

}  // namespace

void TRefinancePage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcRefi", this, &TRefinancePage::CalcRefi);
    BindNotify(h, "CalcClosingCosts", this, &TRefinancePage::CalcClosingCosts);
    BindNotify(h, "btnCalcFeesClick", this, &TRefinancePage::btnCalcFeesClick);
    BindNotify(h, "btnCloseClosingCostsClick", this, &TRefinancePage::btnCloseClosingCostsClick);
    BindNotify(h, "btnClearClosingCostsClick", this, &TRefinancePage::btnClearClosingCostsClick);
}

void TRefinancePage::FindComponents() {
    edtOldLoan = Need<TEntPictureField>("edtOldLoan");
    edtOldTerm = Need<TEntPictureField>("edtOldTerm");
    edtOldInterestRate = Need<TEntPictureField>("edtOldInterestRate");
    edtOldPaymentsMade = Need<TEntPictureField>("edtOldPaymentsMade");
    edtOldPaymentsRemaining = Need<TEntPictureField>("edtOldPaymentsRemaining");
    edtOldPayment = Need<TEntPictureField>("edtOldPayment");
    edtNewLoan = Need<TEntPictureField>("edtNewLoan");
    edtNewTerm = Need<TEntPictureField>("edtNewTerm");
    edtNewInterestRate = Need<TEntPictureField>("edtNewInterestRate");
    edtRefiClosingCosts = Need<TEntPictureField>("edtRefiClosingCosts");
    edtMonthsUntilSell = Need<TEntPictureField>("edtMonthsUntilSell");
    edtNewPayment = Need<TEntPictureField>("edtNewPayment");
    edtPaymentSaved = Need<TEntPictureField>("edtPaymentSaved");
    edtTotalPaymentSaved = Need<TEntPictureField>("edtTotalPaymentSaved");
    edtOldEquity = Need<TEntPictureField>("edtOldEquity");
    edtNewEquity = Need<TEntPictureField>("edtNewEquity");
    edtEquitySavings = Need<TEntPictureField>("edtEquitySavings");
    edtTotalSaved = Need<TEntPictureField>("edtTotalSaved");
    LblSell = Need<TLabel>("LblSell");
    pnlClosingCosts = Need<TPanel>("pnlClosingCosts");
    for (size_t i = 0; i < ClosingCostItems; ++i) edtFees[i] = Need<TEntPictureField>(kFeeFields[i]);
    edtClosingFees = Need<TEntPictureField>("edtClosingFees");
    btnCloseClosingCosts = Need<TButton>("btnCloseClosingCosts");
}

void TRefinancePage::CalcRefi(TObject* Sender) {
    BeginCalculation(Sender);
    TRefiInputs in;
    in.OldTerm = edtOldTerm->GetAsInteger();
    in.OldPaymentsMade = edtOldPaymentsMade->GetAsInteger();
    in.OldLoan = edtOldLoan->GetAsFloat();
    in.OldRatePercent = edtOldInterestRate->GetAsFloat();
    in.NewTerm = edtNewTerm->GetAsInteger();
    in.NewLoan = edtNewLoan->GetAsFloat();
    in.MonthsUntilSell = edtMonthsUntilSell->GetAsInteger();
    in.NewRatePercent = edtNewInterestRate->GetAsFloat();
    in.ClosingCosts = edtRefiClosingCosts->GetAsFloat();
    TRefiResults r;
    ComputeAndShow([&] { ::CalcRefi(in, r); },
                   [&] {
                       if (r.PaymentsRemaining) edtOldPaymentsRemaining->SetAsInteger(*r.PaymentsRemaining);
                       ShowResult(edtOldPayment, r.OldPayment);
                       ShowResult(edtOldEquity, r.OldEquity);
                       ShowResult(edtNewPayment, r.NewPayment);
                       ShowResult(edtNewEquity, r.NewEquity);
                       ShowResult(edtPaymentSaved, r.PaymentSaved);
                       ShowResult(edtTotalPaymentSaved, r.TotalPaymentSaved);
                       ShowResult(edtEquitySavings, r.EquitySavings);
                       ShowResult(edtTotalSaved, r.TotalSaved);
                       if (r.Horizon) {
                           LblSell->SetCaption(RefiHeadline(*r.Horizon));
                           LblSell->Repaint();
                       }
                   });
}

void TRefinancePage::CalcClosingCosts(TObject* Sender) {
    std::array<double, ClosingCostItems> fees{};
    for (size_t i = 0; i < ClosingCostItems; ++i) fees[i] = edtFees[i]->GetAsFloat();
    const double total = ::CalcClosingCosts(fees);
    edtClosingFees->SetAsFloat(total);
    edtRefiClosingCosts->SetAsFloat(total);
    if (Sender == edtFees.back() && btnCloseClosingCosts->CanFocus()) btnCloseClosingCosts->SetFocus();
}

void TRefinancePage::btnCalcFeesClick(TObject*) {
    pnlClosingCosts->SetVisible(true);
    Main.FocusNamed("edtDiscountPoints");
}

void TRefinancePage::btnCloseClosingCostsClick(TObject* Sender) {
    pnlClosingCosts->SetVisible(false);
    CalcRefi(Sender);
    Main.FocusNamed("edtMonthsUntilSell");
}

void TRefinancePage::btnClearClosingCostsClick(TObject*) {
    for (TEntPictureField* fee : edtFees) fee->SetAsFloat(0);
    edtClosingFees->SetAsFloat(0);
    Main.FocusNamed("edtDiscountPoints");
}
