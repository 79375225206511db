#pragma once
// The mortgage qualifier: the largest monthly payment that both qualifying
// ratios allow, the loan it carries in three rate-and-term scenarios, the
// purchase price with the cash for the down payment, and the ratios reached.

#include <array>
#include <cstdint>

#include "CalcResult.h"

constexpr int MQScenarios = 3;

struct TMQInputs {
    double Income1 = 0, Income2 = 0;  // borrower, co-borrower
    double OtherIncome1 = 0, OtherIncome2 = 0;
    double Cards1 = 0, Cards2 = 0;
    double Auto1 = 0, Auto2 = 0;
    double Notes1 = 0, Notes2 = 0;
    double PropertyTaxes = 0, HomeownersInsurance = 0;  // monthly
    double HousingRatio = 0, DebtRatio = 0;             // whole percent
    double DownPayment = 0;
    std::array<double, MQScenarios> AnnualRatePercent{};
    std::array<int32_t, MQScenarios> TermYears{};
};

struct TMQScenarioResults {
    TCalcResult Payment, Loan, PurchasePrice;
};

// Set in this order: the scenarios one by one, then the two ratios.
struct TMQResults {
    std::array<TMQScenarioResults, MQScenarios> Scenario;
    TCalcResult HousingRatio, DebtRatio;
};

// Nothing is rounded. Taxes and insurance lower the housing limit only. A
// qualifying payment below 0 shows as 0 and lends nothing. A scenario rate of
// 0 lends what the payments repay without interest.
void CalcMQ(const TMQInputs& In, TMQResults& Out);

// The second and third scenario rates follow the first a quarter and half a
// point below it.
std::array<double, MQScenarios> MQScenarioRates(double FirstRatePercent);
