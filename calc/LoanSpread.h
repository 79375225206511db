#pragma once
// The loan spread tables: the mode's quantity solved for 11 values of one
// input down the side and 7 of another across the top, around the typed case
// in the centre cell (4, 6). Cells are [column][row] of an 8 x 12 grid whose
// column 0 and row 0 are the headings.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "CalcResult.h"

enum class TLoanSpreadMode : int { Payment = 0, LoanAmount = 1, Rate = 2, Term = 3 };

constexpr int LoanSpreadCols = 8, LoanSpreadRows = 12;
constexpr int LoanSpreadCentreCol = 4, LoanSpreadCentreRow = 6;

struct TLoanSpreadInputs {
    int Mode = 0;  // the ItemIndex of the mode group
    double Loan = 0;
    double RatePercent = 0;  // annual, 8.75 for 8.75 %
    int32_t Term = 0;        // months
    double Payment = 0;
    int LoanStep = -1, RateStep = -1, PaymentStep = -1;  // ItemIndex of each step group
};

// Everything a build writes, each set when it is written: a build that raises
// part way leaves what it wrote before the failing cell.
struct TLoanSpreadTable {
    std::array<std::array<std::optional<std::string>, LoanSpreadRows>, LoanSpreadCols> Cells;
    std::optional<std::string> LoanIncrementText, RateIncrementText, PaymentIncrementText;
    TCalcResult Solved;                 // payment, loan amount or rate of the typed case
    std::optional<int32_t> SolvedTerm;  // mode 3
    TCalcResult TotalPaid, InterestPaid;
    bool Complete = false;  // the selection and yellow cross follow
};

// Builds the table of In.Mode; a mode outside 0..3 builds nothing. Math errors
// of the finance functions raise EMathError; in mode 3 a term outside the
// term field's range (-32768..32767) raises EOverflow before the term is set.
void BuildLoanSpreadTable(const TLoanSpreadInputs& In, TLoanSpreadTable& Out);

// The grid before a build: the mode's placeholder headings (empty for another mode).
std::string LoanSpreadPlaceholder(int Mode, int Col, int Row);

// The step of a group's ItemIndex and its caption for the report; 0 and no
// caption for an index without an item.
struct TSpreadStep {
    double Step = 0;
    const char* Caption = nullptr;
};
TSpreadStep LoanStepOf(int ItemIndex);
TSpreadStep RateStepOf(int ItemIndex);
TSpreadStep PaymentStepOf(int ItemIndex);
