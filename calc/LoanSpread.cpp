// The loan spread tables.

#include "LoanSpread.h"

#include "Lsc.h"
#include "SysUtils.h"

#include <cmath>

namespace {

const TSpreadStep kLoanSteps[] = {{100, "$100"},   {250, "$250"},   {500, "$500"},   {1000, "$1000"}, {2000, "$2000"},
                                  {2500, "$2500"}, {3000, "$3000"}, {4000, "$4000"}, {5000, "$5000"}};
const TSpreadStep kRateSteps[] = {{0.125, "1/8%"}, {0.25, "1/4%"}, {0.375, "3/8%"}, {0.5, "1/2%"},
                                  {0.625, "5/8%"}, {0.75, "3/4%"}, {0.875, "7/8%"}, {1.0, "1%"}};
const TSpreadStep kPaymentSteps[] = {{10, "$10"},   {25, "$25"},   {50, "$50"},   {75, "$75"},  {100, "$100"},
                                     {125, "$125"}, {150, "$150"}, {175, "$175"}, {200, "$200"}};

template <size_t N>
TSpreadStep StepOf(const TSpreadStep (&Table)[N], int ItemIndex) {
    if (ItemIndex < 0 || size_t(ItemIndex) >= N) return {};
    return Table[ItemIndex];
}

std::string General(double v) { return FloatToStrF(v, ffGeneral, 5, 3); }
std::string Fixed(double v, int decimals) { return FloatToStrF(v, ffFixed, 5, decimals); }
// Payments, loans and amounts: precision 10 holds every figure of a loan to the cent.
std::string Money(double v, int decimals) { return FloatToStrF(v, ffCurrency, 10, decimals); }

}  // namespace

TSpreadStep LoanStepOf(int ItemIndex) { return StepOf(kLoanSteps, ItemIndex); }
TSpreadStep RateStepOf(int ItemIndex) { return StepOf(kRateSteps, ItemIndex); }
TSpreadStep PaymentStepOf(int ItemIndex) { return StepOf(kPaymentSteps, ItemIndex); }

