// The amortization page's grid texts and extra-payment list.

#include "Amortization.h"

#include "MortLib.h"
#include "SysUtils.h"
#include "iniSetup.h"

#include <cmath>

const std::array<const char*, AmortizationCols> AmortizationHeaders = {
    "PMT", "Month", "Principal", "Interest", "Total Principal", "Total Interest", "Prepayment", "Balance"};
const std::array<int, AmortizationCols> AmortizationWidths = {39, 55, 65, 65, 90, 90, 80, 90};
const std::array<const char*, AnnualAmortizationCols> AnnualAmortizationHeaders = {
    "Year", "Period", "Total Annual Principal", "Total Annual Interest", "Total Annual Payment"};
const std::array<int, AnnualAmortizationCols> AnnualAmortizationWidths = {39, 116, 140, 140, 140};

std::string AmortizationMoneyText(double Value) { return FloatToStrF(Value, ffCurrency, 15, 2); }

namespace {

std::string NotCurrency(const std::string& Text) { return Text + " is not a valid currency value!"; }

bool StartsWithAt(const std::string& s, size_t i, const std::string& what) {
    return !what.empty() && s.compare(i, what.size(), what) == 0;
}

}  // namespace

double MoneyTextToFloat(const std::string& Text) {
    const TFormatSettings& fs = FormatSettings;
    std::string digits;
    bool negative = false, any = false;
    for (size_t i = 0; i < Text.size();) {
        if (StartsWithAt(Text, i, fs.CurrencyString)) {
            i += fs.CurrencyString.size();
            continue;
        }
        char ch = Text[i];
        if (ch >= '0' && ch <= '9') {
            digits += ch;
            any = true;
        } else if (ch == '-' || ch == '(') {
            // Either negative form: a minus sign before or after, or parentheses.
            if (negative) throw EConvertError(NotCurrency(Text));
            negative = true;
        } else if (StartsWithAt(Text, i, std::string(1, fs.DecimalSeparator))) {
            digits += '.';
        } else if (ch == fs.ThousandSeparator || ch == ' ' || ch == ')' || ch == '+' || ch == '$') {
            // Separators, blanks and the closing parenthesis carry no value.
        } else if (uint8_t(ch) >= 0x80) {
            // A non-breaking blank or a currency sign written in UTF-8.
        } else {
            throw EConvertError(NotCurrency(Text));
        }
        ++i;
    }
    double value = 0;
    TFormatSettings plain = fs;
    plain.DecimalSeparator = '.';
    if (!any || !TryStrToFloat(digits, value, plain)) throw EConvertError(NotCurrency(Text));
    return negative ? -value : value;
}

double TextToCurrency(const std::string& Text) {
    double v = MoneyTextToFloat(Text);
    return std::round(v * 10000.0) / 10000.0;
}

int MonthNumber(const std::string& Name) {
    for (int m = 1; m <= 12; ++m)
        if (Name == MonthListName(m)) return m;
    return 0;
}

std::vector<std::array<std::string, AmortizationCols>> BuildAmortizationRows(TMortgage& Mortgage) {
    std::vector<std::array<std::string, AmortizationCols>> rows;
    const int count = Mortgage.Payments.Count();
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const TPayment& p = Mortgage.Payments[i];
        if (p.Principal == 0 && p.Balance == 0) break;  // repaid: no further rows
        if (p.Balance < 0) break;
        std::string date = std::string(MonthListName(p.Month)) + " " + std::to_string(p.Year);
        if (date.size() > 8) date.resize(8);
        rows.push_back({std::to_string(p.Number), date, AmortizationMoneyText(p.Principal),
                        AmortizationMoneyText(p.Interest), AmortizationMoneyText(p.TotalPrincipal),
                        AmortizationMoneyText(p.TotalInterest), AmortizationMoneyText(p.Prepayment),
                        AmortizationMoneyText(p.Balance)});
    }
    return rows;
}

