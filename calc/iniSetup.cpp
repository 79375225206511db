// The calculators' zero and sample value sets.

#include "iniSetup.h"

#include <array>

namespace {

const TResetValue kQuickCalc[] = {
    {"edtLA", 100000},
    {"edtIR", 8.75},
    {"edtPMT", 786.7},
    {"edtN", 360},
    {"edtMPISalesPrice", 125000},
    {"edtMPIDownPaymentSum", 25000},
    {"edtMPIDownPaymentPercent", 20},
    {"edtMPILoanAmount", 100000},
    {"edtMPIInterestRate", 8.75},
    {"edtMPITermInMonths", 360},
    {"edtMPIPayment", 786.7},
};

// Rates are fractions in the loan comparison.
const TResetValue kLoanComparisons[] = {
    {"edtLCLoan1", 100000},        {"edtLCInterest1", 0.0875},
    {"edtLCTerm1", 360},           {"edtLCPoints1", 0},
    {"edtLCPayment1", 786.7},      {"edtLCTotalPaid1", 283212.15},
    {"edtLCLoanCost1", 183212.15}, {"edtLCPointsCost1", 0},
    {"edtLCLoan2", 100000},        {"edtLCInterest2", 0.0875},
    {"edtLCTerm2", 240},           {"edtLCPoints2", 1},
    {"edtLCPayment2", 883.71},     {"edtLCTotalPaid2", 213090.57},
    {"edtLCLoanCost2", 112090.57}, {"edtLCPointsCost2", 1000},
    {"edtLCLoan3", 100000},        {"edtLCInterest3", 0.0925},
    {"edtLCTerm3", 360},           {"edtLCPoints3", 2},
    {"edtLCPayment3", 822.68},     {"edtLCTotalPaid3", 298163.15},
    {"edtLCLoanCost3", 196163.15}, {"edtLCPointsCost3", 2000},
    {"edtLCLoan4", 100000},        {"edtLCInterest4", 0.0925},
    {"edtLCTerm4", 240},           {"edtLCPoints4", 2},
    {"edtLCPayment4", 915.87},     {"edtLCTotalPaid4", 221808.04},
    {"edtLCLoanCost4", 119808.04}, {"edtLCPointsCost4", 2000},
    {"edtLCLoan5", 100000},        {"edtLCInterest5", 0.0875},
    {"edtLCTerm5", 360},           {"edtLCPoints5", 1},
    {"edtLCPayment5", 786.7},      {"edtLCTotalPaid5", 284212.15},
    {"edtLCLoanCost5", 183212.15}, {"edtLCPointsCost5", 1000},
    {"edtLCLoan6", 95000},         {"edtLCInterest6", 0.0875},
    {"edtLCTerm6", 240},           {"edtLCPoints6", 2},
    {"edtLCPayment6", 839.53},     {"edtLCTotalPaid6", 203386.04},
    {"edtLCLoanCost6", 106486.04}, {"edtLCPointsCost6", 1900},
};

const TResetValue kMortgageQualifier[] = {
    {"edtIncome1", 4000},
    {"edtIncome2", 0},
    {"edtOIncome1", 1000},
    {"edtOIncome2", 0},
    {"edtCards1", 350},
    {"edtCards2", 0},
    {"edtAuto1", 450},
    {"edtAuto2", 0},
    {"edtNotes1", 50},
    {"edtNotes2", 0},
    {"edtMQPropertyTaxes", 0},
    {"edtMQHomeownersInsurance", 0},
    {"edtHousingRatio", 28},
    {"edtDebtRatio", 36},
    {"edtMQDownPayment", 20000},
    {"edtMQir1", 7.5},
    {"edtMQir2", 7.25},
    {"edtMQir3", 7},
    {"edtMQTerm1", 30},
    {"edtMQTerm2", 20},
    {"edtMQTerm3", 15},
    {"edtCalculatedHousingRatio", 19},
    {"edtCalculatedDebtRatio", 36},
    {"edtMQPayment1", 950},
    {"edtMQPayment2", 950},
    {"edtMQPayment3", 950},
    {"edtMQLoan1", 135866.75},
    {"edtMQLoan2", 120195.96},
    {"edtMQLoan3", 105693.16},
    {"edtMQPurchasePrice1", 155866.75},
    {"edtMQPurchasePrice2", 140195.96},
    {"edtMQPurchasePrice3", 125693.16},
};

// The closing-cost panel's fees are not part of it.
const TResetValue kRefinance[] = {
    {"edtOldLoan", 100000},           {"edtOldTerm", 360},
    {"edtOldInterestRate", 8.75},     {"edtOldPaymentsMade", 0},
    {"edtOldPaymentsRemaining", 360}, {"edtOldPayment", 786.7},
    {"edtNewLoan", 100000},           {"edtNewTerm", 240},
    {"edtNewInterestRate", 7.25},     {"edtRefiClosingCosts", 0},
    {"edtMonthsUntilSell", 240},      {"edtNewPayment", 790.38},
    {"edtPaymentSaved", -3.68},       {"edtTotalPaymentSaved", -882.14},
    {"edtOldEquity", 37228.05},       {"edtNewEquity", 100000},
    {"edtEquitySavings", 62771.95},   {"edtTotalSaved", 61889.81},
};

const TResetValue kFutureValues[] = {
    {"edtFVp1", 10000}, {"cbCompounding1", 0, "Monthly"},
    {"edtFVpmt1", 100}, {"edtFVir1", 8.75},
    {"edtFVn1", 12},    {"edtFV1", 12160.27},
    {"edtFVp2", 10000}, {"cbCompounding2", 0, "Monthly"},
    {"edtFVpmt2", 100}, {"edtFVir2", 8.75},
    {"edtFVn2", 24},    {"edtFV2", 14517.34},
    {"edtFVp3", 10000}, {"cbCompounding3", 0, "Monthly"},
    {"edtFVpmt3", 100}, {"edtFVir3", 8.75},
    {"edtFVn3", 36},    {"edtFV3", 17089.12},
    {"edtFVp4", 10000}, {"cbCompounding4", 0, "Monthly"},
    {"edtFVpmt4", 100}, {"edtFVir4", 8.75},
    {"edtFVn4", 48},    {"edtFV4", 19895.18},
    {"edtFVp5", 10000}, {"cbCompounding5", 0, "Monthly"},
    {"edtFVpmt5", 100}, {"edtFVir5", 8.75},
    {"edtFVn5", 60},    {"edtFV5", 22956.86},
};

const TResetValue kRatesOfReturn[] = {
    {"edtRORBV1", 2500}, {"edtROREV1", 2600},  {"edtRORDV1", 0},     {"edtROR1", 4},      {"edtRORBV2", 2500},
    {"edtROREV2", 2600}, {"edtRORDV2", 50},    {"edtROR2", 6},       {"edtRORBV3", 5000}, {"edtROREV3", 5500},
    {"edtRORDV3", 0},    {"edtROR3", 10},      {"edtRORBV4", 5000},  {"edtROREV4", 5500}, {"edtRORDV4", 150},
    {"edtROR4", 13},     {"edtRORBV5", 10000}, {"edtROREV5", 11000}, {"edtRORDV5", 100},  {"edtROR5", 11},
};

const TResetValue kDiscountedCashFlows[] = {
    {"edtDCFYear1", 9000},   {"edtDCFYear2", 0},      {"edtDCFYear3", -3000},  {"edtDCFYear4", 8000},
    {"edtDCFYear5", 8200},   {"edtDCFYear6", 9000},   {"edtDCFYear7", 9350},   {"edtDCFYear8", 12500},
    {"edtDCFYear9", 137580}, {"edtDCFYear10", 0},     {"edtDCFYear11", 0},     {"edtDCFYear12", 0},
    {"edtDCFYear13", 0},     {"edtDCFYear14", 0},     {"edtDCFYear15", 0},     {"edtDCFYear16", 0},
    {"edtDCFYear17", 0},     {"edtDCFYear18", 0},     {"edtDCFYear19", 0},     {"edtDCFYear20", 0},
    {"edtDCFYear21", 0},     {"edtDCFYear22", 0},     {"edtDCFYear23", 0},     {"edtDCFYear24", 0},
    {"edtDCFYear25", 0},     {"edtDCFYear26", 0},     {"edtDCFYear27", 0},     {"edtDCFYear28", 0},
    {"edtDCFYear29", 0},     {"edtDCFYear30", 0},     {"edtDiscountRate1", 5}, {"edtDiscountRate2", 6},
    {"edtDiscountRate3", 7}, {"edtDiscountRate4", 8}, {"edtDiscountRate5", 9}, {"edtNPV1", 129493.05},
    {"edtNPV2", 120274.95},  {"edtNPV3", 111841.28},  {"edtNPV4", 104117.63},  {"edtNPV5", 97037.33},
};

const TResetValue kDepreciation[] = {
    {"edtOriginalCost", 100000},
    {"edtSalvageValue", 92500},
    {"edtTotalDepreciated", 7500},
    {"edtDepreciationPeriod", 10},
};

const TResetValue kLoanSpread[] = {
    {"edtLoan", 100000},
    {"edtInterest", 8.75},
    {"edtTerm", 360},
    {"edtPayment", 786.7},
};

const TResetValue kCapRate[] = {
    {"edtCRMarketValue", 1000000},
    {"edtCRNOI", 110000},
    {"edtCRCapRate", 11},
    {"edtCRFinancingLTV", 80},
    {"edtCRFinancingRate", 8},
    {"edtCRFinancingTerm", 240},
    {"edtCRFinancingMortgageConstant", 0.10037281},
    {"edtCRFinancingCapRate", 8.02982466},
    {"edtCREquityLTV", 20},
    {"edtCREquityRate", 11},
    {"edtCREquityCapRate", 2.2},
    {"edtCRDerivedCapRate", 10.22982466},
    {"edtCRNetOI", 110000},
    {"edtCRCapitalizationRate", 10.23},
    {"edtCRValueOfProperty", 1075268.82},
};

const TResetValue kMaximumLoan[] = {
    {"edtMLNOI", 120000},     {"edtMLLendersDebtCoverageRatio", 1.2}, {"edtMLTerm", 240},
    {"edtMLInterestRate", 8}, {"edtMLMaximumLoan", 996285.76},
};

const TResetValue kIncomeMultipliers[] = {
    {"edtIM1MarketValue", 700000}, {"edtIM1RentIncome", 90000},         {"edtIM1GrossRentMultiplier", 7.778},
    {"edtIM2RentIncome", 90000},   {"edtIM2GrossRentMultiplier", 7.78}, {"edtIM2MarketValue", 700200},
    {"edtIM3NOI", 88000},          {"edtIM3MarketValue", 880000},       {"edtIM3NetIncomeMultiplier", 10},
    {"edtIM4NOI", 88000},          {"edtIM4NetIncomeMultiplier", 10},   {"edtIM4MarketValue", 880000},
};

const TResetValue kUnderwriting[] = {
    {"edtU1PropertyValue", 100000},
    {"edtU1LoanAmount", 75000},
    {"edtU1LTV", 75},
    {"edtU2NOI", 10000},
    {"edtU2AnnualDebtService", 8030},
    {"edtU2DebtCoverageRatio", 1.245},
    {"edtU3NOI", 10000},
    {"edtU3LoanAmount", 80000},
    {"edtU3InterestRate", 8},
    {"edtU3Term", 240},
    {"edtU3DebtCoverageRatio", 1.245},
    {"edtU4GrossOperatingIncome", 57500},
    {"edtU4AnnualDebtService", 24000},
    {"edtU4OperatingExpenses", 22000},
    {"edtU4BreakEvenRatio", 80},
};

const TCalculatorReset kResets[] = {
    {"pgQuickCalculators", kQuickCalc, "nbkQuickCalc"},
    {"pgCapitalizationRate", kCapRate, "edtCRMarketValue"},
    {"pgMaximumLoan", kMaximumLoan, "edtMLNOI"},
    {"pgIncomeMultipliers", kIncomeMultipliers, "edtIM1MarketValue"},
    {"pgUnderwriting", kUnderwriting, "edtU1PropertyValue"},
    {"pgMortgageQualifier", kMortgageQualifier, "edtIncome1"},
    {"pgRefinancingCalculator", kRefinance, "edtOldLoan"},
    {"pgLoanComparisons", kLoanComparisons, "edtLCLoan1"},
    {"pgRatesOfReturn", kRatesOfReturn, "edtRORBV1"},
    {"pgFutureValues", kFutureValues, "edtFVp1"},
    {"pgDiscountedCashFlows", kDiscountedCashFlows, "edtDCFYear1"},
    {"pgDepreciation", kDepreciation, "edtOriginalCost"},
    {"pgLoanSpreadCalculator", kLoanSpread, "edtLoan"},
};

const std::array<const char*, 12> kMonthListNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::span<const TCalculatorReset> CalculatorResets() { return kResets; }

const TCalculatorReset* FindCalculatorReset(const std::string& Page) {
    for (const TCalculatorReset& reset : kResets)
        if (Page == reset.Page) return &reset;
    return nullptr;
}

const char* MonthListName(int Month) {
    if (Month < 1 || Month > 12) return "";
    return kMonthListNames[size_t(Month - 1)];
}