void BuildLoanSpreadTable(const TLoanSpreadInputs& In, TLoanSpreadTable& Out) {
    const int mode = In.Mode;
    if (mode < 0 || mode > 3) return;
    const bool rowsArePayments = mode == 1;
    const bool colsArePayments = mode >= 2;

    TSpreadStep rowStep = rowsArePayments ? PaymentStepOf(In.PaymentStep) : LoanStepOf(In.LoanStep);
    TSpreadStep colStep = colsArePayments ? PaymentStepOf(In.PaymentStep) : RateStepOf(In.RateStep);
    if (rowStep.Caption) (rowsArePayments ? Out.PaymentIncrementText : Out.LoanIncrementText) = rowStep.Caption;
    if (colStep.Caption) (colsArePayments ? Out.PaymentIncrementText : Out.RateIncrementText) = colStep.Caption;

    const double rowBase = rowsArePayments ? In.Payment : In.Loan;
    const double colBase = colsArePayments ? In.Payment : In.RatePercent;
    std::array<double, LoanSpreadRows> rowValue{};
    std::array<double, LoanSpreadCols> colValue{};
    for (int r = 1; r < LoanSpreadRows; ++r)
        rowValue[size_t(r)] = double(static_cast<long double>(rowBase) +
                                     (r - LoanSpreadCentreRow) * static_cast<long double>(rowStep.Step));
    for (int c = 1; c < LoanSpreadCols; ++c)
        colValue[size_t(c)] = double(static_cast<long double>(colBase) +
                                     (c - LoanSpreadCentreCol) * static_cast<long double>(colStep.Step));

    if (mode == 0) Out.Cells[0][0] = " Loan / Rate";
    for (int c = 1; c < LoanSpreadCols; ++c)
        Out.Cells[size_t(c)][0] =
            "  " + (colsArePayments ? Money(colValue[size_t(c)], 2) : General(colValue[size_t(c)]) + "%");
    for (int r = 1; r < LoanSpreadRows; ++r)
        Out.Cells[0][size_t(r)] = " " + Money(rowValue[size_t(r)], rowsArePayments ? 2 : 0);

    const int32_t n = In.Term;
    auto solve = [&](double rowV, double colV) -> double {
        switch (mode) {
        case 0: return CalcPayment(n, rowV, colV / 1200);
        case 1: return CalcLoanAmount(n, 0, colV, rowV);
        case 2: return CalcRate(n, rowV, 0, colV);
        default: return CalcTerm(rowV, colV, In.RatePercent);
        }
    };
    auto bodyText = [&](double v) {
        switch (mode) {
        case 0: return " " + Money(v, 2);
        case 1: return " " + Money(v, 0);
        case 2: return " " + Fixed(v, 3) + "%";
        default: return " " + Fixed(v, 2);
        }
    };
    for (int c = 1; c < LoanSpreadCols; ++c)
        for (int r = 1; r < LoanSpreadRows; ++r) {
            double v = solve(rowValue[size_t(r)], colValue[size_t(c)]);
            Out.Cells[size_t(c)][size_t(r)] = bodyText(v);
            if (c != LoanSpreadCentreCol || r != LoanSpreadCentreRow) continue;
            // The typed case: the result field and the two totals.
            const long double ld = v;
            switch (mode) {
            case 0:
                Out.Solved = v;
                Out.TotalPaid = double(ld * n);
                Out.InterestPaid = double(ld * n - In.Loan);
                break;
            case 1:
                Out.Solved = v;
                Out.TotalPaid = double(static_cast<long double>(n) * In.Payment);
                Out.InterestPaid = double(static_cast<long double>(n) * In.Payment - ld);
                break;
            case 2:
                Out.Solved = v;
                Out.TotalPaid = double(static_cast<long double>(n) * In.Payment);
                Out.InterestPaid = double(static_cast<long double>(n) * In.Payment - In.Loan);
                break;
            default: {
                // The term field holds -32768..32767; a term beyond it cannot be shown.
                double t = std::trunc(v);
                if (t < -32768 || t > 32767) throw EOverflow();
                Out.SolvedTerm = int32_t(t);
                Out.TotalPaid = double(ld * In.Payment);
                Out.InterestPaid = double(ld * In.Payment - In.Loan);
                break;
            }
            }
        }
    Out.Complete = true;
}

std::string LoanSpreadPlaceholder(int Mode, int Col, int Row) {
    static const char* const loanRows[] = {" $95,000",  " $96,000",  " $97,000",  " $98,000",  " $99,000", " $100,000",
                                           " $101,000", " $102,000", " $103,000", " $104,000", " $105,000"};
    static const char* const rateCols[] = {"5.50%", "6.00%", "6.50%", "7.00%", "7.50%", "8.00%", "8.50%"};
    static const char* const rateRows[] = {" 4.50%", " 5.00%", " 5.50%", " 6.00%", " 6.50%", " 7.00%",
                                           " 7.50%", " 8.00%", " 8.50%", " 9.00%", "9.50%"};
    static const char* const paymentCols[] = {"$650.00", "$700.00", "$750.00", "$800.00",
                                              "$850.00", "$900.00", "$950.00"};
    if (Mode < 0 || Mode > 3) return "";
    if (Col == 0 && Row == 0) return Mode == 0 ? " Loan / Rate" : Mode == 1 ? " Pmt / Rate" : " Loan / Pmt";
    if (Col == 0 && Row >= 1 && Row < LoanSpreadRows) return Mode == 1 ? rateRows[Row - 1] : loanRows[Row - 1];
    if (Row == 0 && Col >= 1 && Col < LoanSpreadCols) return Mode == 0 ? rateCols[Col - 1] : paymentCols[Col - 1];
    return "";
}
