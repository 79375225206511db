#pragma once
// The refinancing calculator: keeping the current loan against replacing it,
// up to the month of the expected sale; and the itemized closing costs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "CalcResult.h"

struct TRefiInputs {
    double OldLoan = 0;         // current balance
    int32_t OldTerm = 0;        // months
    double OldRatePercent = 0;  // annual
    int32_t OldPaymentsMade = 0;
    double NewLoan = 0;
    int32_t NewTerm = 0;        // months
    double NewRatePercent = 0;  // annual
    double ClosingCosts = 0;
    int32_t MonthsUntilSell = 0;
};

// Set in this order; Horizon (the months compared, for the headline) last.
struct TRefiResults {
    std::optional<int32_t> PaymentsRemaining;
    TCalcResult OldPayment, OldEquity, NewPayment, NewEquity;
    TCalcResult PaymentSaved, TotalPaymentSaved, EquitySavings, TotalSaved;
    std::optional<int32_t> Horizon;
};

// The horizon is the months until the sale, at most the new term; the current
// loan is compared over the payments it still has within it. Payment savings
// count what each loan costs over its own months: the old payment for the old
// loan's months, the new one for the whole horizon. Nothing is rounded.
void CalcRefi(const TRefiInputs& In, TRefiResults& Out);

// The headline above the comparison.
std::string RefiHeadline(int32_t Horizon);

constexpr int ClosingCostItems = 12;
// The twelve itemized fees, from the discount fee to the prepayment penalty.
double CalcClosingCosts(const std::array<double, ClosingCostItems>& Fees);
