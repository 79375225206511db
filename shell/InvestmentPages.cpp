#include "InvestmentPages.h"

#include "Main.h"

#include "FnpNumericEdit.h"
#include "StdCtrls.h"
#include "entpf.h"
#include "grBtns.h"

namespace {

// Finds Prefix1 .. PrefixN.
template <class T, size_t N>
void NeedRow(std::array<T*, N>& Fields, const std::string& Prefix, TComponent* Root) {
    for (size_t k = 0; k < N; ++k) Fields[k] = NeedComponent<T>(Root, Prefix + std::to_string(k + 1));
}

}  // namespace

// ---- Future values -------------------------------------------------------------

void TFutureValuesPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcFV", this, &TFutureValuesPage::CalcFV);
}

void TFutureValuesPage::FindComponents() {
    NeedRow(edtFVp, "edtFVp", &Main);
    NeedRow(cbCompounding, "cbCompounding", &Main);
    NeedRow(edtFVpmt, "edtFVpmt", &Main);
    NeedRow(edtFVir, "edtFVir", &Main);
    NeedRow(edtFVn, "edtFVn", &Main);
    NeedRow(edtFV, "edtFV", &Main);
}

void TFutureValuesPage::ZeroValues(TObject* Sender) {
    TValueSetPage::ZeroValues(Sender);
    FocusWhenShown();
}

void TFutureValuesPage::CalcFV(TObject* Sender) {
    BeginCalculation(Sender);
    if (Main.btnReset) Main.btnReset->SetEnabled(true);
    // A box never shows one compounding while its row computes another.
    for (TCustomComboBox* box : cbCompounding) {
        const std::string text = box->GetText();
        const std::string corrected = CorrectedCompounding(text);
        if (corrected != text) box->SetText(corrected);
    }
    // Row by row: a rate or month count that is no number stops the rows after it.
    for (size_t k = 0; k < FutureValueRows; ++k) {
        TFVRow row;
        row.Compounding = cbCompounding[k]->GetText();
        row.BeginningBalance = edtFVp[k]->GetAsFloat();
        row.AnnualRatePercent = edtFVir[k]->GetValue();
        row.Months = edtFVn[k]->GetValue();
        row.MonthlyInvestment = edtFVpmt[k]->GetAsFloat();
        edtFV[k]->SetAsFloat(::CalcFV(row));
    }
}

// ---- Rates of return ---------------------------------------------------------------

void TRatesOfReturnPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcROR", this, &TRatesOfReturnPage::CalcROR);
}

void TRatesOfReturnPage::FindComponents() {
    NeedRow(edtRORBV, "edtRORBV", &Main);
    NeedRow(edtROREV, "edtROREV", &Main);
    NeedRow(edtRORDV, "edtRORDV", &Main);
    NeedRow(edtROR, "edtROR", &Main);
}

void TRatesOfReturnPage::ZeroValues(TObject* Sender) {
    TValueSetPage::ZeroValues(Sender);
    FocusWhenShown();
}

void TRatesOfReturnPage::CalcROR(TObject* Sender) {
    BeginCalculation(Sender);
    if (Main.btnReset) Main.btnReset->SetEnabled(true);
    std::array<TRORRow, RateOfReturnRows> in;
    for (size_t k = 0; k < RateOfReturnRows; ++k)
        in[k] = {edtRORBV[k]->GetAsFloat(), edtROREV[k]->GetAsFloat(), edtRORDV[k]->GetAsFloat()};
    std::array<TCalcResult, RateOfReturnRows> out;
    ComputeAndShow([&] { ::CalcROR(in, out); },
                   [&] {
                       for (size_t k = 0; k < RateOfReturnRows; ++k) ShowResult(edtROR[k], out[k]);
                   });
}

// ---- Discounted cash flows -------------------------------------------------------------

void TDiscountedCashFlowsPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcDCF", this, &TDiscountedCashFlowsPage::CalcDCF);
}

void TDiscountedCashFlowsPage::FindComponents() {
    NeedRow(edtDCFYear, "edtDCFYear", &Main);
    NeedRow(edtDiscountRate, "edtDiscountRate", &Main);
    NeedRow(edtNPV, "edtNPV", &Main);
}

void TDiscountedCashFlowsPage::CalcDCF(TObject* Sender) {
    BeginCalculation(Sender);
    TDCFCashFlows cashFlows{};
    for (size_t t = 0; t < ::DCFYears; ++t) {
        cashFlows[t] = edtDCFYear[t]->GetAsFloat();
        DCFYears[t + 1] = cashFlows[t];
    }
    std::array<double, ::DCFRates> rates{};
    for (size_t k = 0; k < ::DCFRates; ++k) {
        rates[k] = edtDiscountRate[k]->GetAsFloat();
        DCFRates[k + 1] = rates[k] / 100;
    }
    std::array<TCalcResult, ::DCFRates> out;
    ComputeAndShow([&] { ::CalcDCF(cashFlows, rates, out); },
                   [&] {
                       for (size_t k = 0; k < ::DCFRates; ++k) ShowResult(edtNPV[k], out[k]);
                   });
}
