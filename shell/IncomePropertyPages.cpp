#include "IncomePropertyPages.h"

#include "Main.h"

#include "CapRate.h"
#include "FnpNumericEdit.h"
#include "IncomeMultipliers.h"
#include "entpf.h"

// ---- Capitalization rate -----------------------------------------------------------

void TCapRatePage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcCapRate", this, &TCapRatePage::CalcCapRate);
}

void TCapRatePage::FindComponents() {
    edtCRMarketValue = Need<TEntPictureField>("edtCRMarketValue");
    edtCRNOI = Need<TEntPictureField>("edtCRNOI");
    edtCRCapRate = Need<TEntPictureField>("edtCRCapRate");
    edtCRFinancingLTV = Need<TEntPictureField>("edtCRFinancingLTV");
    edtCRFinancingRate = Need<TEntPictureField>("edtCRFinancingRate");
    edtCRFinancingTerm = Need<TFnpNumericEdit>("edtCRFinancingTerm");
    edtCRFinancingMortgageConstant = Need<TEntPictureField>("edtCRFinancingMortgageConstant");
    edtCRFinancingCapRate = Need<TEntPictureField>("edtCRFinancingCapRate");
    edtCREquityLTV = Need<TEntPictureField>("edtCREquityLTV");
    edtCREquityRate = Need<TEntPictureField>("edtCREquityRate");
    edtCREquityCapRate = Need<TEntPictureField>("edtCREquityCapRate");
    edtCRDerivedCapRate = Need<TEntPictureField>("edtCRDerivedCapRate");
    edtCRNetOI = Need<TEntPictureField>("edtCRNetOI");
    edtCRCapitalizationRate = Need<TEntPictureField>("edtCRCapitalizationRate");
    edtCRValueOfProperty = Need<TEntPictureField>("edtCRValueOfProperty");
}

void TCapRatePage::CalcCapRate(TObject* Sender) {
    BeginCalculation(Sender);
    TCapRateInputs in;
    in.MarketValue = edtCRMarketValue->GetAsFloat();
    in.NOI = edtCRNOI->GetAsFloat();
    in.FinancingLTVPercent = edtCRFinancingLTV->GetAsFloat();
    in.FinancingRatePercent = edtCRFinancingRate->GetAsFloat();
    in.FinancingPayments = edtCRFinancingTerm->GetAsInteger();
    in.EquityRatePercent = edtCREquityRate->GetAsFloat();
    in.NetOI = edtCRNetOI->GetAsFloat();
    in.CapitalizationRatePercent = edtCRCapitalizationRate->GetAsFloat();
    TCapRateResults r;
    ComputeAndShow([&] { ::CalcCapRate(in, r); },
                   [&] {
                       ShowResult(edtCRCapRate, r.CapRate);
                       ShowResult(edtCRFinancingMortgageConstant, r.FinancingMortgageConstant);
                       ShowResult(edtCRFinancingCapRate, r.FinancingCapRate);
                       ShowResult(edtCREquityLTV, r.EquityLTV);
                       ShowResult(edtCREquityCapRate, r.EquityCapRate);
                       ShowResult(edtCRDerivedCapRate, r.DerivedCapRate);
                       ShowResult(edtCRValueOfProperty, r.ValueOfProperty);
                   });
}

// ---- Maximum loan ----------------------------------------------------------------------

void TMaximumLoanPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcMaximumLoan", this, &TMaximumLoanPage::CalcMaximumLoan);
}

void TMaximumLoanPage::FindComponents() {
    edtMLNOI = Need<TEntPictureField>("edtMLNOI");
    edtMLLendersDebtCoverageRatio = Need<TEntPictureField>("edtMLLendersDebtCoverageRatio");
    edtMLTerm = Need<TFnpNumericEdit>("edtMLTerm");
    edtMLInterestRate = Need<TEntPictureField>("edtMLInterestRate");
    edtMLMaximumLoan = Need<TEntPictureField>("edtMLMaximumLoan");
}

void TMaximumLoanPage::CalcMaximumLoan(TObject* Sender) {
    BeginCalculation(Sender);
    TMaximumLoanInputs in;
    in.NOI = edtMLNOI->GetAsFloat();
    in.DebtCoverageRatio = edtMLLendersDebtCoverageRatio->GetAsFloat();
    in.TermMonths = edtMLTerm->GetAsInteger();
    in.AnnualRatePercent = edtMLInterestRate->GetAsFloat();
    edtMLMaximumLoan->SetAsFloat(::CalcMaximumLoan(in));
}

// ---- Income multipliers ------------------------------------------------------------------

void TIncomeMultipliersPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcIncomeMultipliers", this, &TIncomeMultipliersPage::CalcIncomeMultipliers);
}

