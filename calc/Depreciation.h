#pragma once
// Depreciation of a fixed asset year by year: straight line, double declining
// balance (never switching to straight line) and sum of the years' digits.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "CalcResult.h"

enum class TDepreciationMethod : int { StraightLine = 0, DoubleDeclining = 1, SumOfYearsDigits = 2 };

struct TDepreciationInputs {
    double Cost = 0;
    double Salvage = 0;
    int32_t Years = 0;
    int Method = 0;  // the ItemIndex of the method group
};

struct TDepreciationRow {
    int32_t Year = 0;
    double Book = 0;     // book value at the beginning of the year
    double Expense = 0;  // depreciation of the year
    double Total = 0;    // accumulated depreciation up to the year
};

struct TDepreciationResults {
    TCalcResult TotalDepreciated;        // cost less salvage
    int32_t RowCount = 1;                // the table's rows: the years, at least 1
    std::vector<TDepreciationRow> Rows;  // the filled rows from the top; the others stay empty
};

// A method outside 0..2 computes nothing. Sum of the years' digits over -1
// years divides by zero (EZeroDivide) after the total is set.
void CalcDepreciation(const TDepreciationInputs& In, TDepreciationResults& Out);

// The four cell texts of a row: the year, then three money texts.
std::array<std::string, 4> DepreciationRowTexts(const TDepreciationRow& Row);
