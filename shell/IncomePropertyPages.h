#pragma once
// The income property pages: capitalization rate, maximum loan, income
// multipliers and underwriting. The arithmetic is in CapRate.h and
// IncomeMultipliers.h.

#include "CalcPage.h"

class TFnpNumericEdit;

class TCapRatePage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgCapitalizationRate"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    void CalcCapRate(TObject* Sender);

    TEntPictureField *edtCRMarketValue = nullptr, *edtCRNOI = nullptr, *edtCRCapRate = nullptr;
    TEntPictureField *edtCRFinancingLTV = nullptr, *edtCRFinancingRate = nullptr,
                     *edtCRFinancingMortgageConstant = nullptr, *edtCRFinancingCapRate = nullptr;
    TFnpNumericEdit* edtCRFinancingTerm = nullptr;
    TEntPictureField *edtCREquityLTV = nullptr, *edtCREquityRate = nullptr, *edtCREquityCapRate = nullptr,
                     *edtCRDerivedCapRate = nullptr;
    TEntPictureField *edtCRNetOI = nullptr, *edtCRCapitalizationRate = nullptr, *edtCRValueOfProperty = nullptr;
};

class TMaximumLoanPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgMaximumLoan"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    void CalcMaximumLoan(TObject* Sender);

    TEntPictureField *edtMLNOI = nullptr, *edtMLLendersDebtCoverageRatio = nullptr, *edtMLInterestRate = nullptr,
                     *edtMLMaximumLoan = nullptr;
    TFnpNumericEdit* edtMLTerm = nullptr;
};

class TIncomeMultipliersPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgIncomeMultipliers"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    void CalcIncomeMultipliers(TObject* Sender);

    TEntPictureField *edtIM1MarketValue = nullptr, *edtIM1RentIncome = nullptr, *edtIM1GrossRentMultiplier = nullptr;
    TEntPictureField *edtIM2RentIncome = nullptr, *edtIM2GrossRentMultiplier = nullptr, *edtIM2MarketValue = nullptr;
    TEntPictureField *edtIM3NOI = nullptr, *edtIM3MarketValue = nullptr, *edtIM3NetIncomeMultiplier = nullptr;
    TEntPictureField *edtIM4NOI = nullptr, *edtIM4NetIncomeMultiplier = nullptr, *edtIM4MarketValue = nullptr;
};

class TUnderwritingPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgUnderwriting"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    void CalcUnderwriting(TObject* Sender);

    TEntPictureField *edtU1PropertyValue = nullptr, *edtU1LoanAmount = nullptr, *edtU1LTV = nullptr;
    TEntPictureField *edtU2NOI = nullptr, *edtU2AnnualDebtService = nullptr, *edtU2DebtCoverageRatio = nullptr;
    TEntPictureField *edtU3NOI = nullptr, *edtU3LoanAmount = nullptr, *edtU3InterestRate = nullptr,
                     *edtU3DebtCoverageRatio = nullptr;
    TFnpNumericEdit* edtU3Term = nullptr;
    TEntPictureField *edtU4GrossOperatingIncome = nullptr, *edtU4AnnualDebtService = nullptr,
                     *edtU4OperatingExpenses = nullptr, *edtU4BreakEvenRatio = nullptr;
};
