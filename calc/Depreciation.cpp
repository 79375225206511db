// Depreciation tables.

#include "Depreciation.h"

#include "SysUtils.h"

#include <algorithm>

void CalcDepreciation(const TDepreciationInputs& In, TDepreciationResults& Out) {
    if (In.Method < 0 || In.Method > 2) return;
    const int32_t n = In.Years;
    const long double cost = In.Cost, base = static_cast<long double>(In.Cost) - In.Salvage;
    Out.TotalDepreciated = double(base);
    Out.RowCount = std::max<int32_t>(n, 1);
    Out.Rows.clear();
    Out.Rows.reserve(size_t(std::max<int32_t>(n, 1)));
    auto put = [&](int32_t year, long double book, long double expense, long double total) {
        Out.Rows.push_back({year, double(book), double(expense), double(total)});
    };
    switch (TDepreciationMethod(In.Method)) {
    case TDepreciationMethod::StraightLine: {
        const long double dep = n == 0 ? 0 : base / n;
        long double book = cost, total = dep;
        for (int32_t t = 1; t <= n; ++t) {
            put(t, book, dep, total);
            book -= dep;
            total += dep;
        }
        break;
    }
    case TDepreciationMethod::SumOfYearsDigits: {
        const long double digits = static_cast<long double>(int64_t(n) * (int64_t(n) + 1)) / 2;
        int32_t k = n;
        long double book = cost;
        auto expense = [&](int32_t remaining) -> long double {
            if (n == 0) return 0;
            if (digits == 0) throw EZeroDivide();
            return base * (remaining / digits);
        };
        long double dep = expense(k), total = dep;
        for (int32_t t = 1; t <= n && k > 0; ++t) {
            put(t, book, dep, total);
            book -= dep;
            --k;
            dep = expense(k);
            total += dep;
        }
        break;
    }
    case TDepreciationMethod::DoubleDeclining: {
        const long double rate = n == 0 ? 0 : 2.0L / n;
        long double book = cost, total = 0;
        const int32_t years = n == 0 ? 1 : n;
        for (int32_t t = 1; t <= years; ++t) {
            long double dep = book * rate;
            // The year that reaches the salvage value takes only what is left.
            if (!(total + dep < base)) dep = base - total;
            total += dep;
            put(t, book, dep, total);
            book -= dep;
        }
        break;
    }
    }
}

std::array<std::string, 4> DepreciationRowTexts(const TDepreciationRow& Row) {
    auto money = [](double v) { return FloatToStrF(v, ffCurrency, 15, 2); };
    return {std::to_string(Row.Year), money(Row.Book), money(Row.Expense), money(Row.Total)};
}