std::string PrepaymentListText(int32_t NumPayments, int RowCount, const TGridCellText& Cell) {
    std::string text;
    const std::string zero = AmortizationMoneyText(0);
    text.reserve(size_t(std::max(NumPayments, 0)) * 16);
    for (int32_t r = 1; r <= NumPayments; ++r) {
        std::string number, extra;
        if (r < RowCount) {
            number = Cell(0, r);
            extra = Cell(6, r);
        }
        if (extra.empty()) extra = zero;
        if (extra.size() > 25) extra.resize(25);
        text += number;
        text += ' ';
        text += extra;
        text += "\r\n";
    }
    return text;
}

void ApplyPrepaymentList(TMortgage& Mortgage, const std::string& List) {
    size_t pos = 0;
    while (pos < List.size()) {
        size_t end = List.find('\n', pos);
        if (end == std::string::npos) end = List.size();
        std::string line = List.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t blank = line.find(' ');
        std::string number = TrimRight(line.substr(0, blank));
        if (number.empty()) continue;
        std::string amountText = blank == std::string::npos ? "" : TrimRight(line.substr(blank + 1));
        double amount = TextToCurrency(amountText);
        int32_t n = StrToInt(number);
        // A new schedule has no extra payments: only amounts need applying.
        if (amount != 0) Mortgage.SetExtraPayment(n, amount);
    }
}

std::vector<std::array<std::string, AnnualAmortizationCols>> BuildAnnualAmortizationRows(int RowCount,
                                                                                         const TGridCellText& Cell) {
    std::vector<std::array<std::string, AnnualAmortizationCols>> rows;
    std::string first = RowCount > 1 ? Cell(0, 1) : std::string();
    if (first.empty() || first == " ") return rows;
    auto parseMonth = [](const std::string& s) { return s.substr(0, 3); };
    auto parseYear = [](const std::string& s) { return s.size() > 4 ? StrToInt(s.substr(4)) : StrToInt(""); };
    const std::string firstCell = Cell(1, 1);
    const std::string firstMonth = parseMonth(firstCell);
    int year = parseYear(firstCell);
    const int months = RowCount - 1;
    int m1 = 13 - MonthNumber(firstMonth);
    if (m1 > 12) m1 = 12;
    if (months < m1) m1 = months;
    const int full = (months - m1) / 12;
    const int rest = months - m1 - 12 * full;
    auto money = [](long double v) { return FloatToStrF(v, ffCurrency, 10, 2); };
    int loanYear = 0;
    auto addRow = [&](int fromRow, int toRow, const std::string& period) {
        long double principal = 0, interest = 0;
        for (int r = fromRow; r <= toRow; ++r) {
            principal += MoneyTextToFloat(Cell(2, r));
            interest += MoneyTextToFloat(Cell(3, r));
        }
        rows.push_back(
            {std::to_string(++loanYear), period, money(principal), money(interest), money(principal + interest)});
    };
    // The first year runs from the first month to December, or to the last
    // payment when the schedule ends inside that year.
    const std::string lastOfFirst = m1 == 13 - MonthNumber(firstMonth) ? "Dec" : parseMonth(Cell(1, m1));
    std::string period = lastOfFirst == firstMonth ? firstMonth + " " + std::to_string(year)
                                                   : firstMonth + " - " + lastOfFirst + " " + std::to_string(year);
    addRow(1, m1, period);
    int row = m1 + 1;
    for (int y = 0; y < full; ++y, row += 12) addRow(row, row + 11, "Jan - Dec " + std::to_string(++year));
    if (rest != 0) {
        const std::string last = Cell(1, months);
        const std::string lastYear = last.size() > 4 ? last.substr(4) : "";
        addRow(row, months, rest == 1 ? "Jan " + lastYear : "Jan - " + parseMonth(last) + " " + lastYear);
    }
    return rows;
}