void TIncomeMultipliersPage::FindComponents() {
    edtIM1MarketValue = Need<TEntPictureField>("edtIM1MarketValue");
    edtIM1RentIncome = Need<TEntPictureField>("edtIM1RentIncome");
    edtIM1GrossRentMultiplier = Need<TEntPictureField>("edtIM1GrossRentMultiplier");
    edtIM2RentIncome = Need<TEntPictureField>("edtIM2RentIncome");
    edtIM2GrossRentMultiplier = Need<TEntPictureField>("edtIM2GrossRentMultiplier");
    edtIM2MarketValue = Need<TEntPictureField>("edtIM2MarketValue");
    edtIM3NOI = Need<TEntPictureField>("edtIM3NOI");
    edtIM3MarketValue = Need<TEntPictureField>("edtIM3MarketValue");
    edtIM3NetIncomeMultiplier = Need<TEntPictureField>("edtIM3NetIncomeMultiplier");
    edtIM4NOI = Need<TEntPictureField>("edtIM4NOI");
    edtIM4NetIncomeMultiplier = Need<TEntPictureField>("edtIM4NetIncomeMultiplier");
    edtIM4MarketValue = Need<TEntPictureField>("edtIM4MarketValue");
}

void TIncomeMultipliersPage::CalcIncomeMultipliers(TObject* Sender) {
    BeginCalculation(Sender);
    TIncomeMultiplierInputs in;
    in.IM1MarketValue = edtIM1MarketValue->GetAsFloat();
    in.IM1RentIncome = edtIM1RentIncome->GetAsFloat();
    in.IM2RentIncome = edtIM2RentIncome->GetAsFloat();
    in.IM2GrossRentMultiplier = edtIM2GrossRentMultiplier->GetAsFloat();
    in.IM3NOI = edtIM3NOI->GetAsFloat();
    in.IM3MarketValue = edtIM3MarketValue->GetAsFloat();
    in.IM4NOI = edtIM4NOI->GetAsFloat();
    in.IM4NetIncomeMultiplier = edtIM4NetIncomeMultiplier->GetAsFloat();
    TIncomeMultiplierResults r;
    ComputeAndShow([&] { ::CalcIncomeMultipliers(in, r); },
                   [&] {
                       ShowResult(edtIM1GrossRentMultiplier, r.GrossRentMultiplier);
                       ShowResult(edtIM2MarketValue, r.GrossRentMarketValue);
                       ShowResult(edtIM3NetIncomeMultiplier, r.NetIncomeMultiplier);
                       ShowResult(edtIM4MarketValue, r.NetIncomeMarketValue);
                   });
}

// ---- Underwriting ---------------------------------------------------------------------------

void TUnderwritingPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcUnderwriting", this, &TUnderwritingPage::CalcUnderwriting);
}

void TUnderwritingPage::FindComponents() {
    edtU1PropertyValue = Need<TEntPictureField>("edtU1PropertyValue");
    edtU1LoanAmount = Need<TEntPictureField>("edtU1LoanAmount");
    edtU1LTV = Need<TEntPictureField>("edtU1LTV");
    edtU2NOI = Need<TEntPictureField>("edtU2NOI");
    edtU2AnnualDebtService = Need<TEntPictureField>("edtU2AnnualDebtService");
    edtU2DebtCoverageRatio = Need<TEntPictureField>("edtU2DebtCoverageRatio");
    edtU3NOI = Need<TEntPictureField>("edtU3NOI");
    edtU3LoanAmount = Need<TEntPictureField>("edtU3LoanAmount");
    edtU3InterestRate = Need<TEntPictureField>("edtU3InterestRate");
    edtU3Term = Need<TFnpNumericEdit>("edtU3Term");
    edtU3DebtCoverageRatio = Need<TEntPictureField>("edtU3DebtCoverageRatio");
    edtU4GrossOperatingIncome = Need<TEntPictureField>("edtU4GrossOperatingIncome");
    edtU4AnnualDebtService = Need<TEntPictureField>("edtU4AnnualDebtService");
    edtU4OperatingExpenses = Need<TEntPictureField>("edtU4OperatingExpenses");
    edtU4BreakEvenRatio = Need<TEntPictureField>("edtU4BreakEvenRatio");
}

void TUnderwritingPage::CalcUnderwriting(TObject* Sender) {
    BeginCalculation(Sender);
    TUnderwritingInputs in;
    in.U1PropertyValue = edtU1PropertyValue->GetAsFloat();
    in.U1LoanAmount = edtU1LoanAmount->GetAsFloat();
    in.U2NOI = edtU2NOI->GetAsFloat();
    in.U2AnnualDebtService = edtU2AnnualDebtService->GetAsFloat();
    in.U3NOI = edtU3NOI->GetAsFloat();
    in.U3LoanAmount = edtU3LoanAmount->GetAsFloat();
    in.U3InterestRatePercent = edtU3InterestRate->GetAsFloat();
    in.U3TermMonths = edtU3Term->GetAsInteger();
    in.U4GrossOperatingIncome = edtU4GrossOperatingIncome->GetAsFloat();
    in.U4AnnualDebtService = edtU4AnnualDebtService->GetAsFloat();
    in.U4OperatingExpenses = edtU4OperatingExpenses->GetAsFloat();
    TUnderwritingResults r;
    ComputeAndShow([&] { ::CalcUnderwriting(in, r); },
                   [&] {
                       ShowResult(edtU1LTV, r.LTV);
                       ShowResult(edtU3DebtCoverageRatio, r.DebtCoverageFromTerms);
                       ShowResult(edtU2DebtCoverageRatio, r.DebtCoverageFromDebtService);
                       ShowResult(edtU4BreakEvenRatio, r.BreakEvenRatio);
                   });
}
