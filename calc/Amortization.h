#pragma once
// The amortization page's texts: the monthly grid built from the schedule, the
// annual grid summed from the monthly grid's texts, and the extra-payment list
// that carries extra payments from one schedule to the next by payment number.
// The grid texts are also what the calculator file stores and the reports
// print, so the readers here accept every text the writers produce.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TMortgage;

constexpr int AmortizationCols = 8;
constexpr int AnnualAmortizationCols = 5;
extern const std::array<const char*, AmortizationCols> AmortizationHeaders;
extern const std::array<int, AmortizationCols> AmortizationWidths;
extern const std::array<const char*, AnnualAmortizationCols> AnnualAmortizationHeaders;
extern const std::array<int, AnnualAmortizationCols> AnnualAmortizationWidths;

// A cell text of a grid by column and row.
using TGridCellText = std::function<std::string(int Col, int Row)>;

// A money cell of the monthly grid: currency, 2 decimals.
std::string AmortizationMoneyText(double Value);

// A money text as the page and the regional settings write it (currency sign,
// thousands separators, either negative form) back to a number. Text that is
// no amount raises EConvertError "<text> is not a valid currency value!".
double MoneyTextToFloat(const std::string& Text);
// As MoneyTextToFloat, kept to 4 decimal places.
double TextToCurrency(const std::string& Text);

// The monthly grid's rows 1.. as texts: one row per payment until the loan is
// repaid, ending before the first row whose balance is negative.
std::vector<std::array<std::string, AmortizationCols>> BuildAmortizationRows(TMortgage& Mortgage);

// The extra-payment list of payment rows 1..NumPayments of the monthly grid
// (RowCount rows with its header): "<payment number> <extra payment>" CR LF per row.
std::string PrepaymentListText(int32_t NumPayments, int RowCount, const TGridCellText& Cell);
// Puts the list's extra payments on the schedule; lines without a number are skipped.
void ApplyPrepaymentList(TMortgage& Mortgage, const std::string& List);

// The annual grid's rows 1.. summed from the monthly grid (RowCount rows with
// its header): one row per calendar year of the schedule; none when the
// monthly grid holds no schedule.
std::vector<std::array<std::string, AnnualAmortizationCols>> BuildAnnualAmortizationRows(int RowCount,
                                                                                         const TGridCellText& Cell);

// 1..12 for "Jan".."Dec", else 0.
int MonthNumber(const std::string& Name);
